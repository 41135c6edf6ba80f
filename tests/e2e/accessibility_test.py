#!/usr/bin/python3
"""The window as a screen reader meets it, through AT-SPI.

accessibility_test.py PROGRAM [--orca] [--dump]

Run on an X display (with_xvfb.sh). Starts a session bus of its own, a
loopback stand-in for the translation service and the program with the
toolkit's accessibility bridge on; walks the accessible tree and checks every
control's name, role and actions; presses the translate button and toggles
the check box through AT-SPI. With --orca, a screen reader runs too and its
debug log must show the translation and "Non Connecté" spoken once each.
--dump prints the tree and checks nothing. Exit 77: a tool is missing.
"""

import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

PROGRAM = sys.argv[1]
ORCA = "--orca" in sys.argv
DUMP = "--dump" in sys.argv
TRANSLATION = "Bonjour tout le monde"
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED: " + what, flush=True)
    return condition


def wait_for(condition, seconds, step=0.05):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(step)
    return condition()


class StandIn(http.server.BaseHTTPRequestHandler):
    answering = True
    requests = []

    def do_GET(self):
        StandIn.requests.append(self.path)
        if not StandIn.answering:
            self.send_error(500)
            return
        body = ('<html><body><div id=result_box dir="ltr">%s</div></body></html>'
                % TRANSLATION).encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def start_bus(env):
    out = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1",
                          "--print-pid=1"], env=env, capture_output=True, text=True,
                         timeout=20, check=True).stdout.split()
    return out[0], int(out[1])


def walk(node, depth=0, found=None):
    """Every accessible below node as (node, depth), bounded in depth and count."""
    found = [] if found is None else found
    if node is None or depth > 12 or len(found) > 500:
        return found
    found.append((node, depth))
    for i in range(min(node.get_child_count(), 200)):
        walk(node.get_child_at_index(i), depth + 1, found)
    return found


def actions(node):
    action = node.get_action_iface()
    if action is None:
        return []
    return [action.get_action_name(i) for i in range(action.get_n_actions())]


def press(node, name):
    action = None if node is None else node.get_action_iface()
    if action is None:
        return False
    for i in range(action.get_n_actions()):
        if action.get_action_name(i).lower() == name.lower():
            return action.do_action(i)
    return False


def text_of(node):
    text = node.get_text_iface()
    return "" if text is None else text.get_text(0, -1)


def labelled_by(node, Atspi):
    names = []
    for relation in node.get_relation_set():
        if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY:
            names += [relation.get_target(i).get_name() for i in range(relation.get_n_targets())]
    return names


