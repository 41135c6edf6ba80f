#!/usr/bin/python3
"""Word error rate of what a built service answers, pair by pair, on the
parallel set: the route it picks and everything it does around it (codes
kept, a pivot's second route). Give two service binaries to compare them.

    bench/quality/service_wer.py build/verzolan-service [OTHER] [--limit N] [--port P]
"""

import argparse
import concurrent.futures
import html
import os
import re
import socket
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from quality_bench import PAIRS, document_wer, read_lines  # noqa: E402


def ask(port, pair, sentence):
    query = urllib.parse.urlencode({"text": sentence, "langpair": pair}).encode()
    page = urllib.request.urlopen(f"http://127.0.0.1:{port}/translate_t", data=query, timeout=120).read()
    box = re.search(rb"<div id=result_box[^>]*>(.*?)</div>", page, re.S).group(1)
    return html.unescape(box.decode()).strip()


def measure(binary, port, limit):
    scratch = tempfile.mkdtemp()
    service = subprocess.Popen([binary, "--port", str(port), "--cache-entries", "0"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               env=dict(os.environ, TMPDIR=scratch))
    try:
        deadline = time.time() + 90
        while time.time() < deadline:
            try:
                if ask(port, "en|es", "house") != "house":
                    break
            except OSError:
                time.sleep(0.3)
        scores = {}
        with concurrent.futures.ThreadPoolExecutor(4) as pool:
            for source, target in PAIRS:
                pair = f"{source}|{target}"
                lines = read_lines(source, limit).splitlines()
                got = list(pool.map(lambda line: ask(port, pair, line), lines))
                scores[pair] = document_wer("\n".join(got), read_lines(target, limit))
                print(f"{binary} {pair} {scores[pair]:.1f}", file=sys.stderr)
        return scores
    finally:
        service.terminate()
        service.wait(30)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("binaries", nargs="+")
    parser.add_argument("--limit", type=int, default=0)
    parser.add_argument("--port", type=int, default=0)
    args = parser.parse_args()
    columns = []
    for binary in args.binaries:
        port = args.port
        if not port:
            with socket.socket() as s:
                s.bind(("127.0.0.1", 0))
                port = s.getsockname()[1]
        columns.append(measure(binary, port, args.limit))
    print("| pair | " + " | ".join(args.binaries) + " |")
    print("|---|" + "---|" * len(columns))
    for source, target in PAIRS:
        pair = f"{source}|{target}"
        print(f"| {source}\\|{target} | " + " | ".join(f"{c[pair]:.1f}" for c in columns) + " |")


if __name__ == "__main__":
    main()
