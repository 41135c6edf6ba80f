#!/usr/bin/python3
"""Word error rate of every route the installed Apertium modes allow.

For each of the service's Apertium pairs, every route of one or two legs
that the modes folder offers is run on the parallel set, once with the source
as typed and once folded as the window folds it (the twelve letters of its
"Ignorer les diacritiques" box). With --restorer, the folded source (and the
typed one, to show it passes unchanged) also goes through the service's accent
restoration first. Scores come from apertium-eval-translator. Printed figures
only; run by hand (tools/test.sh runs a small slice as a smoke test).
"""

import argparse
import hashlib
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SET_DIR = os.path.join(HERE, "set")
MODES_DIR = "/usr/share/apertium/modes"

# The service's pairs that Apertium serves, in two-letter and APy codes.
PAIRS = [("en", "fr"), ("fr", "en"), ("en", "es"), ("es", "en"),
         ("en", "pt"), ("pt", "en"), ("en", "it"), ("it", "en")]
THREE = {"en": "eng", "fr": "fra", "es": "spa", "pt": "por", "it": "ita",
         "ca": "cat", "eo": "epo", "gl": "glg"}

# The window's folds, in its order.
FOLDS = [("é", "e"), ("è", "e"), ("ê", "e"), ("ë", "e"), ("à", "a"), ("ô", "o"),
         ("ç", "c"), ("ù", "u"), ("î", "i"), ("ï", "i"), ("â", "a"), ("ä", "a")]

MODE_NAME = re.compile(r"^([a-z]{2,3})-([a-z]{2,3})\.mode$")


def fold(text):
    for accented, plain in FOLDS:
        text = text.replace(accented, plain)
    return text


def installed_modes(modes_dir):
    """{(from3, to3): mode name} for the plain modes (no variants)."""
    modes = {}
    for name in sorted(os.listdir(modes_dir)):
        match = MODE_NAME.match(name)
        if not match:
            continue
        a, b = (THREE.get(code, code) for code in match.groups())
        modes.setdefault((a, b), name[:-5])
    return modes


def candidate_routes(modes, source, target):
    """Direct first, then every two-leg route through one pivot."""
    routes = []
    if (source, target) in modes:
        routes.append([(source, target)])
    pivots = sorted({b for (a, b) in modes if a == source} & {a for (a, b) in modes if b == target})
    for pivot in pivots:
        if pivot not in (source, target):
            routes.append([(source, pivot), (pivot, target)])
    return routes


