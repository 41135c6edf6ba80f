#!/usr/bin/python3
"""Document figures, run by hand:
    bench/service/documents.py [build/verzolan-service] [runs, 3] [an earlier verzolan-service]

A 10,000-word OpenDocument text through the service's /translate_doc against
`apertium -f odt` on the same file: en|es (one leg) and en|fr (two legs, each
leg's document read by the next), best of N runs each, interleaved, side by side; given an
earlier build of the service (one whose converters ran unboxed and read the
upload as it came), through it too, in the same run, each service with its
own APy, and both at rest after: processes and proportional memory. Then the
service's own resident memory (VmRSS of the service process, APy apart) while
it receives a 10 MiB upload and while it inspects a zip bomb (a 1 MiB zip that
unpacks to 1 GiB), with the answer each got."""

import io
import os
import socket
import subprocess
import sys
import threading
import time
import urllib.request
import uuid
import zipfile
import zlib

from odf.opendocument import OpenDocumentText
from odf.text import P

SERVICE = sys.argv[1] if len(sys.argv) > 1 else "build/verzolan-service"
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 3
BEFORE = sys.argv[3] if len(sys.argv) > 3 else None
SENTENCES = ["The small house near the river was painted white last summer.",
             "My brother works in a large office in the city centre.",
             "We will travel to the mountains when the weather is better.",
             "The children read three books during the holidays."]


def ten_thousand_words():
    doc = OpenDocumentText()
    words, i = 0, 0
    while words < 10000:
        paragraph = " ".join(SENTENCES[(i + k) % 4] for k in range(4))
        doc.text.addElement(P(text=paragraph))
        words += len(paragraph.split())
        i += 1
    out = io.BytesIO()
    doc.write(out)
    return out.getvalue(), words


def form(pair, name, content):
    b = uuid.uuid4().hex
    body = (f"--{b}\r\nContent-Disposition: form-data; name=\"langpair\"\r\n\r\n{pair}\r\n"
            f"--{b}\r\nContent-Disposition: form-data; name=\"file\"; filename=\"{name}\"\r\n\r\n").encode()
    return body + content + f"\r\n--{b}--\r\n".encode(), f"multipart/form-data; boundary={b}"


def post(port, pair, name, content):
    body, kind = form(pair, name, content)
    request = urllib.request.Request(f"http://127.0.0.1:{port}/translate_doc", data=body,
                                     headers={"Content-Type": kind})
    try:
        with urllib.request.urlopen(request, timeout=600) as answer:
            return answer.status, answer.read()
    except urllib.error.HTTPError as error:
        return error.code, error.read()


def best_interleaved(*runs):
    """The best time of each, run in turn RUNS times: a machine whose load
    changes over the minutes (other users, other builds) weighs on both.
    Each run returns the processor time it cost: the least of each is kept
    too, a figure the other users' load barely moves."""
    times = [[] for _ in runs]
    cpus = [[] for _ in runs]
    for _ in range(RUNS):
        for run, kept, cpu in zip(runs, times, cpus):
            start = time.monotonic()
            cpu.append(run())
            kept.append(time.monotonic() - start)
    return [min(kept) for kept in times], [min(cpu) for cpu in cpus]


def cpu_seconds(pid):
    """Processor time of the processes under pid, itself included, and of
    every process they have reaped (the converters, once ended)."""
    ticks = 0
    for p in tree_pids(pid):
        try:
            with open(f"/proc/{p}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            ticks += sum(int(v) for v in fields[11:15])
        except (OSError, ValueError, IndexError):
            pass
    return ticks / os.sysconf("SC_CLK_TCK")


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))


def peak_while(pid, action):
    peak = [rss_kib(pid)]
    done = threading.Event()

    def watch():
        while not done.is_set():
            peak[0] = max(peak[0], rss_kib(pid))
            time.sleep(0.005)
    watcher = threading.Thread(target=watch)
    watcher.start()
    try:
        result = action()
    finally:
        done.set()
        watcher.join()
    return peak[0], result


def start(binary):
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    service = subprocess.Popen([binary, "--port", str(port)], stderr=subprocess.DEVNULL)
    for _ in range(200):  # APy up and both routes' pipelines warm
        try:
            if post(port, "en|es", "w.txt", b"Warm.\n")[0] == 200:
                break
        except OSError:
            pass
        time.sleep(0.3)
    post(port, "en|fr", "w.txt", b"Warm.\n")
    return service, port


