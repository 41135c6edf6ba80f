#!/usr/bin/python3
"""Where a cold route's time goes: each program of each mode the routes use,
started as APy starts it (the mode file's command, -z, "$1" as -g) and timed
until it has passed one sentence on (the text, NUL, a nonce, NUL, as APy
writes it; each program gets what the one before it wrote). CPU time is
taken at that moment (the process is killed, so its exit is not counted);
wall times on a shared machine say more about the other processes. Best of
RUNS. A second figure beside each: with --quick-malloc, the transducer
loaders (lt-proc, lrx-proc) on mimalloc as the service starts them, whose
output must stay the same; with --hugetlb, every program with malloc on
transparent huge pages, which halves most loaders but not the French
generator (438 MiB), paid back in kernel time on this machine.

    bench/first_click/pipeline_starts.py [RUNS] [--quick-malloc | --hugetlb]
"""
import os
import re
import select
import signal
import socket
import subprocess
import sys
import sysconfig
import time

MODES = "/usr/share/apertium/modes"
NONCE = b"[/NONCE:bench]\0"
MALLOC_TUNING = "glibc.malloc.hugetlb=1"
QUICK_MALLOC = "/usr/lib/%s/libmimalloc.so.2" % sysconfig.get_config_var("MULTIARCH")
LOADERS = ("lt-proc", "lrx-proc")
# The legs of the quality table's first routes, with a sentence in each
# leg's source language.
LEGS = [
    ("eng-cat", "Good morning, the weather is fine."),
    ("cat-fra", "Bon dia, fa bon temps."),
    ("fra-cat", "Bonjour, il fait beau."),
    ("cat-eng", "Bon dia, fa bon temps."),
    ("eng-spa", "Good morning, the weather is fine."),
    ("spa-eng", "Buenos días, hace buen tiempo."),
    ("en-gl", "Good morning, the weather is fine."),
    ("gl-pt", "Bos días, vai bo tempo."),
    ("pt-es", "Bom dia, está bom tempo."),
    ("cat-ita", "Bon dia, fa bon temps."),
    ("ita-spa", "Buongiorno, fa bel tempo."),
]
ROUTES = {
    "en|fr": ["eng-cat", "cat-fra"], "fr|en": ["fra-cat", "cat-eng"],
    "en|es": ["eng-spa"], "es|en": ["spa-eng"], "en|pt": ["en-gl", "gl-pt"],
    "pt|en": ["pt-es", "spa-eng"], "en|it": ["eng-cat", "cat-ita"],
    "it|en": ["ita-spa", "spa-eng"],
}


def commands(mode):
    text = open(f"{MODES}/{mode}.mode", encoding="utf-8").read().strip()
    out = []
    for cmd in text.split("|"):
        cmd = cmd.replace("$2", "").replace("$1", "-g")
        if not re.match(r"^\s*(vislcg3|cg-mwesplit|hfst-tokeni[sz]e|divvun-suggest)", cmd):
            cmd = re.sub(r"^\s*(\S*)", r"\g<1> -z", cmd)
        out.append([c.strip("'") for c in cmd.split()])
    return out


def start_once(cmd, data, env):
    """(cpu s, wall s, resident MiB, output) until the nonce comes back."""
    began = time.perf_counter()
    proc = subprocess.Popen(cmd, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, env=env)
    proc.stdin.write(data)
    proc.stdin.flush()
    out = b""
    deadline = time.monotonic() + 120
    while NONCE not in out and time.monotonic() < deadline:
        if select.select([proc.stdout], [], [], 1)[0]:
            chunk = os.read(proc.stdout.fileno(), 65536)
            if not chunk:
                break
            out += chunk
    wall = time.perf_counter() - began
    while select.select([proc.stdout], [], [], 0.05)[0]:
        chunk = os.read(proc.stdout.fileno(), 65536)
        if not chunk:
            break
        out += chunk
    cpu, rss = kill_and_measure(proc)
    return cpu, wall, rss, out


def kill_and_measure(proc):
    """(cpu s, resident MiB) of a process read as it stands, then killed and reaped."""
    rss = 0
    with open(f"/proc/{proc.pid}/status", encoding="ascii") as status:
        for line in status:
            if line.startswith("VmRSS"):
                rss = int(line.split()[1]) // 1024
    os.kill(proc.pid, signal.SIGKILL)
    _, _, usage = os.wait4(proc.pid, 0)
    proc.returncode = -9
    return usage.ru_utime + usage.ru_stime, rss


