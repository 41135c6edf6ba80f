#!/usr/bin/python3
"""Hostile-client figures for verzolan-service's HTTP layer, run by hand:
    bench/service/http_probe.py build/verzolan-service
Starts the service over a small APy stand-in (no Apertium needed) and prints:
resident memory before and after a 256 MiB header and a 400 MiB body, the time
to the refusal, the order of pipelined answers, and what a new client meets
with the connection table full (also under a 256-descriptor limit)."""
import http.server, json, os, resource, socket, subprocess, sys, threading, time, urllib.parse

PAIRS = {"responseData": [{"sourceLanguage": a, "targetLanguage": b} for a, b in
                          [("spa", "eng"), ("eng", "spa"), ("fra", "spa"), ("spa", "fra")]],
         "responseDetails": None, "responseStatus": 200}


class StandIn(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, answer):
        body = json.dumps(answer).encode()
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        self.reply(PAIRS)

    def do_POST(self):
        form = urllib.parse.parse_qs(self.rfile.read(int(self.headers["Content-Length"])).decode())
        text = form.get("q", [""])[0]
        if "slow" in text:
            time.sleep(0.3)
        # Marks each block the service sends, as the test stand-in does.
        mark = "[" + form["langpair"][0] + "]"
        text = text.replace("<p>", "<p>" + mark) if text.startswith("<p>") else mark + text
        self.reply({"responseData": {"translatedText": text}, "responseStatus": 200})


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def rss_mib(pid):
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmRSS:"):
            return int(line.split()[1]) / 1024
    return 0.0


def cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def status_line(answer):
    return answer.split(b"\r\n")[0].decode(errors="replace") or "(nothing)"


def get(target, close=True):
    return (f"GET {target} HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
            ("Connection: close\r\n" if close else "") + "\r\n").encode()


def answer_of(port, data, wait=5.0):
    s = socket.create_connection(("127.0.0.1", port))
    s.settimeout(wait)
    s.sendall(data)
    out = b""
    try:
        while True:
            chunk = s.recv(65536)
            if not chunk:
                break
            out += chunk
    except (socket.timeout, ConnectionResetError):
        pass
    s.close()
    return out


def flood(port, pid, head, filler, total):
    """Sends head then filler bytes up to total; returns (status line, seconds, bytes sent, rss)."""
    s = socket.create_connection(("127.0.0.1", port))
    s.setblocking(False)
    start = time.monotonic()
    sent, received, chunk = 0, b"", filler * (1 << 20)
    s.sendall(head)
    while sent < total and b"\r\n" not in received:
        try:
            sent += s.send(chunk)
        except BlockingIOError:
            time.sleep(0.001)
        except (BrokenPipeError, ConnectionResetError):
            break
        try:
            received += s.recv(4096)
        except BlockingIOError:
            pass
        except ConnectionResetError:
            break
    took = time.monotonic() - start
    rss = rss_mib(pid)
    s.close()
    return received.split(b"\r\n")[0].decode(errors="replace"), took, sent, rss


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else "build/verzolan-service"
    apy_port, port = free_port(), free_port()
    apy = http.server.ThreadingHTTPServer(("127.0.0.1", apy_port), StandIn)
    threading.Thread(target=apy.serve_forever, daemon=True).start()

    def start(limit=None):
        def lower():
            if limit:
                resource.setrlimit(resource.RLIMIT_NOFILE, (limit, limit))
        service = subprocess.Popen([binary, "--port", str(port), "--apy", f"http://127.0.0.1:{apy_port}"],
                                   stderr=subprocess.DEVNULL, preexec_fn=lower)
        for _ in range(100):
            time.sleep(0.05)
            try:
                if b" 200 " in answer_of(port, get("/translate_t?text=ok&langpair=es|en"), 0.5)[:20]:
                    return service
            except ConnectionRefusedError:
                pass
        service.kill()
        raise SystemExit("service did not start")

    service = start()
    pid = service.pid
    print(f"resident at start: {rss_mib(pid):.1f} MiB")
    line = get("/translate_t?text=a&langpair=es|en")[:-2]
    status, took, sent, rss = flood(port, pid, line + b"X-Fill: ", b"a", 256 << 20)
    print(f"256 MiB header: '{status}' after {took * 1000:.1f} ms, {sent >> 10} KiB sent, "
          f"resident {rss:.1f} MiB")
    status, took, sent, rss = flood(
        port, pid, b"POST /translate_t HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 419430400\r\n\r\n",
        b"b", 400 << 20)
    print(f"400 MiB body: '{status}' after {took * 1000:.1f} ms, {sent >> 10} KiB sent, "
          f"resident {rss:.1f} MiB")

    pipelined = (get("/translate_t?text=slow%20first&langpair=es|en", False) +
                 get("/translate_t?text=Hallo&langpair=de|en", False) +
                 get("/translate_t?text=third&langpair=es|en"))
    answers = answer_of(port, pipelined)
    order = [part.split(b"</div>")[0].decode() for part in answers.split(b"result_box dir=\"ltr\">")[1:]]
    print("pipelined answers in order:", order)

    # A table full of idle keep-alive connections, then one of clients inside a request.
    idle = [socket.create_connection(("127.0.0.1", port)) for _ in range(600)]
    time.sleep(0.5)
    before, start_time = cpu_seconds(pid), time.monotonic()
    answer = answer_of(port, get("/translate_t?text=hola&langpair=es|en"))
    print(f"600 idle connections (cap 512): new client gets '{status_line(answer)}'")
    for s in idle:
        s.close()
    service.terminate()
    service.wait()

    service = start(256)
    pid = service.pid
    busy = []
    for _ in range(300):
        s = socket.create_connection(("127.0.0.1", port))
        s.sendall(b"GET /translate_t?text=")
        busy.append(s)
    time.sleep(0.5)
    before, start_time = cpu_seconds(pid), time.monotonic()
    answer = answer_of(port, get("/translate_t?text=hola&langpair=es|en"), 2)
    time.sleep(2)
    load = (cpu_seconds(pid) - before) / (time.monotonic() - start_time)
    print(f"256 descriptors, 300 clients inside a head: new client gets "
          f"'{status_line(answer)}', service CPU {load * 100:.0f}% of a core")
    time.sleep(4)  # their heads time out (408)
    answer = answer_of(port, get("/translate_t?text=hola&langpair=es|en"), 2)
    print(f"after the head timeout: '{status_line(answer)}'")
    for s in busy:
        s.close()
    service.terminate()
    service.wait()


if __name__ == "__main__":
    main()
