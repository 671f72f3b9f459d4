#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
"""Cuts the emulated board's power N times while it saves and deletes notes.

scripts/board.sh ARCH power-cuts N runs it once the board's cached root
file system is made:

  powerCuts.py N ROOTFS_TAR LOOP_PROGRAM HOST_LOOP_PROGRAM RESULTS_DIR -- QEMU...

QEMU... is the board's own emulator command line (its machine, kernel and
initrd, no display, no network), to which the disks, the kernel's command
line and the console are added here. LOOP_PROGRAM is the board's build of
tavloPowerCutLoop; HOST_LOOP_PROGRAM the host's, which tells which save a
note's bytes hold.

The board boots from the cached root file system with its own PID 1 (below),
which mounts a second, small disk holding the notes at /home/tavlo and runs
tavloPowerCutLoop (tools/powerCutLoop.cpp): it saves and deletes notes through
the notes library as the editor and Delete do, keeps a draft of unsaved text
as the editor does, and says on the console before each step and once it is
done. At a random moment the emulator is killed
(SIGKILL): what the guest kernel had not yet handed to its disk is lost with
its memory. Then fsck runs on the notes disk, and every note is checked: each
holds the whole text of some save, never a cut or a mixture; each save
reported done holds (or a later one, or the note went to the trash after it);
a note being deleted is in the note directory or in the trash with its
record; the draft is the last one reported written or the one being written,
whole. Exits 0 when nothing was lost or cut.
"""

import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

BOOT_SECONDS = 300
NAMES = ["cut-%d.txt" % i for i in range(5)]

INIT = """#!/bin/sh
# PID 1 of the board whose power is cut: the notes disk, then the loop.
mount -o remount,ro /
mount -t proc proc /proc
mount -t ext4 /dev/vdb /home/tavlo || echo "@@NO-NOTES-DISK"
cd /home/tavlo
# The host has checked what the last cut left; the trash starts empty.
rm -rf .local/share/Trash .local/state/tavlo Documents/text/.tavlo-save-*
sync
cycle=$(sed -n 's/.*tavlo\\.cycle=\\([0-9]*\\).*/\\1/p' /proc/cmdline)
HOME=/home/tavlo /usr/local/bin/tavloPowerCutLoop "$cycle"
echo "@@LOOP-ENDED"
exec sleep 1000000
"""


def log(message):
    print("power cuts: " + message, flush=True)


def run(*command):
    return subprocess.run(command, capture_output=True, text=True)


