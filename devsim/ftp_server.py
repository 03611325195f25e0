#!/usr/bin/python3
"""A real FTP server over a folder: pyftpdlib on a loopback port, one virtual user. Or over many devices' folders
at once, each on an address of its own and the same port, in one process.

Prints the port it listens on as its first line, then serves until it is terminated. With --commands, a line
"restart ADDRESS" on standard input restarts the device on that address as a device restarts: its connections
end and new ones are refused for a while.
"""
import argparse
import collections
import os
import resource
import signal
import socket
import struct
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.ioloop import IOLoop
from pyftpdlib.servers import FTPServer


class LinkDirection:
    """One direction of one connection over the simulated link.

    What goes in comes out in order: first at the rate (each item waits for those before it), then the one-way
    delay later, and never before the hold (a new connection, whose handshake a real link delays).
    """

    def __init__(self, ioloop, delay, rate, deliver, hold=0.0):
        self.ioloop = ioloop
        self.delay = delay
        self.rate = rate  # bytes per second, 0 = no limit
        self.deliver = deliver
        self.line_free = 0.0
        self.hold_until = time.monotonic() + hold
        self.in_flight = collections.deque()
        self.timer = None

    def send(self, item, size):
        now = time.monotonic()
        self.line_free = max(now, self.line_free) + (size / self.rate if self.rate else 0.0)
        self.in_flight.append((max(self.line_free + self.delay, self.hold_until), item))
        if self.timer is None:
            self._arm()

    def clear(self):
        if self.timer is not None:
            self.timer.cancel()
            self.timer = None
        self.in_flight.clear()

    def _arm(self):
        wait = self.in_flight[0][0] - time.monotonic()
        self.timer = self.ioloop.call_later(max(0.0, wait), self._deliver_due)

    def _deliver_due(self):
        self.timer = None
        while self.in_flight and self.in_flight[0][0] <= time.monotonic():
            self.deliver(self.in_flight.popleft()[1])
        if self.in_flight and self.timer is None:
            self._arm()


def make_dtp_handler(rate, stall_after, link_delay, link_rate):
    """Data connections. Without a link, --rate throttles them as pyftpdlib does; over a link each data
    connection gets its own pacing at the smaller of the two rates, and the end of an upload reaches the server
    the one-way delay after its last byte."""
    linked = bool(link_delay or link_rate)
    rates = [r for r in (rate, link_rate) if r]
    pace = min(rates) if linked and rates else 0

    class DataHandler(ThrottledDTPHandler):
        read_limit = 0 if linked else rate
        write_limit = 0 if linked else rate
        if linked:
            # Small reads keep the pacing smooth.
            ac_in_buffer_size = 8192
            ac_out_buffer_size = 8192

        def __init__(self, sock, cmd_channel):
            super().__init__(sock, cmd_channel)
            self.moved = 0
            self.stalled = False
            self.line_free = 0.0
            self.end_on_the_way = False

        def count(self, moved):
            self.moved += moved
            # Once stalled, the data connection stays open and is never served again.
            if stall_after is not None and self.moved >= stall_after and self.connected:
                self.stalled = True
                self.del_channel()
            elif pace and moved:
                self.pace(moved)

        def pace(self, moved):
            now = time.monotonic()
            self.line_free = max(now, self.line_free) + moved / pace
            if self.line_free > now:
                self.del_channel()
                self.ioloop.call_later(self.line_free - now, self.resume, _errback=self.handle_error)

        def resume(self):
            if not self._closed and not self.stalled and not self.end_on_the_way:
                self.modify_ioloop_events(self.ioloop.READ if self.receive else self.ioloop.WRITE)

        def recv(self, buffer_size):
            chunk = super().recv(buffer_size)
            self.count(len(chunk))
            return chunk

        def send(self, data):
            sent = super().send(data)
            self.count(sent)
            return sent

        def handle_close(self):
            if not linked or not self.receive or self._closed:
                return super().handle_close()
            if self.end_on_the_way:
                return None
            # The client's last bytes and the end of the file are still on the way to the device.
            self.end_on_the_way = True
            self.del_channel()
            wait = max(0.0, self.line_free - time.monotonic()) + link_delay
            self.ioloop.call_later(wait, super().handle_close, _errback=self.handle_error)
            return None

    return DataHandler