def main():
    for tool in ("dbus-daemon", "/usr/libexec/at-spi-bus-launcher") + (("orca",) if ORCA else ()):
        if shutil.which(tool) is None:
            print("missing " + tool)
            return 77
    home = tempfile.mkdtemp(prefix="verz-a11y-")
    env = dict(os.environ)
    for name in ("QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "QT_FONT_DPI", "SESSION_MANAGER"):
        env.pop(name, None)
    runtime = os.path.join(home, "run")
    os.makedirs(runtime, mode=0o700)
    env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
               XDG_CACHE_HOME=os.path.join(home, "cache"), XDG_RUNTIME_DIR=runtime,
               XDG_DATA_HOME=os.path.join(home, "data"),
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               NO_AT_BRIDGE="0", GTK_MODULES="")
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), StandIn)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    os.makedirs(os.path.join(home, "config", "Verzolan"))
    with open(os.path.join(home, "config", "Verzolan", "Verzolan.conf"), "w") as conf:
        conf.write("[data]\nservice=127.0.0.1:%d\nlist=6\n" % server.server_address[1])
    bin_dir = os.path.join(home, "bin")
    os.makedirs(bin_dir)
    program = os.path.join(bin_dir, "Verzolan")
    shutil.copy(PROGRAM, program)

    address, bus_pid = start_bus(env)
    env["DBUS_SESSION_BUS_ADDRESS"] = address
    os.environ.update(DBUS_SESSION_BUS_ADDRESS=address, XDG_RUNTIME_DIR=runtime, HOME=home)
    processes = []
    try:
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi

        log = os.path.join(home, "orca.log")
        if ORCA:
            orca_out = open(os.path.join(home, "orca.out"), "w")
            # Orca writes its debug file through an 8 KiB buffer: what it said
            # could sit there unseen. Its files are opened line-buffered here.
            wrapper = ("import builtins, sys\n"
                       "plain = builtins.open\n"
                       "def line_buffered(name, mode='r', *rest, **options):\n"
                       "    if mode == 'w' and not rest:\n"
                       "        options.setdefault('buffering', 1)\n"
                       "    return plain(name, mode, *rest, **options)\n"
                       "builtins.open = line_buffered\n"
                       "sys.argv = ['orca', '--replace', '--debug-file=' + sys.argv[1]]\n"
                       "exec(compile(plain('/usr/bin/orca').read(), '/usr/bin/orca', 'exec'))\n")
            orca = subprocess.Popen(["/usr/bin/python3", "-c", wrapper, log], env=env,
                                    stdout=orca_out, stderr=subprocess.STDOUT)
            processes.append(orca)
        app_process = subprocess.Popen([program], env=env, cwd=home,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        processes.append(app_process)

        def application():
            desktop = Atspi.get_desktop(0)
            for i in range(desktop.get_child_count()):
                child = desktop.get_child_at_index(i)
                if child is not None and child.get_process_id() == app_process.pid \
                        and child.get_child_count() > 0:
                    return child
            return None

        app = wait_for(application, 30, 0.2)
        if not check(app is not None, "the program shows on the accessibility bus"):
            return 1
        window = app.get_child_at_index(0)
        nodes = wait_for(lambda: [n for n, _ in walk(window)] if len(walk(window)) > 30 else None,
                         20, 0.2) or [n for n, _ in walk(window)]
        if DUMP:
            for node, depth in walk(window):
                print("%s%s %r actions=%s labelled_by=%s" % (
                    "  " * depth, node.get_role_name(), node.get_name(), actions(node),
                    labelled_by(node, Atspi)))
            return 0

        def find(name, role=None):
            hits = [n for n in nodes if n.get_name() == name
                    and (role is None or n.get_role_name() == role)]
            return hits[0] if hits else None

        check(window.get_name() == "Verzolan", "the window is named Verzolan")
        expected = [
            ("Texte à traduire", "text"), ("Traduction", "text"),
            ("Lancer la traduction", "push button"),
            ("Effacer le texte à traduire", "push button"),
            ("Effacer la traduction", "push button"),
            ("Coller", "push button"), ("Copier", "push button"),
            ("Ignorer les diacritiques", "check box"),
            ("A propos", "push button"), ("Réduire", "push button"),
            ("Quitter", "push button"), ("Basculer", "push button"),
            ("Français vers Anglais", "radio button"), ("Anglais vers Français", "radio button"),
            ("OK", "push button"),
            ("Visiter le site de l'auteur...", "link"),
            ("Envoyer un coucou à l'auteur...", "link"),
            ("Site du service de traduction", "link"),
        ]
        for name, role in expected:
            check(find(name, role) is not None, "a %s named %r" % (role, name))
        for name in ("A propos", "Réduire", "Quitter", "Basculer",
                     "Visiter le site de l'auteur..."):
            node = find(name)
            check(node is not None and "Press" in actions(node), "%r can be pressed" % name)
        for box, caption in (("Texte à traduire", "Texte à traduire"),
                             ("Traduction", "Traduction"),
                             ("Lancer la traduction", "Lancer la traduction")):
            node = find(box, "text") or find(box, "push button")
            check(node is not None and caption in labelled_by(node, Atspi),
                  "%r is labelled by its caption" % box)
        roles = [n.get_role_name() for n in nodes]
        check("combo box" not in roles and "list" not in roles,
              "the hidden pair lists are not exposed")
        acting = ("push button", "text", "check box", "radio button", "link", "image")
        unnamed = [r for n, r in zip(nodes, roles) if r in acting and not n.get_name()]
        check(not unnamed, "every control is named (unnamed: %s)" % unnamed)

        if ORCA:
            if not check(wait_for(lambda: os.path.exists(log) and "SPEECH OUTPUT" in open(log).read(),
                                  30, 0.2), "the screen reader started"):
                print(open(os.path.join(home, "orca.out")).read()[-3000:])
        # The translate button, pressed through AT-SPI.
        output = find("Traduction", "text")
        check(press(find("Lancer la traduction", "push button"), "Press"),
              "the translate button takes the press action")
        check(wait_for(lambda: TRANSLATION in text_of(output), 20),
              "the translation arrives in the output box")
        if ORCA:
            spoken = lambda text: [line for line in open(log, errors="replace")
                                   if "SPEECH OUTPUT:" in line and text in line]
            check(wait_for(lambda: spoken(TRANSLATION), 20),
                  "the screen reader says the translation")
            time.sleep(0)
            StandIn.answering = False
            press(find("Lancer la traduction", "push button"), "Press")
            check(wait_for(lambda: spoken("Non Connecté"), 20),
                  "the screen reader says Non Connecté")
            check(len(spoken(TRANSLATION)) == 1,
                  "the translation is said once (%d)" % len(spoken(TRANSLATION)))
            check(len(spoken("Non Connecté")) == 1,
                  "Non Connecté is said once (%d)" % len(spoken("Non Connecté")))
        # The check box, toggled through AT-SPI.
        box = find("Ignorer les diacritiques", "check box")
        checked = lambda: box.get_state_set().contains(Atspi.StateType.CHECKED)
        before = checked()
        check(press(box, "Toggle") or press(box, "Press"), "the check box takes an action")
        check(wait_for(lambda: checked() != before, 10), "the check box toggles")
    finally:
        for process in reversed(processes):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        server.shutdown()
        if os.environ.get("VERZ_KEEP_ORCA_LOG") and os.path.exists(os.path.join(home, "orca.log")):
            shutil.copy(os.path.join(home, "orca.log"), os.environ["VERZ_KEEP_ORCA_LOG"])
        subprocess.run(["kill", str(bus_pid)], check=False)
        shutil.rmtree(home, ignore_errors=True)
    print("%d passed, %d failed" % (1 if not failures else 0, 1 if failures else 0))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