class Runner:
    def __init__(self, modes, workdir):
        self.modes = modes
        self.workdir = workdir
        self.cache = {}
        self.quick = False

    def leg(self, pair, text):
        key = (pair, hashlib.sha1(text.encode()).hexdigest())
        if key not in self.cache:
            out = subprocess.run(["apertium", "-u", "-f", "txt", self.modes[pair]],
                                 input=text.encode(), capture_output=True, check=True)
            result = out.stdout.decode()
            if result.count("\n") != text.count("\n"):
                raise RuntimeError("%s changed the line count" % self.modes[pair])
            self.cache[key] = result
        return self.cache[key]

    def route(self, legs, text):
        for pair in legs:
            text = self.leg(pair, text)
        return text

    def wer(self, hypothesis, reference_path):
        if self.quick:
            with open(reference_path, encoding="utf-8") as f:
                return document_wer(hypothesis, f.read())
        path = os.path.join(self.workdir, "hyp.txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write(hypothesis)
        out = subprocess.run(["apertium-eval-translator", "-test", path, "-ref", reference_path],
                             capture_output=True, check=True).stdout.decode()
        return float(re.search(r"Word error rate \(WER\): ([0-9.]+) %", out).group(1))


def document_wer(hypothesis, reference):
    """apertium-eval-translator's figure (one edit distance over the whole
    file, words split at white space) in a fraction of its time."""
    test = hypothesis.split()
    ref = reference.split()
    row = list(range(len(ref) + 1))
    for i, word in enumerate(test):
        previous, row[0] = row[0], i + 1
        for j, expected in enumerate(ref):
            current = min(row[j + 1] + 1, row[j] + 1, previous + (word != expected))
            previous, row[j + 1] = row[j + 1], current
    return round(row[-1] * 100.0 / len(ref), 2)


def restore(restorer, language, text):
    out = subprocess.run([restorer, language], input=text.encode(), capture_output=True, check=True)
    return out.stdout.decode()


def read_lines(language, limit):
    with open(os.path.join(SET_DIR, language + ".txt"), encoding="utf-8") as f:
        lines = f.read().splitlines()
    return "\n".join(lines[:limit] if limit else lines) + "\n"


def route_name(legs):
    return "direct" if len(legs) == 1 else "via " + legs[0][1]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--limit", type=int, default=0, help="first N sentences only")
    parser.add_argument("--pairs", default="", help="e.g. fr-en,en-it (default: all eight)")
    parser.add_argument("--restorer", default="", help="accent restoration program")
    parser.add_argument("--modes", default=MODES_DIR)
    parser.add_argument("--quick", action="store_true",
                        help="score with the same edit distance computed here, not the Perl tool")
    parser.add_argument("--markdown", default="", help="also write the table here")
    args = parser.parse_args()

    pairs = PAIRS
    if args.pairs:
        pairs = [tuple(p.split("-")) for p in args.pairs.split(",")]
    modes = installed_modes(args.modes)
    columns = ["typed", "folded"] + (["typed+restored", "folded+restored"] if args.restorer else [])
    rows = []
    with tempfile.TemporaryDirectory() as workdir:
        runner = Runner(modes, workdir)
        runner.quick = args.quick
        for source, target in pairs:
            ref_text = read_lines(target, args.limit)
            ref_path = os.path.join(workdir, "ref-%s.txt" % target)
            with open(ref_path, "w", encoding="utf-8") as f:
                f.write(ref_text)
            typed = read_lines(source, args.limit)
            inputs = {"typed": typed, "folded": fold(typed)}
            if args.restorer:
                inputs["typed+restored"] = restore(args.restorer, source, typed)
                inputs["folded+restored"] = restore(args.restorer, source, inputs["folded"])
            routes = candidate_routes(modes, THREE[source], THREE[target])
            if not routes:
                rows.append((source, target, "none", {}))
            for legs in routes:
                try:
                    scores = {c: runner.wer(runner.route(legs, inputs[c]), ref_path)
                              for c in columns}
                except subprocess.CalledProcessError as failure:
                    # Debian ships some modes whose files are missing (es-eo).
                    print("%s|%s %s: %s fails" % (source, target, route_name(legs),
                                                 failure.cmd[-1]), file=sys.stderr)
                    rows.append((source, target, route_name(legs) + " (fails)", {}))
                    continue
                rows.append((source, target, route_name(legs), scores))
                print("%s|%s %-8s %s" % (source, target, route_name(legs),
                                         "  ".join("%s %.1f" % (c, scores[c]) for c in columns)),
                      file=sys.stderr)

    header = "| pair | route | " + " | ".join("WER %s" % c for c in columns) + " |"
    lines = [header, "|" + "---|" * (len(columns) + 2)]
    for source, target, name, scores in rows:
        best = min((r[3]["typed"] for r in rows if r[:2] == (source, target) and r[3]), default=None)
        mark = " **best**" if scores and scores["typed"] == best else ""
        cells = " | ".join("%.1f" % scores[c] if scores else "-" for c in columns)
        lines.append("| %s\\|%s | %s%s | %s |" % (source, target, name, mark, cells))
    table = "\n".join(lines)
    print(table)
    if args.markdown:
        with open(args.markdown, "w", encoding="utf-8") as f:
            f.write(table + "\n")


if __name__ == "__main__":
    main()
