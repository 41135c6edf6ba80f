#!/usr/bin/python3
"""What comes back reads right, through the real service, APy and command line:
RTF letters, the target's language tags, Word line breaks, HTML tags ending on
the next line, codes kept, no Catalan left in French, a document in another
language refused. Documents are made here. Exit 77 (skipped) without APy,
the Catalan pivot pairs or the libraries."""

import html
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
try:
    import docx
    from odf import opendocument, style, text
except ImportError:
    print("python3-docx or python3-odf missing: skipped")
    sys.exit(77)
import document_roundtrip_test as roundtrip  # noqa: E402  (its TestCase stays out of this module)
import urllib.error  # noqa: E402
import urllib.parse  # noqa: E402
import urllib.request  # noqa: E402

if not all(os.path.exists("/usr/share/apertium/modes/%s.mode" % m) for m in ("eng-cat", "cat-fra")):
    print("the Catalan pivot pairs are missing: skipped")
    sys.exit(77)

GERMAN = ("Sehr geehrte Damen und Herren, wir danken Ihnen für Ihren Brief und die Unterlagen, "
          "die Sie uns geschickt haben. Es ist nicht einfach, aber wir sind sicher, dass die "
          "Arbeit bei uns gut wird.")


def rtf_text(rtf):
    """The letters an RTF reader shows: \\uN with one substitute, \\'xx in 1252."""
    out, i = [], 0
    while i < len(rtf):
        m = re.match(r"\\u(-?\d+) ?(\\'[0-9a-f]{2}|.)?|\\'([0-9a-f]{2})|\\[a-z]+-?\d* ?|[{}]", rtf[i:])
        if m:
            if m.group(1):
                out.append(chr(int(m.group(1)) % 65536))
            elif m.group(3):
                out.append(bytes([int(m.group(3), 16)]).decode("cp1252"))
            i += m.end()
        else:
            out.append(rtf[i])
            i += 1
    return "".join(out)