class Board:
    def __init__(self, args):
        split = args.index("--")
        self.cycles, self.rootfs_tar, self.loop, self.host_loop, self.results = args[:split]
        self.cycles = int(self.cycles)
        self.qemu = args[split + 1:]
        self.work = tempfile.mkdtemp(prefix="tavlo-power-cuts.", dir="/var/tmp")
        self.current = {name: None for name in NAMES}  # the save each note holds
        self.totals = dict(cycles=0, saves=0, saves_cut=0, deletes=0, deletes_cut=0,
                           notes_checked=0, trashed_checked=0, fsck_fixed=0, left_over=0,
                           drafts=0, drafts_cut=0, drafts_checked=0, lost_or_cut=0)

    def make_disks(self):
        rootfs = os.path.join(self.work, "rootfs")
        os.mkdir(rootfs)
        subprocess.run(["tar", "-xf", self.rootfs_tar, "-C", rootfs],
                       check=True)
        shutil.copy(self.loop, os.path.join(rootfs, "usr/local/bin/tavloPowerCutLoop"))
        init = os.path.join(rootfs, "sbin/init")
        os.remove(init)
        with open(init, "w") as out:
            out.write(INIT)
        os.chmod(init, 0o755)
        size = int(run("du", "-sm", rootfs).stdout.split()[0]) + 64
        self.root = os.path.join(self.work, "root.img")
        subprocess.run(["mkfs.ext4", "-q", "-d", rootfs, self.root, "%dM" % size], check=True)
        shutil.rmtree(rootfs)
        home = os.path.join(self.work, "home")
        os.makedirs(os.path.join(home, "Documents/text"))
        self.notes = os.path.join(self.work, "notes.img")
        subprocess.run(["mkfs.ext4", "-q", "-d", home, self.notes, "32M"], check=True)

    def boot_and_cut(self, cycle):
        """Boots, lets the loop run for a random while, kills the emulator;
        returns the steps the board reported."""
        command = self.qemu + [
            "-smp", "1", "-m", "512",
            "-append", "console=ttyAMA0 root=/dev/vda rw quiet tavlo.cycle=%d" % cycle,
            # The emulator writes whatever the guest hands its disks at once
            # (ignoring flushes is harmless: the host does not lose power).
            "-drive", "file=%s,format=raw,if=none,id=root,cache=unsafe" % self.root,
            "-device", "virtio-blk-pci,drive=root",
            "-drive", "file=%s,format=raw,if=none,id=notes,cache=unsafe" % self.notes,
            "-device", "virtio-blk-pci,drive=notes",
            "-serial", "stdio"]
        lines = []
        ready = threading.Event()
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=subprocess.STDOUT)
        serial = open(os.path.join(self.results, "serial.log"), "ab")

        def read():
            for line in process.stdout:
                serial.write(line)
                if line.startswith(b"@@"):
                    lines.append(line[2:].decode().split())
                    if lines[-1][0] == "READY":
                        ready.set()
        reader = threading.Thread(target=read, daemon=True)
        reader.start()
        started = time.monotonic()
        if not ready.wait(BOOT_SECONDS):
            process.kill()
            raise RuntimeError("the board never started its loop; see serial.log")
        booted = time.monotonic() - started
        time.sleep(random.uniform(0.0, 4.0))
        process.send_signal(signal.SIGKILL)
        process.wait()
        reader.join(10)
        serial.close()
        return lines[1:], booted

    def fsck(self):
        """Replays the journal, as mounting would, then checks the whole file
        system; returns what it had to mend beyond the journal."""
        run("e2fsck", "-y", "-E", "journal_only", self.notes)
        result = run("e2fsck", "-fy", self.notes)
        # The file system's own free counts are left stale on purpose by ext4
        # and counted afresh when it is mounted; only other repairs count.
        stale = len(re.findall(r"^Free (blocks|inodes) count wrong \(", result.stdout, re.M))
        if result.returncode == 0 or result.stdout.count("Fix? yes") == stale:
            return []
        self.totals["fsck_fixed"] += 1
        return ["fsck mended the file system: " + result.stdout.strip().replace("\n", " / ")]

    def read_disk(self):
        """The notes and the trash on the notes disk, by name."""
        out = os.path.join(self.work, "read")
        shutil.rmtree(out, ignore_errors=True)
        os.mkdir(out)
        for where in ["/Documents/text", "/.local/share/Trash", "/.local/state/tavlo/drafts"]:
            run("debugfs", "-R", "rdump %s %s" % (where, out), self.notes)

        def files(directory):
            path = os.path.join(out, directory)
            if not os.path.isdir(path):
                return {}
            found = {}
            for name in os.listdir(path):
                with open(os.path.join(path, name), "rb") as note:
                    found[name] = note.read()
            return found
        return files("text"), files("Trash/files"), files("Trash/info"), files("drafts")

    def saves_held(self, files):
        """The save each (note name, bytes) holds, or None when cut or mixed,
        as the loop program that wrote them tells."""
        if not files:
            return []
        paths = []
        for index, (name, data) in enumerate(files):
            path = os.path.join(self.work, "held-%d" % index)
            with open(path, "wb") as out:
                out.write(data)
            paths.append("%s=%s" % (name, path))
        answer = subprocess.run([self.host_loop, "which"] + paths, capture_output=True,
                                text=True, check=True).stdout.split()
        if len(answer) != len(files):
            raise RuntimeError("the loop program gave %d answers for %d files"
                               % (len(answer), len(files)))
        return [None if seq in ("cut", "none") else int(seq) for seq in answer]

    def check(self, steps):
        """What the board must hold after these steps; returns the faults."""
        faults = []
        current = dict(self.current)
        may_hold = {name: {current[name]} for name in NAMES}
        must_be_kept = []  # (name, save) a deletion moved or was moving
        may_draft = {None}  # the boot starts with no draft
        last = None
        for step in steps:
            what, name, seq = step[0], step[1], int(step[2])
            if name == "draft":
                # A removal is not flushed: a cut may undo it until the next
                # draft is written.
                last = step if what.endswith("ING") else None
                if what == "DRAFTING":
                    self.totals["drafts"] += 1
                    may_draft.add(seq)
                elif what == "DRAFTED":
                    may_draft = {seq}
                elif what.startswith("UNDRAFT"):
                    may_draft.add(None)
                elif what == "FAILED":
                    faults.append("writing a draft failed on the board")
                continue
            if what in ("SAVING", "TRASHING"):
                last = step
                may_hold[name] = {current[name]}
            if what == "SAVING":
                may_hold[name].add(seq)
                self.totals["saves"] += 1
            elif what == "SAVED":
                current[name] = seq
                may_hold[name] = {seq}
                last = None
            elif what == "TRASHING":
                self.totals["deletes"] += 1
                may_hold[name].add(None)
                if current[name] is not None:
                    must_be_kept.append((name, current[name]))
            elif what in ("TRASHED", "REMOVED", "NOTHING"):
                # A move into the trash is not flushed: a cut may undo it.
                may_hold[name].add(None)
                current[name] = None
                last = None
                if what == "REMOVED":
                    faults.append("%s was removed, not put in the trash" % name)
            elif what == "FAILED":
                faults.append("saving %s failed on the board" % name)
        if last and last[0] == "SAVING":
            self.totals["saves_cut"] += 1
        elif last and last[0] == "DRAFTING":
            self.totals["drafts_cut"] += 1
        elif last and last[0] == "TRASHING":
            self.totals["deletes_cut"] += 1

        notes, trash, info, drafts = self.read_disk()
        draft_files = sorted(name for name in drafts if name.endswith(".draft"))
        if len(draft_files) > 1:
            faults.append("the drafts directory holds %s" % " ".join(draft_files))
        holds_draft = None  # no draft, or an empty one (never offered)
        if draft_files and drafts[draft_files[0]]:
            seq = self.saves_held([("draft", drafts[draft_files[0]])])[0]
            holds_draft = "cut" if seq is None else seq
        self.totals["drafts_checked"] += 1
        if holds_draft == "cut":
            faults.append("the draft is cut or mixed: %r..." % drafts[draft_files[0]][:60])
        elif holds_draft not in may_draft:
            faults.append("the draft holds %s, not one of %s"
                          % (holds_draft, sorted(may_draft, key=str)))
        self.totals["left_over"] += sum(1 for name in drafts if name.startswith(".tavlo-save-"))
        on_disk = [name for name in NAMES if name in notes]
        held = dict(zip(on_disk, self.saves_held([(name, notes[name]) for name in on_disk])))
        trashed = sorted(trash)
        trash_names = [kept.split(".txt")[0] + ".txt" for kept in trashed]
        trash_held = self.saves_held([(trash_names[i], trash[kept])
                                      for i, kept in enumerate(trashed)])
        holds = {}
        for name in NAMES:
            data = notes.get(name)
            holds[name] = held.get(name)
            self.totals["notes_checked"] += 1
            if data is not None and holds[name] is None:
                faults.append("%s is cut or mixed: %r..." % (name, data[:60]))
            elif holds[name] not in may_hold[name]:
                faults.append("%s holds save %s, not one of %s"
                              % (name, holds[name], sorted(may_hold[name], key=str)))
        for stray in set(notes) - set(NAMES):
            if stray.startswith(".tavlo-save-"):
                self.totals["left_over"] += 1
            else:
                faults.append("the note directory holds %s" % stray)
        in_trash = {}
        for kept, name, seq in zip(trashed, trash_names, trash_held):
            record = info.get(kept + ".trashinfo", b"")
            if seq is None:
                faults.append("the trash holds %s cut or mixed" % kept)
            elif not re.search(rb"^Path=/home/tavlo/Documents/text/%s$" % re.escape(name.encode()),
                               record, re.M):
                faults.append("the trash holds %s without its record" % kept)
            else:
                in_trash[(name, seq)] = kept
        for name, seq in must_be_kept:
            self.totals["trashed_checked"] += 1
            if (name, seq) not in in_trash and holds[name] != seq:
                faults.append("%s, save %d, is neither a note nor in the trash" % (name, seq))
        self.current = holds
        return faults

    def play(self):
        open(os.path.join(self.results, "serial.log"), "wb").close()
        self.make_disks()
        began = time.monotonic()
        for cycle in range(1, self.cycles + 1):
            steps, booted = self.boot_and_cut(cycle)
            faults = self.fsck() + self.check(steps)
            self.totals["cycles"] += 1
            self.totals["lost_or_cut"] += len(faults)
            log("cycle %d: booted in %.0f s, %d steps, cut during %s; %s"
                % (cycle, booted, len(steps), " ".join(steps[-1]) if steps else "the boot",
                   "; ".join(faults) if faults else "every note whole"))
        totals = self.totals
        log("%(cycles)d cycles, %(saves)d saves of which %(saves_cut)d cut mid-way, "
            "%(deletes)d deletes of which %(deletes_cut)d cut mid-way, %(notes_checked)d notes "
            "and %(trashed_checked)d deleted notes checked, %(left_over)d temporary files left "
            "by a cut save, %(drafts)d drafts written of which %(drafts_cut)d cut mid-way and "
            "%(drafts_checked)d checked, fsck mended %(fsck_fixed)d times, "
            "lost or cut: %(lost_or_cut)d" % totals
            + " (%.0f s)" % (time.monotonic() - began))
        return 1 if totals["lost_or_cut"] else 0


def main():
    board = Board(sys.argv[1:])
    os.makedirs(board.results, exist_ok=True)
    try:
        return board.play()
    except RuntimeError as failure:
        log("FAILED: %s" % failure)
        return 1
    finally:
        shutil.rmtree(board.work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
