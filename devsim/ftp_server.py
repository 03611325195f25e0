#!/usr/bin/python3
"""A real FTP server over a folder: pyftpdlib on a loopback port, one virtual user.

Prints the port it listens on as its first line, then serves until it is terminated.
"""
import argparse
import os
import signal
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def make_dtp_handler(rate, stall_after):
    class DataHandler(ThrottledDTPHandler):
        read_limit = rate
        write_limit = rate

        def __init__(self, sock, cmd_channel):
            super().__init__(sock, cmd_channel)
            self.moved = 0

        def count(self, moved):
            self.moved += moved
            # Once stalled, the data connection stays open and is never served again.
            if stall_after is not None and self.moved >= stall_after and self.connected:
                self.del_channel()

        def recv(self, buffer_size):
            chunk = super().recv(buffer_size)
            self.count(len(chunk))
            return chunk

        def send(self, data):
            sent = super().send(data)
            self.count(sent)
            return sent

    return DataHandler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", default="user")
    # A real password comes through the environment: the arguments of a process are visible to every user.
    parser.add_argument("--password", default=os.environ.get("TESSEL_FTP_PASSWORD", "secret"))
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0, help="port to listen on, 0 = any free port")
    parser.add_argument("--rate", type=int, default=0, help="bytes per second on data connections, 0 = unlimited")
    parser.add_argument("--stall-after", type=int, default=None, help="stop moving data after this many bytes")
    parser.add_argument("--log", default=None, help="file that receives the commands the server sees")
    parser.add_argument("--no-epsv", action="store_true", help="refuse EPSV, so that clients fall back to PASV")
    parser.add_argument("--pasv-reply", default=None, help="answer every PASV with 227 and this text")
    parser.add_argument("--multiline", action="store_true", help="greet and confirm the login in multi-line replies")
    args = parser.parse_args()

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.dtp_handler = make_dtp_handler(args.rate, args.stall_after)
    Handler.permit_foreign_addresses = False
    if args.no_epsv:
        Handler.ftp_EPSV = lambda self, line: self.respond("502 EPSV not implemented.")
    if args.pasv_reply is not None:
        Handler.ftp_PASV = lambda self, line: self.respond("227 " + args.pasv_reply)
    if args.multiline:
        # Long texts go out as multi-line replies ("220-...", "230-...", then the closing line).
        Handler.banner = "Simulated device\r\n220-" + "welcome " * 12
        authorizer.user_table[args.user]["msg_login"] = "Login successful\r\n230-" + "logged in " * 10
    # Names arrive as bytes of any encoding (Shift-JIS, EUC-JP): keep them byte for byte on disk.
    Handler.encoding = "utf-8"
    Handler.unicode_errors = "surrogateescape"
    if args.log:
        log = open(args.log, "a", buffering=1, encoding="utf-8", errors="surrogateescape")

        def pre_process_command(self, line, cmd, arg, _log=log, _orig=FTPHandler.pre_process_command):
            _log.write(line + "\n")
            return _orig(self, line, cmd, arg)

        Handler.pre_process_command = pre_process_command

    server = FTPServer((args.host, args.port), Handler)
    signal.signal(signal.SIGTERM, lambda *_: server.close_all() or sys.exit(0))
    print(server.socket.getsockname()[1], flush=True)
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()