class ReadableReturn(unittest.TestCase):
    # The same service, started and checked as the round-trip test does; not its tests.
    setUpClass = roundtrip.Documents.__dict__["setUpClass"]
    tearDownClass = roundtrip.Documents.__dict__["tearDownClass"]
    text = roundtrip.Documents.__dict__["text"]

    def send(self, pair, name, content):
        body, kind = roundtrip.multipart({"langpair": pair}, name, content)
        request = urllib.request.Request(f"http://127.0.0.1:{self.port}/translate_doc", data=body,
                                         headers={"Content-Type": kind})
        try:
            with urllib.request.urlopen(request, timeout=120) as answer:
                return answer.status, answer.read()
        except urllib.error.HTTPError as refusal:
            return refusal.code, refusal.read()

    def typed(self, sentence, pair):
        query = urllib.parse.urlencode({"text": sentence, "langpair": pair})
        page = urllib.request.urlopen(f"http://127.0.0.1:{self.port}/translate_t?{query}", timeout=60).read()
        box = re.search(rb"<div id=result_box[^>]*>(.*?)</div>", page, re.S).group(1)
        return html.unescape(box.decode())

    def test_rtf_letters_both_ways(self):
        head = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\n"
        status, out = self.send("en|fr", "a.rtf", (head + "\\pard The telephone of the house.\\par\n}").encode())
        self.assertEqual(status, 200)
        self.assertTrue(all(b < 0x80 for b in out), out)  # what \ansicpg1252 means
        self.assertIn("téléphone", rtf_text(out.decode()))
        for spelled in ("t\\u233?l\\u233?phone", "t\\'e9l\\'e9phone"):
            status, out = self.send("fr|en", "b.rtf", (head + f"\\pard Le {spelled} est tr\\u232?s grand.\\par\n}}").encode())
            self.assertEqual(status, 200)
            self.assertIn("telephone", rtf_text(out.decode()).lower(), out)

    def test_language_tags_are_the_targets(self):
        word = docx.Document()
        word.add_paragraph("The house is small.")
        source = io.BytesIO()
        word.save(source)
        status, out = self.send("en|fr", "l.docx", source.getvalue())
        self.assertEqual(status, 200)
        with zipfile.ZipFile(io.BytesIO(out)) as z:
            styles = z.read("word/styles.xml").decode()
        self.assertEqual(set(re.findall(r'<w:lang w:val="([^"]+)"', styles)), {"fr-FR"})

        odt = opendocument.OpenDocumentText()
        english = style.Style(name="Standard", family="paragraph")
        english.addElement(style.TextProperties(language="en", country="GB"))
        odt.styles.addElement(english)
        odt.text.addElement(text.P(text="The house is small.", stylename=english))
        source = io.BytesIO()
        odt.write(source)
        status, out = self.send("en|fr", "l.odt", source.getvalue())
        self.assertEqual(status, 200)
        with zipfile.ZipFile(io.BytesIO(out)) as z:
            styles = z.read("styles.xml").decode()
        self.assertIn('fo:language="fr"', styles)
        self.assertIn('fo:country="FR"', styles)
        self.assertNotIn('fo:language="en"', styles)

        status, out = self.send("en|fr", "p.html", b'<html lang="en"><body><p>The house is small.</p></body></html>')
        self.assertIn(b'<html lang="fr">', out)

    def test_docx_line_break_is_a_boundary(self):
        lines = [("PhD in Egg Engineering", "University of Eggington"), ("Egg Inspector", "Eggs and Ham, Co.")]
        word = docx.Document()
        for first, second in lines:
            run = word.add_paragraph().add_run(first)
            run.bold = True
            run.add_break()
            run.add_text(second)
        source = io.BytesIO()
        word.save(source)
        status, out = self.send("en|es", "cv.docx", source.getvalue())
        self.assertEqual(status, 200)
        back = docx.Document(io.BytesIO(out))
        self.assertEqual(len(back.paragraphs), 2)
        for paragraph, pair in zip(back.paragraphs, lines):
            self.assertEqual([p.strip() for p in paragraph.text.split("\n")],
                             [self.text(p).strip() for p in pair])
            self.assertTrue(all(r.bold for r in paragraph.runs))

    def test_html_tags_closing_on_the_next_line(self):
        title = "Users and Groups in the Debian System"
        page = (f'<HTML\n><HEAD\n><TITLE\n>{title}</TITLE\n><META\nNAME="GENERATOR"\nCONTENT="x"></HEAD\n>'
                f'<BODY\n><DIV\nCLASS="TITLEPAGE"\n><H1\nCLASS="TITLE"\n><A\nNAME="AEN2"\n>{title}</A\n></H1\n>'
                '</DIV\n></BODY\n></HTML\n>')
        status, out = self.send("en|es", "u.html", page.encode())
        self.assertEqual(status, 200)
        expected = self.text(title).strip()
        self.assertEqual(re.findall(r"<TITLE>(.*?)</TITLE>", out.decode()), [expected])
        self.assertEqual(re.findall(r'NAME="AEN2">(.*?)</A>', out.decode()), [expected])

    def test_codes_pass_unchanged(self):
        codes = ["A-100", "report_v2.txt", "mail@example.org", ".gpg.edit_ownertrust.value"]
        sentence = f"The {codes[0]} printer writes {codes[1]} to {codes[2]} and reads {codes[3]}."
        for pair in ("en|fr", "en|es"):
            got = self.typed(sentence, pair)
            for code in codes:
                self.assertIn(code, got, (pair, got))
        word = docx.Document()
        word.add_paragraph(sentence)
        source = io.BytesIO()
        word.save(source)
        status, out = self.send("en|fr", "c.docx", source.getvalue())
        got = docx.Document(io.BytesIO(out)).paragraphs[0].text
        for code in codes:
            self.assertIn(code, got)

    def test_no_catalan_left_in_french(self):
        # The first leg makes Catalan "ruda" of "rue", which the second leg cannot read.
        got = self.typed("He lives at 22 rue des Tanneurs.", "en|fr")
        self.assertNotIn("ruda", got)
        self.assertIn("22 rue", got)

    def test_document_in_another_language(self):
        word = docx.Document()
        word.add_paragraph(GERMAN)
        folder = tempfile.mkdtemp()
        try:
            path = os.path.join(folder, "brief.docx")
            word.save(path)
            with open(path, "rb") as f:
                status, out = self.send("en|fr", "brief.docx", f.read())
            self.assertEqual(status, 422)
            self.assertIn("allemand", out.decode())
            env = roundtrip.command_environment(folder, self.port)
            run = subprocess.run([roundtrip.PROGRAM, "--pair", "en|fr", "--file", path], env=env,
                                 capture_output=True, text=True, timeout=120)
            self.assertEqual(run.returncode, 1)
            self.assertIn("allemand", run.stderr)
            self.assertFalse(os.path.exists(os.path.join(folder, "brief.fr.docx")))
        finally:
            shutil.rmtree(folder)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