def add_link(handler, delay, rate):
    """The control connection over the simulated link: each command reaches the server, and each reply the
    client, the one-way delay later and no faster than the rate. The handshake of a new connection is held as a
    real link holds it: the server sees the connection three one-way delays after the client's connect returned,
    and the greeting arrives one more later."""

    class LinkedHandler(handler):
        def __init__(self, conn, server, ioloop=None):
            self._from_client = None
            self._to_client = None
            super().__init__(conn, server, ioloop)
            self._from_client = LinkDirection(self.ioloop, delay, rate, self._take_line, hold=3 * delay)
            self._to_client = LinkDirection(self.ioloop, delay, rate, self._put_reply, hold=4 * delay)

        def found_terminator(self):
            line = b"".join(self._in_buffer)
            self._in_buffer = []
            self._in_buffer_len = 0
            self._from_client.send(line, len(line) + 2)

        def _take_line(self, line):
            if self._closed:
                return
            self._in_buffer = [line]
            self._in_buffer_len = len(line)
            handler.found_terminator(self)

        def push(self, s):
            if self._to_client is None:
                return handler.push(self, s)
            self._to_client.send(s, len(s))
            return None

        def _put_reply(self, s):
            if self._closed:
                return
            if s is None:
                handler.close_when_done(self)
            else:
                handler.push(self, s)

        def close_when_done(self):
            # Only once the replies before it have arrived.
            if self._to_client is None:
                return handler.close_when_done(self)
            self._to_client.send(None, 0)
            return None

        def close(self):
            for direction in (self._from_client, self._to_client):
                if direction is not None:
                    direction.clear()
            handler.close(self)

    return LinkedHandler


def reset(channel):
    """Ends a connection with a TCP reset, as a device whose network stack went away leaves it."""
    try:
        channel.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    except OSError:
        pass
    channel.close()


def add_after_store(handler, what):
    """The control connection after a stored file, as some devices end it: "close" says 421 and closes it at
    once, as a short idle timeout does; "reset" answers the next command on it with a TCP reset, as a device that
    restarted in between does."""

    class AfterStoreHandler(handler):
        reset_pending = False

        def on_file_received(self, file):
            handler.on_file_received(self, file)
            if what == "close":
                self.respond("421 Closing the control connection.")
                self.close_when_done()
            else:
                self.reset_pending = True

        def pre_process_command(self, line, cmd, arg):
            if not self.reset_pending:
                return handler.pre_process_command(self, line, cmd, arg)
            reset(self)
            return None

    return AfterStoreHandler


class DeviceRestart:
    """One device restarting: every connection it had ends with a reset, and for the restart time a new control
    connection to it is reset before its greeting. The time counts from the command; the service comes back a
    little before the console that sent it, so that a client that waits for the console finds it."""

    EARLY = 0.1

    def __init__(self, seconds):
        self.seconds = max(0.0, seconds - self.EARLY)
        self.until = 0.0
        self.server = None

    def restart(self):
        self.until = time.monotonic() + self.seconds
        channels = self.server.ioloop.socket_map
        for fd, channel in list(channels.items()):
            # A data connection belongs to its control connection; ending a control connection ends its data
            # connections with it.
            owner = getattr(channel, "cmd_channel", channel)
            if getattr(owner, "server", None) is self.server and channels.get(fd) is channel:
                reset(channel)

    def wrap(self, handler):
        restart = self

        class RestartingHandler(handler):
            def handle(self):
                if time.monotonic() < restart.until:
                    reset(self)
                    return
                handler.handle(self)

        return RestartingHandler


def restart_command(restarts):
    """A line "restart ADDRESS": the device on that address restarts."""

    def take(line):
        words = line.split()
        restart = restarts.get(words[1]) if len(words) == 2 and words[0] == "restart" else None
        if restart is None:
            print("unknown command: " + line, file=sys.stderr, flush=True)
            return
        restart.restart()

    return take


class CommandReader:
    """Lines on standard input, in the server's loop."""

    def __init__(self, ioloop, take_line):
        self.ioloop = ioloop
        self.take_line = take_line
        self.partial = b""
        self._fileno = sys.stdin.fileno()
        ioloop.register(self._fileno, self, ioloop.READ)

    def readable(self):
        return True

    def writable(self):
        return False

    def handle_read_event(self):
        data = os.read(self._fileno, 4096)
        if not data:
            self.close()
            return
        *lines, self.partial = (self.partial + data).split(b"\n")
        for line in lines:
            self.take_line(line.decode("utf-8", "replace").strip())

    def handle_close(self):
        self.close()

    def handle_error(self):
        self.close()

    def close(self):
        self.ioloop.unregister(self._fileno)


