#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
"""Starts Tavlo on Qt's vnc platform, which has no window manager, and reads
what it draws through a small RFB client: the main window's title strip, the
editor's strip with OK and the close button, a note saved by tapping OK and
an editor closed by tapping the close button, touch (pointer) alone.

    deviceScreen.py [--png DIR] TAVLO...

TAVLO... is the command that starts Tavlo (an emulator and the program, in a
cross build). --png keeps pictures of what was drawn in DIR.

The vnc plugin listens on every interface, so the run happens in a private
network namespace (unshare -n) with only the loopback interface up. Without
root or unshare the check is skipped (exit code 77) with its reason.
"""

import math
import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SKIP = 77
WIDTH, HEIGHT = 800, 480
WIDTH_MM, HEIGHT_MM = 109, 65  # a 5-inch screen
PORT = 5900
DEADLINE = 30  # seconds for anything to happen before the check fails
XK_CONTROL_L, XK_N = 0xFFE3, 0x006E


class Failure(Exception):
    pass


def skip(reason):
    # In the form QtTest uses, so that a list of skipped tests finds it.
    print("SKIP   : deviceScreen: " + reason)
    sys.exit(SKIP)


class Rfb:
    """The least of the RFB protocol (3.3 or 3.8, no security, raw pixels)."""

    def __init__(self, sock):
        self.sock = sock
        version = self.read(12)
        if not version.startswith(b"RFB 003."):
            raise Failure("not an RFB server: %r" % version)
        if version == b"RFB 003.003\n":
            # The server names the one security type it takes.
            sock.sendall(version)
            if struct.unpack(">I", self.read(4))[0] != 1:
                raise Failure("server wants a password")
        else:
            sock.sendall(b"RFB 003.008\n")
            count = self.read(1)[0]
            if count == 0:
                raise Failure("server refused: %r" % self.read_string())
            if 1 not in self.read(count):
                raise Failure("server wants a password")
            sock.sendall(b"\x01")
            if struct.unpack(">I", self.read(4))[0] != 0:
                raise Failure("security handshake failed")
        sock.sendall(b"\x01")  # shared
        self.width, self.height = struct.unpack(">HH", self.read(4))
        self.read(16)  # the server's pixel format
        self.read_string()  # desktop name
        # 32-bit little-endian true colour, red in bits 16-23.
        sock.sendall(struct.pack(">B3xBBBBHHHBBB3x", 0, 32, 24, 0, 1, 255, 255, 255, 16, 8, 0))
        # Raw pixels, and the pointer apart from them so it hides nothing.
        sock.sendall(struct.pack(">BxHii", 2, 2, 0, -239))
        self.pixels = bytearray(self.width * self.height * 4)

    def read(self, size):
        data = bytearray()
        while len(data) < size:
            chunk = self.sock.recv(size - len(data))
            if not chunk:
                raise Failure("server closed the connection")
            data += chunk
        return bytes(data)

    def read_string(self):
        return self.read(struct.unpack(">I", self.read(4))[0])

    def frame(self):
        """Asks for the whole screen and returns once it has come."""
        self.sock.sendall(struct.pack(">BBHHHH", 3, 0, 0, 0, self.width, self.height))
        while True:
            kind = self.read(1)[0]
            if kind == 0:
                break
            if kind == 2:  # bell
                continue
            if kind == 3:  # cut text
                self.read(3)
                self.read_string()
                continue
            raise Failure("unexpected server message %d" % kind)
        self.read(1)
        (rects,) = struct.unpack(">H", self.read(2))
        for _ in range(rects):
            x, y, w, h, encoding = struct.unpack(">HHHHi", self.read(12))
            if encoding == -239:
                self.read(w * h * 4 + (w + 7) // 8 * h)
                continue
            if encoding != 0:
                raise Failure("unexpected encoding %d" % encoding)
            data = self.read(w * h * 4)
            for row in range(h):
                start = ((y + row) * self.width + x) * 4
                self.pixels[start : start + w * 4] = data[row * w * 4 : (row + 1) * w * 4]

    def pixel(self, x, y):
        b, g, r, _ = self.pixels[(y * self.width + x) * 4 : (y * self.width + x) * 4 + 4]
        return (r, g, b)

    def key(self, keysym, down):
        self.sock.sendall(struct.pack(">BBxxI", 4, 1 if down else 0, keysym))

    def keys(self, *keysyms):
        for keysym in keysyms:
            self.key(keysym, True)
        for keysym in reversed(keysyms):
            self.key(keysym, False)

    def tap(self, x, y):
        self.sock.sendall(struct.pack(">BBHH", 5, 0, x, y))
        self.sock.sendall(struct.pack(">BBHH", 5, 1, x, y))
        self.sock.sendall(struct.pack(">BBHH", 5, 0, x, y))

    def png(self, path):
        rows = b"".join(
            b"\x00"
            + bytes(
                channel
                for x in range(self.width)
                for channel in self.pixel(x, y)
            )
            for y in range(self.height)
        )

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header))
            out.write(chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def wait_for(what, condition, rfb=None):
    """Fetches frames (when given a client) until the condition holds."""
    end = time.monotonic() + DEADLINE
    while True:
        if rfb:
            rfb.frame()
        if condition():
            return
        if time.monotonic() > end:
            raise Failure("gave up waiting for " + what)
        time.sleep(0.05)


def connect(tavlo):
    end = time.monotonic() + DEADLINE
    while True:
        if tavlo.poll() is not None:
            raise Failure("Tavlo ended with %d before serving VNC" % tavlo.returncode)
        try:
            return socket.create_connection(("127.0.0.1", PORT), timeout=DEADLINE)
        except OSError:
            if time.monotonic() > end:
                raise Failure("nothing listens on port %d" % PORT)
            time.sleep(0.05)


def strip_height(rfb):
    """Rows from the top whose left end has the strip's colour."""
    colour = rfb.pixel(1, 1)
    height = 0
    while height < rfb.height and rfb.pixel(1, height) == colour:
        height += 1
    return height, colour


def check(tavlo, rfb, notes, png_dir):
    fingertip = math.ceil(7 * rfb.width / WIDTH_MM)
    band = [0, None]

    def main_window_strip():
        band[:] = strip_height(rfb)
        height, colour = band
        if not fingertip <= height < rfb.height // 3:
            return False
        # The title's letters are drawn in it, and at its end one button
        # (Find), where the editor has two (OK and close).
        letters = {rfb.pixel(x, height // 2) for x in range(0, rfb.width // 4)}
        return (len(letters) > 2 and rfb.pixel(rfb.width - 3, 3) != colour
                and rfb.pixel(rfb.width - 2 * height + 3, 3) == colour)

    wait_for("the main window's title strip", main_window_strip, rfb)
    height, colour = band
    print("strip %d px high (a fingertip is %d px), colour %s" % (height, fingertip, colour))
    if rfb.pixel(1, height) == colour:
        raise Failure("the strip runs into the window")
    if png_dir:
        rfb.png(os.path.join(png_dir, "device-main-window.png"))

    def editor_buttons():
        return (
            strip_height(rfb) == (height, colour)
            and rfb.pixel(rfb.width - 3, 3) != colour  # close
            and rfb.pixel(rfb.width - height - 3, 3) != colour  # OK
            and rfb.pixel(rfb.width - 2 * height + 3, 3) != colour  # OK's left end
        )

    # New from the keyboard; everything after by touch.
    rfb.keys(XK_CONTROL_L, XK_N)
    wait_for("the editor's OK and close buttons", editor_buttons, rfb)
    before = bytes(rfb.pixels)
    rfb.keys(ord("h"))
    rfb.keys(ord("i"))
    wait_for("the typed text", lambda: rfb.frame() or rfb.pixels != before)
    if png_dir:
        rfb.png(os.path.join(png_dir, "device-editor.png"))
    rfb.tap(rfb.width - height - height // 2, height // 2)  # OK
    wait_for("a note saved by OK", lambda: os.listdir(notes))
    wait_for("the main window again", main_window_strip, rfb)
    (saved,) = os.listdir(notes)
    with open(os.path.join(notes, saved), "rb") as note:
        if note.read() != b"hi":
            raise Failure("the saved note does not hold the typed text")

    rfb.keys(XK_CONTROL_L, XK_N)
    wait_for("the editor again", editor_buttons, rfb)
    rfb.tap(rfb.width - height // 2, height // 2)  # close
    wait_for("the main window after close", main_window_strip, rfb)
    if os.listdir(notes) != [saved]:
        raise Failure("close saved something: %s" % os.listdir(notes))
    if tavlo.poll() is not None:
        raise Failure("Tavlo ended with %d" % tavlo.returncode)


def run(command, png_dir):
    subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
    with tempfile.TemporaryDirectory() as scratch:
        notes = os.path.join(scratch, "Documents", "text")
        os.makedirs(notes)
        runtime = os.path.join(scratch, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ)
        env.update(
            QT_QPA_PLATFORM="vnc:size=%dx%d:mmsize=%dx%d:port=%d"
            % (WIDTH, HEIGHT, WIDTH_MM, HEIGHT_MM, PORT),
            XDG_RUNTIME_DIR=runtime,
            # Left to right, whatever language the machine speaks.
            LANGUAGE="en",
        )
        tavlo = subprocess.Popen(command, cwd=scratch, env=env)
        try:
            with connect(tavlo) as sock:
                check(tavlo, Rfb(sock), notes, png_dir)
        finally:
            tavlo.send_signal(signal.SIGTERM)
            try:
                tavlo.wait(DEADLINE)
            except subprocess.TimeoutExpired:
                tavlo.kill()
                tavlo.wait()


def main():
    args = sys.argv[1:]
    png_dir = None
    if args[:1] == ["--png"] and len(args) > 1:
        png_dir = os.path.abspath(args[1])
        args = args[2:]
    if not args or args[0].startswith("-"):
        sys.exit(__doc__)
    command = [os.path.abspath(arg) if os.path.exists(arg) else arg for arg in args]
    if os.environ.get("TAVLO_IN_NAMESPACE") != "1":
        if os.geteuid() != 0:
            skip("needs root for a private network namespace")
        if not shutil.which("unshare") or not shutil.which("ip"):
            skip("needs unshare and ip for a private network namespace")
        probe = subprocess.run(["unshare", "-n", "true"], capture_output=True)
        if probe.returncode != 0:
            skip("unshare -n fails here: " + probe.stderr.decode(errors="replace").strip())
        env = dict(os.environ, TAVLO_IN_NAMESPACE="1")
        sys.exit(subprocess.run(["unshare", "-n", sys.executable] + sys.argv, env=env).returncode)
    try:
        run(command, png_dir)
    except Failure as failure:
        print("FAIL: %s" % failure)
        sys.exit(1)
    print("PASS: the strip is drawn, OK saves and close rejects by touch")


if __name__ == "__main__":
    main()
