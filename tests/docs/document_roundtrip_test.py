#!/usr/bin/python3
"""Whole documents through the real service and APy, and through the command
line: documents written here with python-docx and odfpy, translated en|es,
read back with the same library. Exit 77 (skipped) without APy or the libraries."""

import html
import io
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.parse
import urllib.request
import zipfile
import zlib

from doc_requests import command_environment, free_port, multipart

try:
    import docx
    from odf import opendocument, style, table, text, draw
    from odf.namespaces import TEXTNS
except ImportError:
    print("python3-docx or python3-odf missing: skipped")
    sys.exit(77)

SERVICE, PROGRAM = sys.argv[1], sys.argv[2]
if not shutil.which("apertium-apy"):
    print("apertium-apy missing: skipped")
    sys.exit(77)


def png(width=3, height=2):
    """A small real PNG, so the picture test compares bytes a reader accepts."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    rows = b"".join(b"\0" + bytes([200, 30, 30]) * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


PICTURE = png()
PARAGRAPHS = ["The house is small and the garden is green.", "My brother works in a big city."]
ITEMS = ["The first day of the week.", "The cat sleeps on the chair."]
CELLS = ["The water is cold.", "The book is new.", "The road is long.", "The door is open."]






def norm(s):
    return re.sub(r"\s+", " ", s).strip()


class Documents(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.port = free_port()
        cls.scratch = tempfile.mkdtemp()
        cls.service = subprocess.Popen([SERVICE, "--port", str(cls.port)], stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL, env=dict(os.environ, TMPDIR=cls.scratch))
        deadline = time.time() + 60
        while time.time() < deadline:
            try:  # ready once a text comes back translated
                if cls.text("house") != "house":
                    break
            except (OSError, urllib.error.URLError):
                pass
            time.sleep(0.3)

    @classmethod
    def tearDownClass(cls):
        cls.service.terminate()
        cls.service.wait(20)
        leftover = os.listdir(cls.scratch)
        shutil.rmtree(cls.scratch)
        assert not leftover, leftover  # the private folder went with the service

    @classmethod
    def text(cls, sentence):
        query = urllib.parse.urlencode({"text": sentence, "langpair": "en|es"})
        page = urllib.request.urlopen(f"http://127.0.0.1:{cls.port}/translate_t?{query}", timeout=20).read()
        box = re.search(rb"<div id=result_box[^>]*>(.*?)</div>", page, re.S).group(1)
        return html.unescape(box.decode())

    def translate(self, name, content):
        body, kind = multipart({"langpair": "en|es"}, name, content)
        request = urllib.request.Request(f"http://127.0.0.1:{self.port}/translate_doc", data=body,
                                         headers={"Content-Type": kind})
        with urllib.request.urlopen(request, timeout=60) as answer:
            return answer.read(), answer.headers

    def assertTranslated(self, got, sentences):
        self.assertEqual([norm(g) for g in got], [norm(self.text(s)) for s in sentences])

    def test_docx_keeps_runs_lists_tables_and_pictures(self):
        document = docx.Document()
        for p in PARAGRAPHS:
            document.add_paragraph(p)
        mixed = document.add_paragraph()
        mixed.add_run("The red car").bold = True
        mixed.add_run(" is ")
        mixed.add_run("very fast").italic = True
        for item in ITEMS:
            document.add_paragraph(item, style="List Bullet")
        grid = document.add_table(rows=2, cols=2)
        for cell, sentence in zip([c for row in grid.rows for c in row.cells], CELLS):
            cell.text = sentence
        document.add_picture(io.BytesIO(PICTURE))
        source = io.BytesIO()
        document.save(source)

        translated, headers = self.translate("lettre.docx", source.getvalue())
        self.assertIn('filename="lettre.es.docx"', headers["Content-Disposition"])
        back = docx.Document(io.BytesIO(translated))
        paragraphs = back.paragraphs
        self.assertEqual(len(paragraphs), len(document.paragraphs))
        self.assertTranslated([p.text for p in paragraphs[:2]], PARAGRAPHS)
        self.assertTranslated([p.text for p in paragraphs if p.style.name == "List Bullet"], ITEMS)
        self.assertTranslated([c.text for row in back.tables[0].rows for c in row.cells], CELLS)
        bold = [r.text for r in paragraphs[2].runs if r.bold]
        italic = [r.text for r in paragraphs[2].runs if r.italic]
        self.assertTrue(bold and italic, [(r.text, r.bold, r.italic) for r in paragraphs[2].runs])
        self.assertNotIn("red", " ".join(bold))
        pictures = [p.blob for p in back.part.package.parts if p.content_type == "image/png"]
        self.assertEqual(pictures, [PICTURE])

    def test_odt_keeps_spans_lists_tables_and_pictures(self):
        document = opendocument.OpenDocumentText()
        strong = style.Style(name="Fort", family="text")
        strong.addElement(style.TextProperties(fontweight="bold"))
        document.automaticstyles.addElement(strong)
        for p in PARAGRAPHS:
            document.text.addElement(text.P(text=p))
        mixed = text.P(text="")
        mixed.addElement(text.Span(stylename=strong, text="The red car"))
        mixed.addText(" is very fast")
        document.text.addElement(mixed)
        listing = text.List()
        for item in ITEMS:
            entry = text.ListItem()
            entry.addElement(text.P(text=item))
            listing.addElement(entry)
        document.text.addElement(listing)
        grid = table.Table(name="T")
        grid.addElement(table.TableColumn(numbercolumnsrepeated=2))
        for r in range(2):
            row = table.TableRow()
            for c in range(2):
                cell = table.TableCell()
                cell.addElement(text.P(text=CELLS[2 * r + c]))
                row.addElement(cell)
            grid.addElement(row)
        document.text.addElement(grid)
        href = document.addPicture("Pictures/rouge.png", "image/png", PICTURE)
        frame = draw.Frame(width="1cm", height="1cm", anchortype="paragraph")
        frame.addElement(draw.Image(href=href))
        holder = text.P()
        holder.addElement(frame)
        document.text.addElement(holder)
        source = io.BytesIO()
        document.write(source)

        translated, headers = self.translate("lettre.odt", source.getvalue())
        self.assertIn('filename="lettre.es.odt"', headers["Content-Disposition"])
        back = opendocument.load(io.BytesIO(translated))
        from odf import teletype
        paragraphs = back.getElementsByType(text.P)
        self.assertEqual(len(paragraphs), len(document.getElementsByType(text.P)))
        self.assertTranslated([teletype.extractText(p) for p in paragraphs[:2]], PARAGRAPHS)
        items = back.getElementsByType(text.ListItem)
        self.assertTranslated([teletype.extractText(i) for i in items], ITEMS)
        cells = back.getElementsByType(table.TableCell)
        self.assertTranslated([teletype.extractText(c) for c in cells], CELLS)
        spans = back.getElementsByType(text.Span)
        self.assertEqual(len(spans), 1)
        self.assertEqual(spans[0].getAttribute("stylename"), "Fort")
        self.assertNotIn("red", teletype.extractText(spans[0]))
        with zipfile.ZipFile(io.BytesIO(translated)) as z:
            self.assertEqual(z.read("Pictures/rouge.png"), PICTURE)

    def test_command_line_writes_beside_and_never_over(self):
        folder = tempfile.mkdtemp()
        try:
            env = command_environment(folder, self.port)
            odt = opendocument.OpenDocumentText()
            odt.text.addElement(text.P(text=PARAGRAPHS[0]))
            odt.save(os.path.join(folder, "lettre.odt"))
            word = docx.Document()
            word.add_paragraph(PARAGRAPHS[1])
            word.save(os.path.join(folder, "note.docx"))

            def run(*args):
                return subprocess.run([PROGRAM, "--pair", "en|es", *args], env=env, capture_output=True,
                                      text=True, timeout=120)
            first = run("--file", os.path.join(folder, "lettre.odt"))
            self.assertEqual(first.returncode, 0, first.stderr)
            written = os.path.join(folder, "lettre.es.odt")
            self.assertEqual(first.stdout.strip(), written)
            got = opendocument.load(written).getElementsByType(text.P)
            from odf import teletype
            self.assertTranslated([teletype.extractText(got[0])], PARAGRAPHS[:1])
            again = run("--file", os.path.join(folder, "lettre.odt"))
            self.assertEqual(again.returncode, 2)
            self.assertIn("--force", again.stderr)
            self.assertEqual(run("--file", os.path.join(folder, "lettre.odt"), "--force").returncode, 0)
            target = os.path.join(folder, "traduit.docx")
            done = run("--file", os.path.join(folder, "note.docx"), "--output", target)
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertTranslated([docx.Document(target).paragraphs[0].text], PARAGRAPHS[1:])
            same = run("--file", target, "--output", target, "--force")
            self.assertEqual(same.returncode, 2)
            self.assertTrue(zipfile.is_zipfile(target))
        finally:
            shutil.rmtree(folder)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
