#!/usr/bin/python3
"""Starts and stops real FTP servers (devsim/ftp_server.py, pyftpdlib) on loopback for tests that run under
Wine: a Wine program can start a Linux process but cannot wait for it or stop it, so the servers are started
from the Linux side. CTest runs "start" before the Wine tests (a fixture) and "stop" after them.

  ftp_server_broker.py start STATE_DIR   serve in the background; the port goes to STATE_DIR/broker.port
  ftp_server_broker.py stop STATE_DIR    stop the broker and every server it started

Requests on the broker's loopback port, one line each, answered with one line ("ok ..." or "error ..."); paths
and contents travel in hexadecimal, as they are bytes:
  start USER PASSWORD RATE STALL_AFTER      -> ok ID PORT   (a server over a fresh folder with B: and C:/www/control)
  read ID PATH                              -> ok BYTES, or missing
  write ID PATH BYTES                       -> ok
  commands ID                               -> ok LOG       (the commands the server received)
  stop ID                                   -> ok
"""
import os
import shutil
import signal
import socket
import socketserver
import subprocess
import sys
import tempfile
import threading
import time

SERVER_SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "devsim", "ftp_server.py")
START_SECONDS = 15
STOP_SECONDS = 5

servers = {}
servers_lock = threading.Lock()
next_id = [1]


def start_server(user, password, rate, stall_after):
    root = tempfile.mkdtemp(prefix="skiffs-wine-ftp-")
    for folder in ("B:", os.path.join("C:", "www", "control")):
        os.makedirs(os.path.join(root, "srv", folder))
    args = ["/usr/bin/python3", SERVER_SCRIPT, "--root", os.path.join(root, "srv"), "--user", user,
            "--password", password, "--log", os.path.join(root, "commands"), "--rate", rate]
    if int(stall_after) >= 0:
        args += ["--stall-after", stall_after]
    log = open(os.path.join(root, "server.log"), "wb")
    proc = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=log, stdin=subprocess.DEVNULL)
    log.close()
    deadline = time.monotonic() + START_SECONDS
    line = b""
    while not line.endswith(b"\n") and time.monotonic() < deadline:
        ready = proc.stdout.read1(1) if hasattr(proc.stdout, "read1") else proc.stdout.read(1)
        if not ready:
            break
        line += ready
    if not line.strip().isdigit():
        stop_process(proc)
        shutil.rmtree(root, ignore_errors=True)
        raise RuntimeError("the FTP server did not start")
    with servers_lock:
        server_id = next_id[0]
        next_id[0] += 1
        servers[server_id] = (proc, root)
    return server_id, int(line)


def stop_process(proc):
    proc.terminate()
    try:
        proc.wait(STOP_SECONDS)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def stop_server(server_id):
    with servers_lock:
        proc, root = servers.pop(server_id)
    stop_process(proc)
    shutil.rmtree(root, ignore_errors=True)


def server_path(server_id, hex_path):
    with servers_lock:
        root = servers[server_id][1]
    relative = bytes.fromhex(hex_path).lstrip(b"/")
    path = os.path.normpath(os.path.join(os.fsencode(root), b"srv", relative))
    if not path.startswith(os.path.join(os.fsencode(root), b"srv")):
        raise RuntimeError("path outside the server's folder")
    return path


def answer(words):
    verb = words[0]
    if verb == "start":
        server_id, port = start_server(*words[1:5])
        return "ok %d %d" % (server_id, port)
    server_id = int(words[1])
    if verb == "read":
        path = server_path(server_id, words[2])
        if not os.path.isfile(path):
            return "missing"
        with open(path, "rb") as f:
            return "ok " + f.read().hex()
    if verb == "write":
        path = server_path(server_id, words[2])
        with open(path, "wb") as f:
            f.write(bytes.fromhex(words[3] if len(words) > 3 else ""))
        return "ok"
    if verb == "commands":
        with servers_lock:
            log = os.path.join(servers[server_id][1], "commands")
        data = open(log, "rb").read() if os.path.exists(log) else b""
        return "ok " + data.hex()
    if verb == "stop":
        stop_server(server_id)
        return "ok"
    return "error unknown request"


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        for raw in self.rfile:
            try:
                reply = answer(raw.decode("ascii").split())
            except Exception as error:  # the test sees the failure in its reply
                reply = "error " + str(error).replace("\n", " ")
            self.wfile.write(reply.encode("ascii") + b"\n")
            self.wfile.flush()


class Broker(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def serve(state_dir):
    broker = Broker(("127.0.0.1", 0), Handler)

    def end(*_):
        threading.Thread(target=broker.shutdown).start()

    signal.signal(signal.SIGTERM, end)
    with open(os.path.join(state_dir, "broker.pid"), "w") as f:
        f.write(str(os.getpid()))
    port_file = os.path.join(state_dir, "broker.port")
    with open(port_file + ".new", "w") as f:
        f.write(str(broker.server_address[1]))
    os.replace(port_file + ".new", port_file)
    try:
        broker.serve_forever()
    finally:
        for server_id in list(servers):
            stop_server(server_id)
        os.unlink(port_file)


def start(state_dir):
    os.makedirs(state_dir, exist_ok=True)
    port_file = os.path.join(state_dir, "broker.port")
    if os.path.exists(port_file):
        stop(state_dir)
    if os.fork() == 0:
        # Detached from CTest's pipes, which would otherwise wait for the broker to end.
        os.setsid()
        null = os.open(os.devnull, os.O_RDWR)
        log = os.open(os.path.join(state_dir, "broker.log"), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
        os.dup2(null, 0)
        os.dup2(log, 1)
        os.dup2(log, 2)
        try:
            serve(state_dir)
        finally:
            os._exit(0)
    deadline = time.monotonic() + START_SECONDS
    while not os.path.exists(port_file):
        if time.monotonic() > deadline:
            sys.exit("the broker did not start")
        time.sleep(0.05)


def stop(state_dir):
    pid_file = os.path.join(state_dir, "broker.pid")
    if not os.path.exists(pid_file):
        return
    pid = int(open(pid_file).read())
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        pass
    deadline = time.monotonic() + STOP_SECONDS + 5
    while os.path.exists(os.path.join(state_dir, "broker.port")) and time.monotonic() < deadline:
        time.sleep(0.05)
    os.unlink(pid_file)


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        sys.exit(__doc__)
    (start if sys.argv[1] == "start" else stop)(sys.argv[2])
