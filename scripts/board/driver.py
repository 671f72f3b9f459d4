#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
"""Boots the emulated board and plays the scenarios on it, as a person would.

scripts/board.sh runs it. It starts qemu with the command after "--", reads
the board's serial line (a root shell, and the boot messages) and drives the
board over QMP: touches and drags through the absolute pointer, and keys
through a keyboard where the board has one (text is typed on the on-screen
keyboard's keys, touched like any control). Before every step it waits until
the board's screen shows what tools/boardScenes.cpp recorded for that point
of the scenarios ("snap"), by taking screendumps until one matches; the same
recording says where to touch, and holds the steps as the tool read them from
the scenario file (steps.json). After a drag ("look") the screen is not
compared: a row is found on it by its picture.
The board's notes are compared through the serial shell with what each check
step of the recording says they must be: the tool made the checks on the
host's notes.

  driver.py [--wake-pointer] [--start-up UNIT=PICTURE]... EXPECTED_DIR RESULTS_DIR WORK_DIR COMPARE... -- QEMU...

COMPARE is the command that compares a screendump with a recorded picture
(tavloBoardScenes compare). With --start-up, once the scenarios have passed,
each UNIT (a systemd unit on the board that starts Tavlo) is started
START_UP_ROUNDS times in turn with the others, the screen cleared before,
and the time from the start to the first screendump that shows PICTURE
is printed, with the median of each. UNIT may be FIRST+UNIT: FIRST is
started and waited for before the time starts (a compositor that Tavlo's
unit joins as a client). With --wake-pointer, the pointer is
moved once before the first touch, which a compositor that gives its seat a
pointer only at the pointer's first event needs. Exits 0 when every scenario
passed.
"""

import base64
import json
import os
import re
import shlex
import socket
import subprocess
import sys
import threading
import time

BOOT_SECONDS = 300  # boot to the first screen, under TCG on a busy machine
STEP_SECONDS = 90  # any later screen
SHELL_SECONDS = 60  # a command on the serial shell
INPUT_SECONDS = 10  # a touch or key to show on the screen
# A space typed on the on-screen keyboard may show as no more than the text
# cursor moving by a few pixels, which cannot be told from its blinking: a
# key's touch is not waited for as long.
KEY_SECONDS = 3
SETTLE_SECONDS = 0.15  # the screen unchanged this long counts as at rest
TAP_SECONDS = 0.05  # a finger rests this long on the screen in a tap
NOTES = "/home/tavlo/Documents/text"
START_UP_ROUNDS = 3


class Failure(Exception):
    pass


def log(message):
    print("board: " + message, flush=True)


class Serial:
    """The board's serial line: everything it prints goes to the log, and
    commands run on its root shell."""

    def __init__(self, path, log_path):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.log = open(log_path, "ab")
        self.text = ""
        self.cond = threading.Condition()
        self.counter = 0
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        while True:
            data = self.sock.recv(4096)
            if not data:
                return
            self.log.write(data)
            self.log.flush()
            with self.cond:
                self.text += data.decode("utf-8", "replace").replace("\r", "")
                self.cond.notify_all()

    def wait_for(self, pattern, seconds, start=0):
        """Waits until the text from `start` on matches; returns the match."""
        regex = re.compile(pattern, re.M | re.S)
        deadline = time.monotonic() + seconds
        with self.cond:
            while True:
                match = regex.search(self.text, start)
                if match:
                    return match
                left = deadline - time.monotonic()
                if left <= 0:
                    raise Failure("the serial line never showed %r" % pattern)
                self.cond.wait(left)

    def run(self, command):
        """Runs a shell command on the board; returns its output."""
        self.counter += 1
        n = self.counter
        with self.cond:
            start = len(self.text)
        # The markers are printed by printf, so the echo of the command line
        # itself never matches them.
        line = "printf '@@%%s\\n' B%d; %s; printf '@@E%d:%%s\\n' $?\n" % (n, command, n)
        self.sock.sendall(line.encode())
        # The shell's prompt may stand before a marker.
        match = self.wait_for(r"@@B%d\n(.*?)@@E%d:(\d+)\n" % (n, n), SHELL_SECONDS, start)
        if match.group(2) != "0":
            raise Failure("%r failed on the board (%s): %s" % (command, match.group(2), match.group(1)))
        return match.group(1)