def apy_start(guarded, port, env):
    """(cpu s, wall s, resident MiB) of APy from its start to its pair list
    answering: as installed, or guarded as the service starts it."""
    if guarded:
        here = os.path.dirname(os.path.abspath(__file__))
        with open(os.path.join(here, "../../src/apy/apy_guard.py"), encoding="utf-8") as script:
            cmd = ["/usr/bin/python3", "-c", script.read()]
    else:
        cmd = ["apertium-apy"]
    env = dict(env, VERZ_APY_KEY="bench")
    began = time.perf_counter()
    proc = subprocess.Popen(cmd + ["-p", str(port), "-j", "1", MODES], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    request = b"GET /listPairs HTTP/1.0\r\nX-Apy-Key: bench\r\n\r\n"
    answered = False
    while not answered and time.perf_counter() - began < 60 and proc.poll() is None:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=5) as peer:
                peer.sendall(request)
                answered = peer.recv(64).startswith(b"HTTP/1.1 200")
        except OSError:
            time.sleep(0.005)
    wall = time.perf_counter() - began
    cpu, rss = kill_and_measure(proc)
    return cpu, wall, rss


def both(values, width, tuned):
    """One figure in ms, or 'default / huge pages' when both were measured."""
    text = f"{values[0] * 1e3:{width}.0f}"
    return text + (f" / {values[1] * 1e3:{width}.0f}" if tuned else "")


def main():
    numbers = [a for a in sys.argv[1:] if a.isdigit()]
    runs = int(numbers[0]) if numbers else 3
    plain = dict(os.environ)
    plain.pop("GLIBC_TUNABLES", None)
    tuned, label = None, ""
    if "--hugetlb" in sys.argv:
        tuned, label = dict(plain, GLIBC_TUNABLES=MALLOC_TUNING), " (C library's malloc / huge pages)"
    elif "--quick-malloc" in sys.argv:
        tuned = dict(plain, LD_PRELOAD=QUICK_MALLOC)
        label = " (C library's malloc / loaders on mimalloc, as the service starts them)"
    samples = {True: [], False: []}
    for run in range(runs):
        for guarded in (False, True):
            samples[guarded].append(apy_start(guarded, 23590 + run % 8, plain))
    print(f"APy to its pair list, best of {runs}: CPU ms, wall ms, resident MiB")
    for guarded, name in ((False, "as installed"), (True, "guarded, as the service starts it")):
        cpu, wall = (min(s[i] for s in samples[guarded]) for i in (0, 1))
        print(f"  {cpu * 1e3:5.0f} cpu {wall * 1e3:6.0f} wall {samples[guarded][0][2]:4d} MiB  {name}")
    per_leg = {}
    print(f"CPU ms to the first sentence through, best of {runs}, wall ms best, resident MiB{label}")
    for mode, sentence in LEGS:
        data = sentence.encode() + b"\0" + NONCE
        total = [0.0, 0.0]
        slowest = [0.0, 0.0]
        for cmd in commands(mode):
            samples = {0: [], 1: []}
            variant = tuned
            if tuned and "LD_PRELOAD" in tuned and os.path.basename(cmd[0]) not in LOADERS:
                variant = plain
            for _ in range(runs):
                for which, env in ((0, plain), (1, variant)):
                    if env is not None:
                        samples[which].append(start_once(cmd, data, env))
            if tuned is None:
                samples[1] = [(0.0, 0.0, 0, b"")]
            best = [min(samples[w], key=lambda s: s[0]) for w in (0, 1)]
            walls = [min(s[1] for s in samples[w]) for w in (0, 1)]
            for w in (0, 1):
                total[w] += best[w][0]
                slowest[w] = max(slowest[w], best[w][0])
            name = " ".join(os.path.basename(c) for c in cmd)
            memory = f"{best[0][2]:4d}" + (f" / {best[1][2]:4d}" if tuned else "")
            differs = "  OUTPUT DIFFERS" if tuned and best[0][3] != best[1][3] else ""
            print(f"  {mode:8s} {both([best[0][0], best[1][0]], 5, tuned)} cpu "
                  f"{both(walls, 6, tuned)} wall {memory} MiB  {name}{differs}")
            data = best[0][3]
        per_leg[mode] = (total, slowest)
        shown = data.replace(NONCE, b"").replace(b"\0", b"").decode(errors="replace")
        print(f"  {mode:8s} all programs {both(total, 1, tuned)} ms cpu, "
              f"slowest {both(slowest, 1, tuned)} ms: {shown.strip()}")
    print("route   CPU of all its programs   slowest program (a floor however many cores)")
    for route, legs in ROUTES.items():
        cpu = [sum(per_leg[leg][0][w] for leg in legs) for w in (0, 1)]
        floor = [max(per_leg[leg][1][w] for leg in legs) for w in (0, 1)]
        print(f"{route}   {both(cpu, 6, tuned)} ms   {both(floor, 6, tuned)} ms")


if __name__ == "__main__":
    main()
