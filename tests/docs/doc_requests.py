"""What the document tests share: a free port, a form as a browser posts
it, and the command line's environment pointed at a given service."""

import os
import socket
import uuid


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def multipart(fields, name, content):
    boundary = uuid.uuid4().hex
    body = b""
    for key, value in fields.items():
        body += (f"--{boundary}\r\nContent-Disposition: form-data; name=\"{key}\"\r\n\r\n"
                 f"{value}\r\n").encode()
    body += (f"--{boundary}\r\nContent-Disposition: form-data; name=\"file\"; filename=\"{name}\"\r\n"
             "Content-Type: application/octet-stream\r\n\r\n").encode() + content + \
        f"\r\n--{boundary}--\r\n".encode()
    return body, f"multipart/form-data; boundary={boundary}"


def command_environment(folder, port):
    """The program's settings under folder/config, naming 127.0.0.1:port as
    the service, and no display: the command line as a script runs it."""
    config = os.path.join(folder, "config", "Verzolan")
    os.makedirs(config)
    with open(os.path.join(config, "Verzolan.conf"), "w") as f:
        f.write(f"[data]\nservice=127.0.0.1:{port}\n")
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(folder, "config"), LC_ALL="C")
    env.pop("DISPLAY", None)
    return env