class Qmp:
    """The emulator's control socket."""

    def __init__(self, path):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.file = self.sock.makefile("rb")
        self._reply()  # the greeting
        self.execute("qmp_capabilities")

    def _reply(self):
        while True:
            line = self.file.readline()
            if not line:
                raise Failure("the emulator closed its control socket")
            message = json.loads(line)
            if "event" not in message:
                return message

    def execute(self, command, **arguments):
        request = {"execute": command}
        if arguments:
            request["arguments"] = arguments
        self.sock.sendall(json.dumps(request).encode() + b"\n")
        reply = self._reply()
        if "error" in reply:
            raise Failure("%s: %s" % (command, reply["error"].get("desc")))
        return reply.get("return")


# Keys by the text they type: qcodes, with shift where needed.
QCODES = {" ": "spc", ".": "dot", ",": "comma", "-": "minus", "/": "slash", ";": "semicolon",
          "'": "apostrophe", "=": "equal", "\n": "ret"}
SHIFTED = {":": "semicolon", "?": "slash", "!": "1", "(": "9", ")": "0", "_": "minus",
           '"': "apostrophe", "+": "equal"}
NAMED_KEYS = {"return": "ret", "enter": "kp_enter", "escape": "esc", "esc": "esc", "tab": "tab",
              "delete": "delete", "del": "delete", "backspace": "backspace", "space": "spc",
              "ctrl": "ctrl", "shift": "shift", "alt": "alt", "up": "up", "down": "down",
              "left": "left", "right": "right"}


def keys_of_char(char):
    if char.isascii() and char.isalnum():
        return ["shift", char.lower()] if char.isupper() else [char]
    if char in QCODES:
        return [QCODES[char]]
    if char in SHIFTED:
        return ["shift", SHIFTED[char]]
    raise Failure("no key types %r" % char)


def keys_of_combination(text):
    keys = []
    for part in text.split("+"):
        name = part.strip().lower()
        keys.append(NAMED_KEYS.get(name, name))
    return keys


