#!/usr/bin/python3
"""Whether the quick allocator changes a translation: the whole sentence set
through each route of the quality table's first choices, program by program
as the mode files list them, once on the C library's malloc and once with the
transducer loaders (lt-proc, lrx-proc) on mimalloc as the service starts them.
Prints per route "same" or the first differing lines, and any program that
failed. Run by hand (about a minute of CPU).

    bench/quality/allocator_check.py
"""
import difflib
import os
import subprocess
import sys
import sysconfig

HERE = os.path.dirname(os.path.abspath(__file__))
QUICK = "/usr/lib/%s/libmimalloc.so.2" % sysconfig.get_config_var("MULTIARCH")
LOADERS = ("lt-proc", "lrx-proc")
ROUTES = [("en", ["eng-cat", "cat-fra"]), ("fr", ["fra-cat", "cat-eng"]), ("en", ["eng-spa"]),
          ("es", ["spa-eng"]), ("en", ["en-gl", "gl-pt"]), ("pt", ["pt-es", "spa-eng"]),
          ("en", ["eng-cat", "cat-ita"]), ("it", ["ita-spa", "spa-eng"])]


def commands(mode):
    with open(f"/usr/share/apertium/modes/{mode}.mode", encoding="utf-8") as f:
        text = f.read().strip()
    return [[c.strip("'") for c in cmd.replace("$2", "").replace("$1", "-g").split()]
            for cmd in text.split("|")]


def run(mode, data, quick):
    data = subprocess.run(["apertium-destxt"], input=data, capture_output=True, check=True).stdout
    for cmd in commands(mode):
        env = dict(os.environ)
        if quick and os.path.basename(cmd[0]) in LOADERS:
            env["LD_PRELOAD"] = QUICK
        done = subprocess.run(cmd, input=data, capture_output=True, env=env, timeout=600)
        if done.returncode != 0:
            print(f"  {mode}: {cmd[0]} ended with {done.returncode}"
                  + (" (mimalloc)" if env.get("LD_PRELOAD") else ""))
        data = done.stdout
    return subprocess.run(["apertium-retxt"], input=data, capture_output=True, check=True).stdout


def main():
    if not os.path.isfile(QUICK):
        sys.exit(f"{QUICK} is missing (apt-get install libmimalloc2.0)")
    for source, legs in ROUTES:
        with open(os.path.join(HERE, "set", f"{source}.txt"), "rb") as f:
            plain = quick = f.read()
        for leg in legs:
            plain, quick = run(leg, plain, False), run(leg, quick, True)
        lines = plain.count(b"\n")
        if plain == quick:
            print(f"{source} {' > '.join(legs):18s} same ({lines} lines)")
        else:
            print(f"{source} {' > '.join(legs):18s} DIFFERS")
            diff = difflib.unified_diff(plain.decode().splitlines(), quick.decode().splitlines(),
                                        lineterm="", n=0)
            print("\n".join(list(diff)[:12]))


if __name__ == "__main__":
    main()
