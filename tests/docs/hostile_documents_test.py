#!/usr/bin/python3
"""Hostile documents and pages against the real service, APy and converters.
Every fixture is made here; the canary files live in the test's own folder.
Arguments: the service, the program, the APy guard script.
Exit 77 (skipped) without APy or bwrap."""

import http.server
import io
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.error
import urllib.request
import zipfile

from doc_requests import command_environment, free_port, multipart

SERVICE, PROGRAM, GUARD = sys.argv[1], sys.argv[2], sys.argv[3]
if not shutil.which("apertium-apy"):
    print("apertium-apy missing: skipped")
    sys.exit(77)

SECRET = "My secret password is zebra."
ODT_TYPE = "application/vnd.oasis.opendocument.text"
CONTENT = ('<?xml version="1.0" encoding="UTF-8"?><office:document-content '
           'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
           'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2">'
           '<office:body><office:text><text:p>The house is big.</text:p></office:text>'
           '</office:body></office:document-content>')
MANIFEST = ('<?xml version="1.0" encoding="UTF-8"?><manifest:manifest '
            'xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">'
            '<manifest:file-entry manifest:full-path="/" manifest:media-type="' + ODT_TYPE + '"/>'
            '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>'
            '</manifest:manifest>')




def odt(extra=()):
    """An odt; extra: (ZipInfo or name, bytes) members added after its own."""
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w") as z:
        z.writestr(zipfile.ZipInfo("mimetype"), ODT_TYPE)
        z.writestr("content.xml", CONTENT, zipfile.ZIP_DEFLATED)
        z.writestr("META-INF/manifest.xml", MANIFEST, zipfile.ZIP_DEFLATED)
        for info, data in extra:
            z.writestr(info, data)
    return out.getvalue()


def link(name, target):
    info = zipfile.ZipInfo(name)
    info.create_system = 3
    info.external_attr = (0o120777) << 16
    return info, target


def folder(name):
    info = zipfile.ZipInfo(name)
    info.create_system = 3
    info.external_attr = (0o040755 << 16) | 0x10
    return info, b""


def docx_with_entity(port):
    document = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
                f'<!DOCTYPE x [<!ENTITY % pe SYSTEM "http://127.0.0.1:{port}/pe"> %pe;]>'
                '<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">'
                '<w:body><w:p><w:r><w:t>The house is big.</w:t></w:r></w:p></w:body></w:document>')
    types = ('<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/'
             'package/2006/content-types"><Override PartName="/word/document.xml" ContentType="'
             'application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/></Types>')
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", types)
        z.writestr("word/document.xml", document)
    return out.getvalue()




def post(url, content, name="d.odt", headers=None, timeout=90, fields=None):
    body, kind = multipart(fields or {"langpair": "en|es"}, name, content)
    request = urllib.request.Request(url, data=body, headers={"Content-Type": kind, **(headers or {})})
    try:
        with urllib.request.urlopen(request, timeout=timeout) as answer:
            return answer.status, answer.read()
    except urllib.error.HTTPError as error:
        return error.code, error.read()


class Listener:
    """A server on loopback that counts what reaches it (an entity's fetch)."""

    def __init__(self):
        self.hits = []
        hits = self.hits

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                hits.append(self.path)
                self.send_response(200)
                self.end_headers()
                self.wfile.write(b'<!ENTITY % all "<!ENTITY &#x25; send SYSTEM \'http://127.0.0.1:'
                                 + str(self.server.server_port).encode() + b'/exfil?d=x\'>">%all;')

            def log_message(self, *args):
                pass
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.server.server_port
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


def descendants(pid):
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(ppid, []).append(int(entry))
            except (OSError, IndexError, ValueError):
                pass
    found, todo = [], [pid]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