def tree_pids(pid):
    parents = {}
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{entry}/stat") as f:
                parents[int(entry)] = int(f.read().rsplit(")", 1)[1].split()[1])
        except (OSError, ValueError, IndexError):
            pass
    found = [pid]
    for candidate in sorted(parents):
        if parents[candidate] in found:
            found.append(candidate)
    return found


def tree(pid):
    """The processes under pid, itself included, and their summed Pss in KiB."""
    found = tree_pids(pid)
    pss = 0
    for p in found:
        try:
            with open(f"/proc/{p}/smaps_rollup") as f:
                pss += next(int(line.split()[1]) for line in f if line.startswith("Pss:"))
        except (OSError, StopIteration):
            pass
    return len(found), pss


def main():
    service, port = start(SERVICE)
    before = start(BEFORE) if BEFORE else None
    try:
        document, words = ten_thousand_words()
        path = f"/tmp/verz-bench-{os.getpid()}.odt"
        with open(path, "wb") as f:
            f.write(document)
        print(f"{words} words, {len(document)} bytes of odt; best of {RUNS}")
        print(f"{'route':<26}{'apertium -f odt':>16}{'/translate_doc':>16}{'ratio':>8}"
              + (f"{'earlier build':>16}" if before else "")
              + "   processor time: apertium -f, service and its APy, ratio")
        for pair, legs in (("en|es", ["eng-spa"]), ("en|fr", ["eng-cat", "cat-fra"])):
            def direct():
                # From a file, as APy gives it: from a pipe the converter's
                # unzip cannot seek, writes nothing and still exits 0.
                began = os.times()
                data = document
                for mode in legs:
                    with open(path, "wb") as f:
                        f.write(data)
                    with open(path, "rb") as f:
                        data = subprocess.run(["apertium", "-u", "-f", "odt", mode], stdin=f,
                                              capture_output=True, check=True).stdout
                    assert zipfile.is_zipfile(io.BytesIO(data)), f"apertium -f odt {mode}: no odt"
                ended = os.times()
                return ended.children_user + ended.children_system - began.children_user \
                    - began.children_system
            def through(at=port, proc=service):
                began = cpu_seconds(proc.pid)
                status, body = post(at, pair, "bench.odt", document)
                assert status == 200 and zipfile.is_zipfile(io.BytesIO(body)), status
                return cpu_seconds(proc.pid) - began
            runs = [direct, through] + ([lambda: through(*before[::-1])] if before else [])
            (a, b, *rest), (ca, cb, *_) = best_interleaved(*runs)
            c = rest[0] if rest else None
            print(f"{pair + ' (' + ' > '.join(legs) + ')':<26}{a:>15.2f}s{b:>15.2f}s{b / a:>7.2f}x"
                  + (f"{c:>15.2f}s" if before else "")
                  + f"   {ca:.2f}s {cb:.2f}s {cb / ca:.2f}x")
        os.unlink(path)
        time.sleep(2)  # the last document's converters gone
        for name, proc in (("this build", service), ("earlier build", before and before[0])):
            if proc:
                count, pss = tree(proc.pid)
                print(f"at rest, {name}: {count} processes, {pss / 1024:.0f} MiB Pss")

        base = rss_kib(service.pid)
        upload = os.urandom(10 * 1024 * 1024 - 4096)
        peak, (status, body) = peak_while(service.pid, lambda: post(port, "en|es", "big.docx", upload))
        print(f"\nservice VmRSS at rest {base / 1024:.1f} MiB")
        print(f"10 MiB upload (random bytes): peak {peak / 1024:.1f} MiB, answered {status} "
              f"{body.decode(errors='replace').strip()}")
        bomb = io.BytesIO()
        with zipfile.ZipFile(bomb, "w", zipfile.ZIP_DEFLATED) as z:
            z.writestr("mimetype", "application/vnd.oasis.opendocument.text", zipfile.ZIP_STORED)
            z.writestr("content.xml", b"\0" * (1024 * 1024 * 1024))
        payload = bomb.getvalue()
        peak, (status, body) = peak_while(service.pid, lambda: post(port, "en|es", "bomb.odt", payload))
        print(f"zip bomb ({len(payload) // 1024} KiB, 1 GiB unpacked): peak {peak / 1024:.1f} MiB, "
              f"answered {status} {body.decode(errors='replace').strip()}")
    finally:
        for proc in (service, before and before[0]):
            if proc:
                proc.terminate()
                proc.wait(20)


if __name__ == "__main__":
    main()