def device_text(text):
    """The text as the device holds it, in code page 932, in the form a command line of those bytes takes here
    (read as UTF-8 with surrogate escapes). Text that code page 932 cannot hold stays as it is."""
    try:
        return text.encode("cp932").decode("utf-8", "surrogateescape")
    except UnicodeEncodeError:
        return text


def make_handler(args, root, restart, log):
    """The handler of one device's control connections: its own user over its own folder."""
    link_delay = args.link_delay / 1000.0
    link_rate = args.link_rate * 1000 // 8
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, device_text(args.password), root, perm="elradfmwMT")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.dtp_handler = make_dtp_handler(args.rate, args.stall_after, link_delay, link_rate)
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
    if args.after_store:
        Handler = add_after_store(Handler, args.after_store)
    if log is not None:
        def pre_process_command(self, line, cmd, arg, _log=log, _orig=Handler.pre_process_command):
            _log.write(line + "\n")
            return _orig(self, line, cmd, arg)

        Handler.pre_process_command = pre_process_command
    if link_delay or link_rate:
        Handler = add_link(Handler, link_delay, link_rate)
    return restart.wrap(Handler)


def raise_open_file_limit():
    """A thousand devices hold a few thousand sockets: as many as the system lets this process have."""
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    if hard == resource.RLIM_INFINITY or soft < hard:
        resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", help="the folder of the one device on --host")
    parser.add_argument("--device", nargs=2, action="append", default=[], metavar=("ADDRESS", "ROOT"),
                        help="a device on its own address with its own folder, instead of --host and --root; "
                             "may be given many times")
    parser.add_argument("--commands", action="store_true",
                        help="read \"restart ADDRESS\" lines on standard input: that device restarts")
    parser.add_argument("--user", default="user")
    # A real password comes through the environment: the arguments of a process are visible to every user.
    parser.add_argument("--password", default=os.environ.get("TESSEL_FTP_PASSWORD", "secret"))
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0,
                        help="port to listen on, 0 = any free port (the first device's, taken by all)")
    parser.add_argument("--rate", type=int, default=0, help="bytes per second on data connections, 0 = unlimited")
    parser.add_argument("--stall-after", type=int, default=None, help="stop moving data after this many bytes")
    parser.add_argument("--log", default=None, help="file that receives the commands the server sees")
    parser.add_argument("--no-epsv", action="store_true", help="refuse EPSV, so that clients fall back to PASV")
    parser.add_argument("--pasv-reply", default=None, help="answer every PASV with 227 and this text")
    parser.add_argument("--multiline", action="store_true", help="greet and confirm the login in multi-line replies")
    parser.add_argument("--after-store", choices=("close", "reset"), default=None,
                        help="after a stored file, close the control connection, or reset it at its next command")
    parser.add_argument("--restart-time", type=int, default=3000,
                        help="ms after a restart during which new connections to the device are reset")
    parser.add_argument("--link-delay", type=int, default=0,
                        help="one-way delay in ms of a simulated link, on every connection and direction")
    parser.add_argument("--link-rate", type=int, default=0,
                        help="kbit/s of a simulated link in each direction of each connection, 0 = unlimited")
    args = parser.parse_args()
    if not 0 <= args.restart_time <= 3600000:
        parser.error("--restart-time takes 0 to 3600000 ms")
    if not 0 <= args.link_delay <= 10000 or not 0 <= args.link_rate <= 10000000:
        parser.error("--link-delay takes 0 to 10000 ms, --link-rate 0 to 10000000 kbit/s")
    if bool(args.root) == bool(args.device):
        parser.error("give either --root or --device")
    devices = args.device or [(args.host, args.root)]
    if len({address for address, _ in devices}) != len(devices):
        parser.error("each --device needs an address of its own")
    raise_open_file_limit()

    log = None
    if args.log:
        log = open(args.log, "a", buffering=1, encoding="utf-8", errors="surrogateescape")
    ioloop = IOLoop.instance()
    restarts = {}
    port = args.port
    servers = []
    for address, root in devices:
        restart = DeviceRestart(args.restart_time / 1000.0)
        server = FTPServer((address, port), make_handler(args, root, restart, log), ioloop=ioloop)
        # The connection limit counts every socket of the loop, those of the other devices too.
        if len(devices) > 1:
            server.max_cons = 0
        restart.server = server
        restarts[address] = restart
        servers.append(server)
        port = server.socket.getsockname()[1]
    if args.commands:
        CommandReader(ioloop, restart_command(restarts))
    signal.signal(signal.SIGTERM, lambda *_: servers[0].close_all() or sys.exit(0))
    print(port, flush=True)
    servers[0].serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()