def command_of(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return f.read().replace(b"\0", b" ").decode(errors="replace")
    except OSError:
        return ""


def wait_ready(check, seconds=90):
    deadline = time.time() + seconds
    while time.time() < deadline:
        try:
            if check():
                return True
        except OSError:
            pass
        time.sleep(0.3)
    return False


class Folder(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.canary = os.path.join(self.folder, "canary.txt")
        with open(self.canary, "w") as f:
            f.write(SECRET + "\n")

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def assertCanaryIntact(self, answer):
        with open(self.canary) as f:
            self.assertEqual(f.read(), SECRET + "\n")
        self.assertNotIn(b"zebra", answer)
        self.assertNotIn(b"cebra", answer)


class ThroughTheService(Folder):
    """The five cases as found, through the service."""

    @classmethod
    def setUpClass(cls):
        cls.port = free_port()
        cls.url = f"http://127.0.0.1:{cls.port}/translate_doc"
        cls.scratch = tempfile.mkdtemp()
        cls.service = subprocess.Popen([SERVICE, "--port", str(cls.port)], stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL, env=dict(os.environ, TMPDIR=cls.scratch))
        if not wait_ready(lambda: post(cls.url, odt())[0] == 200):
            raise RuntimeError("the service never translated a document")

    @classmethod
    def tearDownClass(cls):
        cls.service.terminate()
        cls.service.wait(30)
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def test_a_link_member_is_refused_and_its_target_untouched(self):
        status, body = post(self.url, odt([link("Pictures/styles.xml", self.canary)]))
        self.assertEqual(status, 415, body[:300])
        self.assertIn("lien", body.decode())
        self.assertCanaryIntact(body)
        status, body = post(self.url, odt([link("Pictures/all", self.folder)]))
        self.assertEqual(status, 415, body[:300])

    def test_an_external_entity_fetches_nothing(self):
        listener = Listener()
        try:
            status, body = post(self.url, docx_with_entity(listener.port), "e.docx")
            self.assertEqual(status, 422, body[:300])
            self.assertIn("entités", body.decode())
            self.assertEqual(listener.hits, [])
        finally:
            listener.close()

    def test_a_folder_named_like_a_part_is_refused_at_once(self):
        started = time.time()
        status, body = post(self.url, odt([folder("Pictures/content.xml/")]), timeout=60)
        self.assertEqual(status, 422, body[:300])
        self.assertLess(time.time() - started, 30)
        status, _ = post(self.url, odt())
        self.assertEqual(status, 200)

    def test_another_sites_page_may_not_post(self):
        status, body = post(self.url, odt(), headers={"Origin": "http://evil.example",
                                                      "Sec-Fetch-Site": "cross-site"})
        self.assertEqual(status, 403, body[:300])
        status, _ = post(self.url, odt(), headers={"Origin": f"http://127.0.0.1:{self.port}",
                                                   "Sec-Fetch-Site": "same-origin"})
        self.assertEqual(status, 200)

    def test_the_answer_is_a_proper_package_and_a_locked_docx_is_named_so(self):
        status, body = post(self.url, odt())
        self.assertEqual(status, 200)
        with zipfile.ZipFile(io.BytesIO(body)) as z:
            first = z.infolist()[0]
            self.assertEqual((first.filename, first.compress_type), ("mimetype", zipfile.ZIP_STORED))
            self.assertIn("casa", z.read("content.xml").decode())
        self.assertEqual(body[30:38], b"mimetype")
        locked = (b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + bytes(504) + "EncryptionInfo".encode("utf-16-le")
                  + bytes(50) + "EncryptedPackage".encode("utf-16-le") + bytes(1000))
        status, body = post(self.url, locked, "p.docx")
        self.assertEqual(status, 422, body[:300])
        self.assertIn("mot de passe", body.decode())


class InsideTheBox(Folder):
    """The converters boxed, as if an archive had reached them as it came."""

    @classmethod
    def setUpClass(cls):
        if not shutil.which("bwrap"):
            raise unittest.SkipTest("bwrap missing")
        cls.port = free_port()
        cls.url = f"http://127.0.0.1:{cls.port}/translateDoc"
        cls.scratch = tempfile.mkdtemp()
        with open(GUARD) as f:
            guard = f.read()
        env = dict(os.environ, TMPDIR=cls.scratch, VERZ_APY_KEY="k", VERZ_CONVERTER_SECONDS="6",
                   LC_ALL="C.UTF-8")
        cls.apy = subprocess.Popen(["/usr/bin/python3", "-c", guard, "-p", str(cls.port),
                                    "/usr/share/apertium/modes"], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE, env=env, start_new_session=True)
        if not wait_ready(lambda: cls.send(odt())[0] == 200):
            raise RuntimeError("the guarded APy never translated a document")

    @classmethod
    def tearDownClass(cls):
        cls.apy.terminate()
        cls.apy.wait(30)
        cls.apy.stderr.close()
        shutil.rmtree(cls.scratch, ignore_errors=True)

    @classmethod
    def send(cls, content, timeout=90):
        return post(cls.url, content, headers={"X-Apy-Key": "k"}, timeout=timeout,
                    fields={"langpair": "eng|spa", "format": "odt"})

    def test_a_link_leads_nowhere_in_the_box(self):
        status, body = self.send(odt([link("Pictures/styles.xml", self.canary)]))
        self.assertCanaryIntact(body)

    def test_a_looping_converter_ends_with_all_it_started(self):
        started = time.time()
        status, body = self.send(odt([folder("Pictures/content.xml/")]), timeout=60)
        self.assertEqual(status, 504, body[:300])
        self.assertLess(time.time() - started, 40)
        self.assertTrue(wait_ready(lambda: not [p for p in descendants(self.apy.pid)
                                                if "apertium-apy" not in command_of(p)], 20),
                        [command_of(p) for p in descendants(self.apy.pid)])
        self.assertEqual(os.listdir(self.scratch), [])


class CommandLineCap(Folder):
    def test_a_huge_answer_is_cut_off_and_nothing_written(self):
        class Huge(http.server.BaseHTTPRequestHandler):
            def do_POST(self):
                self.rfile.read(int(self.headers["Content-Length"]))
                self.send_response(200)
                self.send_header("Content-Length", str(3 << 30))
                self.send_header("Content-Disposition", 'attachment; filename="in.es.odt"')
                self.end_headers()
                try:
                    chunk = bytes(1 << 20)
                    for _ in range(3 << 10):
                        self.wfile.write(chunk)
                except OSError:
                    pass

            def log_message(self, *args):
                pass
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Huge)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            env = command_environment(self.folder, server.server_port)
            with open(os.path.join(self.folder, "in.odt"), "wb") as f:
                f.write(odt())
            done = subprocess.run([PROGRAM, "--pair", "en|es", "--file", os.path.join(self.folder, "in.odt")],
                                  env=env, capture_output=True, text=True, timeout=120)
            self.assertEqual(done.returncode, 1, done.stderr)
            self.assertIn("trop grosse", done.stderr)
            self.assertEqual(sorted(os.listdir(self.folder)), ["canary.txt", "config", "in.odt"])
        finally:
            server.shutdown()
            server.server_close()


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