class Board:
    def __init__(self, args):
        self.start_ups = []
        self.wake_pointer = False
        while args[0] in ("--start-up", "--wake-pointer"):
            if args[0] == "--wake-pointer":
                self.wake_pointer = True
                args = args[1:]
            else:
                unit, _, picture = args[1].partition("=")
                self.start_ups.append((unit, picture))
                args = args[2:]
        (self.expected, self.results, self.work) = args[:3]
        split = args.index("--")
        self.compare = args[3:split]
        self.qemu_command = args[split + 1:]
        self.screen = None
        self.places = {}
        self.known = set()
        self.last_new = None
        self.dumps = 0
        self.looked = None

    # --- starting and stopping ---------------------------------------------

    def start(self):
        self.started = time.monotonic()
        log("starting: " + " ".join(shlex.quote(a) for a in self.qemu_command))
        self.process = subprocess.Popen(self.qemu_command, stdin=subprocess.DEVNULL,
                                        stdout=open(os.path.join(self.results, "qemu.log"), "wb"),
                                        stderr=subprocess.STDOUT)
        qmp_path = os.path.join(self.work, "qmp.sock")
        serial_path = os.path.join(self.work, "serial.sock")
        deadline = time.monotonic() + 30
        while not (os.path.exists(qmp_path) and os.path.exists(serial_path)):
            if self.process.poll() is not None or time.monotonic() > deadline:
                raise Failure("the emulator did not start; see qemu.log")
            time.sleep(0.1)
        self.serial = Serial(serial_path, os.path.join(self.results, "serial.log"))
        self.qmp = Qmp(qmp_path)
        self.qmp.execute("cont")

    def stop(self):
        try:
            if hasattr(self, "serial"):
                try:
                    journal = self.serial.run("journalctl -b --no-pager -o short-monotonic -u tavlo -u tavlo-weston")
                    with open(os.path.join(self.results, "tavlo.log"), "w") as out:
                        out.write(journal)
                    with open(os.path.join(self.results, "boot.log"), "w") as out:
                        out.write(self.serial.run("journalctl -b --no-pager -o short-monotonic"))
                    # The notes were written with fsync; this is for the log.
                    self.serial.run("sync")
                except Failure as failure:
                    log("could not collect the board's log: %s" % failure)
            if hasattr(self, "qmp"):
                self.qmp.execute("quit")
        except (Failure, OSError) as failure:
            log("stopping: %s" % failure)
        finally:
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    # --- the screen -----------------------------------------------------------

    def wait_for_screen(self, name, seconds):
        expected = os.path.join(self.expected, name + ".png")
        shown = os.path.join(self.results, name + ".png")
        dump = os.path.join(self.work, "screen.ppm")
        deadline = time.monotonic() + seconds
        began = time.monotonic()
        while True:
            if self.process.poll() is not None:
                raise Failure("the emulator stopped; see qemu.log")
            self.qmp.execute("screendump", filename=dump)
            self.dumps += 1
            result = subprocess.run(self.compare + [expected, dump, shown],
                                    capture_output=True, text=True)
            if result.returncode == 0:
                log("%s after %.1f s: %s" % (name, time.monotonic() - began, result.stdout.strip()))
                break
            if time.monotonic() > deadline:
                raise Failure("the screen never showed %s: %s%s (see %s)"
                              % (name, result.stdout.strip(), result.stderr.strip(), shown))
            time.sleep(0.5)
        with open(os.path.join(self.expected, name + ".json")) as places:
            self.places = json.load(places)
        self.screen = name

    def finger_at(self, px, py):
        size_x, size_y = self.screen_size
        # The tablet's axes run from 0 to 0x7fff across the screen.
        self.qmp.execute("input-send-event", events=[
            {"type": "abs", "data": {"axis": "x", "value": px * 0x7FFF // (size_x - 1)}},
            {"type": "abs", "data": {"axis": "y", "value": py * 0x7FFF // (size_y - 1)}}])

    def finger(self, down):
        self.qmp.execute("input-send-event", events=[
            {"type": "btn", "data": {"down": down, "button": "left"}}])

    def tap(self, control):
        if control not in self.places:
            raise Failure("no %s on the screen %s; there are %s"
                          % (control, self.screen, ", ".join(sorted(self.places))))
        x, y, width, height = self.places[control]
        if self.looked:
            y += self.find(control)
        px, py = x + width // 2, y + height // 2

        def touch():
            self.finger_at(px, py)
            self.finger(True)
            time.sleep(TAP_SECONDS)
            self.finger(False)
        self.until_shown(touch, "a touch on " + control,
                         KEY_SECONDS if control.startswith("key:") else INPUT_SECONDS)

    def find(self, control):
        """Where a control the host saw after a drag is on the board's screen:
        its offset up or down, found by its picture."""
        dump = os.path.join(self.work, "found.ppm")
        self.qmp.execute("screendump", filename=dump)
        self.dumps += 1
        x, y, width, height = self.places[control]
        result = subprocess.run([self.compare[0], "find",
                                 os.path.join(self.expected, self.looked + ".png"),
                                 "%d,%d,%d,%d" % (x, y, width, height), dump],
                                capture_output=True, text=True)
        if result.returncode != 0:
            raise Failure("%s is not on the screen: %s%s"
                          % (control, result.stdout.strip(), result.stderr.strip()))
        log("%s found %s px from where the host had it" % (control, result.stdout.strip()))
        return int(result.stdout.strip())

    def drag(self, argument):
        """Drags as the host did, as often, and waits for the list to rest."""
        row = argument.partition(" ")[2]
        with open(os.path.join(self.expected, "drag-%s.json" % row)) as recorded:
            drag = json.load(recorded)
        for _ in range(drag["count"]):
            self.finger_at(drag["x"], drag["from"])
            self.finger(True)
            y = drag["from"]
            while y > drag["to"]:
                y = max(drag["to"], y - drag["step"])
                time.sleep(drag["stepMs"] / 1000)
                self.finger_at(drag["x"], y)
            time.sleep(drag["restMs"] / 1000)
            self.finger(False)
            self.until_still()
        log("dragged %d times" % drag["count"])

    def dump(self):
        path = os.path.join(self.work, "typing.ppm")
        self.qmp.execute("screendump", filename=path)
        self.dumps += 1
        with open(path, "rb") as picture:
            return picture.read()

    @staticmethod
    def beyond_cursor(before, after):
        """Whether two screendumps differ by more than the text cursor
        blinking: in more than a column two pixels wide."""
        if before == after or len(before) != len(after):
            return before != after
        # A binary PPM: "P6\nWIDTH HEIGHT\n255\n", then three bytes a pixel.
        header = before.split(b"\n", 3)
        width = int(header[1].split()[0])
        start = len(before) - len(header[3])
        row = width * 3
        left, right = width, -1
        for offset in range(start, len(before), row):
            a, b = before[offset:offset + row], after[offset:offset + row]
            if a == b:
                continue
            first = next(i for i in range(row) if a[i] != b[i]) // 3
            last = next(i for i in range(row - 1, -1, -1) if a[i] != b[i]) // 3
            left, right = min(left, first), max(right, last)
            if right - left > 1:
                return True
        return False

    def until_still(self, seconds=0.5):
        """Waits until the screen stays the same, but for the text cursor,
        for a moment, and returns it: what the last input set going (a key's
        highlight fading, a list gliding on after a drag) has finished."""
        deadline = time.monotonic() + STEP_SECONDS
        before = self.dump()
        while time.monotonic() < deadline:
            time.sleep(seconds)
            after = self.dump()
            if not self.beyond_cursor(before, after):
                return after
            before = after
        raise Failure("the screen never came to rest")

    def until_shown(self, action, what, seconds=INPUT_SECONDS):
        """Does an input action on a settled screen and waits until the
        screen shows that it arrived: the board's input devices drop events
        that come faster than the board takes them, and a change still
        under way from the input before would look like this one's."""
        before = self.until_still(SETTLE_SECONDS)
        action()
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if self.beyond_cursor(before, self.dump()):
                return
            time.sleep(0.1)
        log("no change on the screen after %s" % what)

    def press(self, keys):
        self.until_shown(
            lambda: self.qmp.execute("send-key", keys=[{"type": "qcode", "data": k} for k in keys]),
            "+".join(keys))

    # --- the board's notes ----------------------------------------------------

    @staticmethod
    def output_lines(text):
        """The lines a command printed, without the status lines systemd and
        the kernel may write to the same console meanwhile."""
        return [line for line in text.splitlines()
                if line and not line.startswith("[") and "\x1b" not in line]

    def note_names(self):
        return set(self.output_lines(self.serial.run("ls -1A %s" % NOTES)))

    def note_bytes(self, name):
        lines = self.output_lines(self.serial.run("base64 -w0 %s/%s; echo" % (NOTES, shlex.quote(name))))
        return base64.b64decode(lines[0] if lines else "")

    def check(self, expect):
        """The board's notes against what the same check found on the host:
        a note holding exactly some bytes, the one note added since the last
        check holding them, or a note gone (None: the one last added)."""
        names = self.note_names()
        kind, name = expect["kind"], expect.get("name")
        if kind == "added":
            added = names - self.known
            if len(added) != 1:
                raise Failure("expected one new note, found %s" % sorted(added))
            (name,) = added
            self.last_new = name
        if kind == "absent":
            name = name or self.last_new
            if name in names:
                raise Failure("%s is still in the note directory" % name)
            log("%s is gone" % name)
        else:
            want = base64.b64decode(expect["bytes"])
            got = self.note_bytes(name)
            if got != want:
                raise Failure("%s holds %r, not %r" % (name, got, want))
            log("%s holds exactly %r" % (name, got))
        self.known = names

    # --- start-up -------------------------------------------------------------

    def shows(self, picture):
        dump = os.path.join(self.work, "start-up.ppm")
        self.qmp.execute("screendump", filename=dump)
        self.dumps += 1
        return subprocess.run(self.compare + [picture, dump, os.path.join(self.work, "start-up.png")],
                              capture_output=True).returncode == 0

    def start_up(self, unit, picture):
        """Seconds from starting `unit` to the first screendump that shows
        `picture`, on a screen cleared before."""
        units = " ".join(sorted({u for (us, _) in self.start_ups for u in us.split("+")}))
        self.serial.run("systemctl stop %s" % units)
        # Stopped, Tavlo on the frame buffer leaves its last picture there,
        # and the frame buffer comes back when Weston stops.
        self.serial.run("dd if=/dev/zero of=/dev/fb0 bs=64k 2>/dev/null; true")
        deadline = time.monotonic() + STEP_SECONDS
        while self.shows(picture):
            if time.monotonic() > deadline:
                raise Failure("the screen still shows %s with %s stopped" % (picture, units))
            time.sleep(0.5)
        *first, unit = unit.split("+")
        for prerequisite in first:
            self.serial.run("systemctl start %s" % prerequisite)
        self.serial.run("systemctl start --no-block %s" % unit)
        began = time.monotonic()
        while not self.shows(picture):
            if time.monotonic() - began > STEP_SECONDS:
                raise Failure("%s never showed %s" % (unit, picture))
        return time.monotonic() - began

    def measure_start_ups(self):
        times = {unit: [] for (unit, _) in self.start_ups}
        for n in range(START_UP_ROUNDS):
            for unit, picture in self.start_ups:
                seconds = self.start_up(unit, picture)
                times[unit].append(seconds)
                log("start-up %d of %s: first paint after %.2f s" % (n + 1, unit, seconds))
        for unit, seconds in times.items():
            log("start-up of %s: median %.2f s (%s)"
                % (unit, sorted(seconds)[len(seconds) // 2], ", ".join("%.2f" % s for s in seconds)))

    # --- the scenarios --------------------------------------------------------

    def play(self):
        scenario, first, passed = None, True, []
        with open(os.path.join(self.expected, "steps.json")) as recorded:
            steps = json.load(recorded)
        for step in steps + [{"scenario": None, "verb": "text", "argument": ""}]:
            if step["scenario"] != scenario:
                if scenario:
                    passed.append(scenario)
                    log("scenario %s passed" % scenario)
                scenario = step["scenario"]
            verb, argument = step["verb"], step["argument"]
            if verb == "text":
                continue
            if verb != "tap":
                self.looked = None
            if verb == "look":
                self.until_still()
                with open(os.path.join(self.expected, argument + ".json")) as places:
                    self.places = json.load(places)
                self.screen = self.looked = argument
            elif verb == "snap":
                self.wait_for_screen(argument, BOOT_SECONDS if first else STEP_SECONDS)
                if first:
                    log("first screen %.0f s after the emulator started"
                        % (time.monotonic() - self.started))
                    # Not anchored at the line's start: on a slow boot
                    # systemd's progress line leaves its erase sequence there.
                    self.serial.wait_for(r"BOARD-SHELL-READY$", SHELL_SECONDS)
                    # Kernel messages would land amid the commands' output.
                    self.serial.run("stty -echo; dmesg -n 1")
                    self.known = self.note_names()
                    log("%d notes on the board" % len(self.known))
                    if self.wake_pointer:
                        # Weston gives its seat a pointer at the pointer's
                        # first event, and the client asks for it only
                        # then: that event's press would reach no one, and
                        # the first tap would be lost. The kernel drops a
                        # move to where the tablet already is, (0, 0) at
                        # boot, so the finger goes to the far corner.
                        self.finger_at(self.screen_size[0] - 1, self.screen_size[1] - 1)
                        self.until_still()
                first = False
            elif verb == "tap":
                self.tap(argument)
                self.looked = None
            elif verb == "keys":
                for char in argument:
                    self.tap("key:" + {" ": "Space", "\n": "Enter"}.get(char, char))
            elif verb == "drag":
                self.drag(argument)
            elif verb == "type":
                for char in argument:
                    self.press(keys_of_char(char))
            elif verb == "key":
                self.press(keys_of_combination(argument))
            elif verb == "check":
                self.check(step["expect"])
            else:
                raise Failure("unknown step %s" % verb)
        return passed


def main():
    args = sys.argv[1:]
    board = Board(args)
    size = os.environ.get("TAVLO_BOARD_SCREEN", "800x480").split("x")
    board.screen_size = (int(size[0]), int(size[1]))
    os.makedirs(board.results, exist_ok=True)
    status = 0
    try:
        board.start()
        passed = board.play()
        log("passed: %s; %d screendumps in %.0f s"
            % (", ".join(passed), board.dumps,
               time.monotonic() - board.started))
        if board.start_ups:
            board.measure_start_ups()
    except Failure as failure:
        log("FAILED: %s" % failure)
        status = 1
    finally:
        board.stop()
    return status


if __name__ == "__main__":
    sys.exit(main())
