#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Boots an emulated ARM board with Tavlo installed from its own Debian
# package, running full-screen on the Linux frame buffer as the device's one
# application, and drives it from the host through the board's touch screen
# (an absolute pointer), the way a person would: the board has no keyboard,
# and text is typed on Tavlo's on-screen keyboard.
#
#   scripts/board.sh arm64|armhf run [BUILD_DIR]
#   scripts/board.sh arm64 weston [BUILD_DIR]
#   scripts/board.sh arm64|armhf power-cuts N [BUILD_DIR]   # see scripts/board/powerCuts.py
#   scripts/board.sh arm64|armhf cache      # only the cached root file system, where missing
#
# `weston` boots the same board with Weston running its screen (the kiosk
# shell, scripts/board/tavlo-weston.service) and Tavlo as its client, plays
# the same scenarios there, and then starts Tavlo over and over, under Weston
# and on the frame buffer by turns, timing each to its first picture.
#
# Tavlo's packages are the ones debian/ describes, cross-built for the
# board's architecture by scripts/debian-build.sh ARCH. BUILD_DIR is the
# cross build, build-ARCH/ by default, whose power-cut tool the power cuts
# run; when that does not exist yet, scripts/cross.sh ARCH makes it (and runs
# the suite under qemu). The host build in
# build/ (made here if missing) draws the windows the board must show. The root file
# system, kernel and initrd are made once and kept in the cache directory
# (TAVLO_BOARD_CACHE, /var/cache/tavlo-board by default), keyed by the package
# list and the dates of the package lists; everything else is made afresh.
# With TAVLO_BOARD_CACHED_ONLY set, a board whose cache is not made yet exits
# with $status_not_cached instead of making it (scripts/lib/statuses.sh).
# Screendumps (PNG), the rendering they were compared with and the serial log
# are left in BUILD_DIR/board/, BUILD_DIR/board-weston/ for `weston`
# (TAVLO_BOARD_RESULTS to choose another).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/install-missing.sh"
source "$root/scripts/lib/target-apt.sh"
source "$root/scripts/lib/qemu-binfmt.sh"
source "$root/scripts/lib/statuses.sh"

usage() {
    echo "usage: $0 arm64|armhf run [BUILD_DIR]" >&2
    echo "       $0 arm64 weston [BUILD_DIR]" >&2
    echo "       $0 arm64|armhf power-cuts N [BUILD_DIR]" >&2
    echo "       $0 arm64|armhf cache" >&2
    exit "$status_usage"
}
arch=${1:-}
job=${2:-}
power_cuts=
case "$job" in
run | weston) build_dir=${3:-} ;;
cache) build_dir= ;;
power-cuts)
    power_cuts=${3:-}
    [[ "$power_cuts" =~ ^[1-9][0-9]*$ ]] || usage
    build_dir=${4:-}
    ;;
*) usage ;;
esac
case "$arch" in
arm64)
    qemu=qemu-system-aarch64
    qemu_cpu=aarch64
    machine=(-M virt -cpu max,pauth-impdef=on)
    kernel_flavour=arm64
    ;;
armhf)
    qemu=qemu-system-arm
    qemu_cpu=arm
    machine=(-M virt,highmem=off -cpu cortex-a15)
    kernel_flavour=armmp-lpae
    ;;
*) usage ;;
esac
[ "$job" = weston ] && [ "$arch" != arm64 ] && usage
build=${build_dir:-$root/build-$arch}
cache_root=${TAVLO_BOARD_CACHE:-/var/cache/tavlo-board}
results_name=board
[ "$job" = weston ] && results_name=board-weston
results=${TAVLO_BOARD_RESULTS:-$build/$results_name}
# The board's screen; the host draws the windows at the same size.
screen_width=800
screen_height=480

# What the board runs besides Tavlo itself: an init system, device nodes,
# the input library Qt reads the touch screen and keyboard with, and the one
# font family Tavlo is drawn in; and what Tavlo's packages (the program and
# its on-screen keyboard) depend on, which dpkg checks when it installs them
# on the board.
rootfs_packages=systemd-sysv,udev,kmod,libinput10,libinput-bin,fonts-dejavu-core,procps,libqt6widgets6,qt6-qpa-plugins,liburing2
rootfs_packages+=,qt6-virtualkeyboard-plugin,libqt6quickwidgets6,qml6-module-qtqml-workerscript,qml6-module-qtquick-window,qml6-module-qtquick-layouts,qml6-module-qt-labs-folderlistmodel
# The Weston session, on the arm64 board: the compositor, Qt's Wayland
# plugin, and the login manager that gives a user's compositor the screen and
# the input devices (Debian's Weston reaches them through logind), with the
# bus it answers on.
[ "$arch" = arm64 ] && rootfs_packages+=,weston,qt6-wayland,dbus,libpam-systemd
# Modules the initrd loads to reach the root file system on a virtio disk.
initrd_modules="virtio_pci_legacy_dev virtio_pci_modern_dev virtio_pci virtio_mmio virtio_blk crc16 mbcache jbd2 crc32c_generic ext4"

phase_start=$SECONDS
phase() {
    echo "board $arch: $1 took $((SECONDS - phase_start)) s"
    phase_start=$SECONDS
}

install_missing qemu-system-arm mmdebstrap qemu-user-static e2fsprogs \
    python3 dpkg-dev cpio arch-test
# The board's packages come from lists of their own (the machine's dpkg need
# not know the architecture), without the security archive where the mirror's
# index of it for the architecture is broken.
target_apt_update "$arch" || exit
# The chroot runs the board's programs through qemu-user.
qemu_binfmt "$qemu_cpu"

# The power cuts run the cross build's power-cut tool: a cross build is made
# afresh where there is none, or where the sysroot it was configured with is
# gone (scripts/sysroot.sh keeps the newest only).
if [ -n "$power_cuts" ]; then
    sysroot_of_build=$(sed -n 's/^TAVLO_SYSROOT:PATH=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
    if [ ! -f "$build/CMakeCache.txt" ] || [ ! -d "$sysroot_of_build/usr/include" ]; then
        if [ -n "$build_dir" ]; then
            echo "$build is not a configured cross build with its sysroot" >&2
            exit "$status_usage"
        fi
        "$root/scripts/cross.sh" "$arch"
    fi
    build=$(cd "$build" && pwd)
fi
# --- What the screen must show, drawn on the host ----------------------------

# The host build draws what the board's screen must show and tells which
# save a note's bytes hold; boards run side by side take turns building it.
host_build() {
    (
        flock 7
        if [ ! -f "$root/build/CMakeCache.txt" ]; then
            install_missing cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins fonts-dejavu-core \
                liburing-dev qt6-l10n-tools
            cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
        fi
        cmake --build "$root/build" --target "$@"
    ) 7>"${TMPDIR:-/tmp}/tavlo-host-build.lock"
}

# The same tool, keyboard, scenarios, notes and screen size draw the same
# screens (their hash, $key): another board's drawings for the same platform
# are copied (kept in build/board-screens/, a minute saved each time).
# Boards side by side that need the same drawings take turns, and the later
# one copies them.
render() {
    local kept="$root/build/board-screens/$2"
    mkdir -p "$root/build/board-screens"
    (
        flock 6
        if [ "$(cat "$kept/key" 2>/dev/null)" = "$key" ]; then
            mkdir -p "$1" && cp -a "$kept/." "$1/" && rm "$1/key"
            echo "board $arch: the screens drawn for $2 are reused from $kept"
            exit 0
        fi
        # Root reads the unreadable note all the same unless it drops its
        # override of file permissions. The board's clock runs in UTC.
        (cd "$home" && LANG=C TZ=UTC XDG_RUNTIME_DIR="$work/runtime" \
            setpriv --inh-caps=-dac_override,-dac_read_search \
            --bounding-set=-dac_override,-dac_read_search \
            "$scenes" render "$scenarios" "$1" "${screen_width}x${screen_height}" "$2")
        rm -rf "$kept" "$kept.making"
        cp -a "$1" "$kept.making" && echo "$key" >"$kept.making/key" && mv "$kept.making" "$kept"
    ) 6>"$kept.lock"
}
draw() {
    local start=$SECONDS key
    host_build tavloBoardScenes
    mkdir -p "$home" "$work/runtime"
    chmod 700 "$work/runtime"
    "$root/scripts/board/fixture.sh" "$home"
    key=$( (
        cat "$scenes" "$scenarios" "$root/scripts/board/fixture.sh"
        cat "$root/build/keyboard/tavloKeyboard.so" 2>/dev/null || true
        echo "${screen_width}x${screen_height}"
    ) | sha256sum | cut -c1-16)
    if [ "$job" = weston ]; then
        render "$results/expected-fb" linuxfb
        render "$results/expected" wayland
    else
        render "$results/expected" linuxfb
    fi
    echo "board $arch: the screens were drawn in $((SECONDS - start)) s"
}
scenarios="$root/scripts/board/scenarios.txt"
scenes="$root/build/tools/tavloBoardScenes"
# The host draws them while the packages are built and the board's disk is
# made (waiting for its timers, mostly), into the results; the boot's scratch
# directory holds its home.
drawing=
if [ -z "$power_cuts" ] && [ "$job" != cache ]; then
    work=$(mktemp -d /var/tmp/tavlo-board.XXXXXX)
    home="$work/host-home"
    cleanup() {
        [ -n "$drawing" ] && kill "$drawing" 2>/dev/null
        # Nothing may stay mounted in the scratch root when it is removed.
        for mount in proc sys dev; do
            mountpoint -q "$work/rootfs/$mount" && umount -l "$work/rootfs/$mount"
        done
        rm -rf "$work"
    }
    trap cleanup EXIT
    rm -rf "$results"
    mkdir -p "$results/expected"
    draw >"$work/drawing.log" 2>&1 &
    drawing=$!
fi

# The packages the board installs (the power cuts need none), from
# debian/; the last line is the path of their .changes file, beside which
# they lie.
if [ -z "$power_cuts" ] && [ "$job" != cache ]; then
    status=0
    changes=$("$root/scripts/debian-build.sh" "$arch" | tail -n 1) || status=$?
    ((status == 0)) || exit "$status"
    debs=("$(dirname "$changes")"/tavlo_*_"$arch".deb "$(dirname "$changes")"/tavlo-keyboard_*_"$arch".deb)
    phase "packages"
fi

# --- The cached root file system, kernel and initrd ---------------------------

kernel_meta=$(apt-cache "${target_apt[@]}" depends "linux-image-$kernel_flavour" |
    sed -n 's/^ *Depends: \(linux-image-[^:]*\).*/\1/p' | head -n 1)
if [ -z "$kernel_meta" ]; then
    echo "no kernel package found for $arch in the apt lists" >&2
    exit 1
fi
kernel_version=${kernel_meta#linux-image-}
# The lists change with each point release and update; a new kernel shows in
# the kernel package's name too.
key=$(printf '%s\n' "$arch" "$rootfs_packages" "$kernel_meta" "$initrd_modules" "$target_lists_id" \
    "$(cat "$root/scripts/board/init")" | sha256sum | cut -c1-16)
cache="$cache_root/$arch-$key"

make_cache() {
    local work="$cache_root/$arch-making"
    rm -rf "$work"
    mkdir -p "$work/download"
    (cd "$work/download" && apt-get "${target_apt[@]}" download -q "$kernel_meta" busybox-static)
    mkdir -p "$work/kernel" "$work/busybox"
    dpkg-deb --extract "$work"/download/linux-image-*.deb "$work/kernel"
    dpkg-deb --extract "$work"/download/busybox-static_*.deb "$work/busybox"
    cp "$work/kernel/boot/vmlinuz-$kernel_version" "$work/vmlinuz"

    # The initrd: busybox, the modules that reach the disk, and an init that
    # mounts it and hands over to systemd.
    local initrd="$work/initrd"
    mkdir -p "$initrd"/{bin,dev,proc,sys,newroot,modules}
    cp "$work/busybox/bin/busybox" "$initrd/bin/busybox"
    cp "$root/scripts/board/init" "$initrd/init"
    chmod 755 "$initrd/init"
    local module path
    for module in $initrd_modules; do
        path=$(find "$work/kernel/lib/modules/$kernel_version" -name "$module.ko*" | head -n 1)
        if [ -z "$path" ]; then
            # Built into this architecture's kernel.
            grep -q "/$module.ko\$" "$work/kernel/lib/modules/$kernel_version/modules.builtin" && continue
            echo "the kernel has no module $module" >&2
            return 1
        fi
        cp "$path" "$initrd/modules/"
        echo "$module" >>"$initrd/modules/order"
    done
    (cd "$initrd" && find . | cpio --quiet -o -H newc | gzip -1) >"$work/initrd.gz"

    # The root file system, with the kernel's modules put in from the host:
    # the kernel package's own scripts would build an initramfs under
    # qemu-user, which takes far too long.
    mmdebstrap --arch="$arch" --variant=minbase --mode=root \
        --include="$rootfs_packages" \
        --dpkgopt='path-exclude=/usr/share/man/*' \
        --dpkgopt='path-exclude=/usr/share/locale/*' \
        --dpkgopt='path-include=/usr/share/locale/locale.alias' \
        --dpkgopt='path-exclude=/usr/share/doc/*' \
        --dpkgopt='path-include=/usr/share/doc/*/copyright' \
        --customize-hook="mkdir -p \"\$1/lib/modules\" && cp -a '$work/kernel/lib/modules/$kernel_version' \"\$1/lib/modules/\"" \
        --customize-hook="chroot \"\$1\" depmod -a '$kernel_version'" \
        --customize-hook="chroot \"\$1\" useradd --create-home --groups input,video --shell /bin/bash tavlo" \
        bookworm "$work/rootfs.tar" "${target_sources[@]}" </dev/null
    rm -rf "$work/download" "$work/kernel" "$work/busybox" "$initrd"
    # Older caches of this architecture are of no more use, once no board
    # started from them can still be running.
    find "$cache_root" -maxdepth 1 -name "$arch-[0-9a-f]*" -mmin +180 -exec rm -rf {} +
    mv "$work" "$cache"
}

# Boards started side by side take turns making the cache, and the second
# one then finds it made.
mkdir -p "$cache_root"
exec 8>"$cache_root/$arch.lock"
flock 8
if [ -f "$cache/rootfs.tar" ]; then
    echo "board $arch: cached root file system, kernel $kernel_version and initrd in $cache"
elif [ -n "${TAVLO_BOARD_CACHED_ONLY:-}" ]; then
    # CI's way of booting a board only when that takes no more than minutes.
    echo "board $arch: no cached root file system in $cache_root; not made, as" \
        "TAVLO_BOARD_CACHED_ONLY asks" >&2
    exit "$status_not_cached"
else
    echo "board $arch: making the root file system, kernel $kernel_version and initrd in $cache"
    make_cache
fi
flock -u 8
phase "cache"
[ "$job" = cache ] && exit 0

# The board as both jobs boot it; each adds its disks, memory, kernel
# command line and console.
board_qemu=(
    "$qemu" "${machine[@]}"
    -kernel "$cache/vmlinuz" -initrd "$cache/initrd.gz"
    -display none -nic none -monitor none
)

if [ -n "$power_cuts" ]; then
    cmake --build "$build" --target tavloPowerCutLoop
    host_build tavloPowerCutLoop
    status=0
    /usr/bin/python3 "$root/scripts/board/powerCuts.py" "$power_cuts" "$cache/rootfs.tar" \
        "$build/tools/tavloPowerCutLoop" "$root/build/tools/tavloPowerCutLoop" "$results" \
        -- "${board_qemu[@]}" || status=$?
    phase "$power_cuts power cuts"
    exit "$status"
fi

# --- The board's disk: the root file system, Tavlo's package, the notes ------

rootfs="$work/rootfs"
mkdir "$rootfs"
tar -xf "$cache/rootfs.tar" -C "$rootfs"
mkdir "$rootfs/tmp/tavlo"
cp "${debs[@]}" "$rootfs/tmp/tavlo/"
# dpkg refuses the packages unless everything they depend on is installed.
chroot "$rootfs" sh -c 'dpkg -i /tmp/tavlo/*.deb'
rm -r "$rootfs/tmp/tavlo"

units="$rootfs/etc/systemd/system"
cp "$root/scripts/board/tavlo.service" "$root/scripts/board/serial-shell.service" "$units/"
ln -s ../tavlo.service "$units/multi-user.target.wants/tavlo.service"
ln -s ../serial-shell.service "$units/multi-user.target.wants/serial-shell.service"
# No login prompts: the serial line is the host's shell, and nothing but
# Tavlo draws on the screen.
for unit in serial-getty@ttyAMA0.service getty@.service; do
    ln -sf /dev/null "$units/$unit"
done
if [ "$job" = weston ]; then
    # The Weston session takes the frame buffer's place; both are there, for
    # the start-up times.
    rm "$units/multi-user.target.wants/tavlo.service"
    cp "$root/scripts/board/tavlo-weston.service" "$units/"
    ln -s ../tavlo-weston.service "$units/multi-user.target.wants/tavlo-weston.service"
    mkdir -p "$rootfs/etc/xdg/weston"
    cp "$root/scripts/board/weston.ini" "$rootfs/etc/xdg/weston/"
    # For Tavlo's own start timed apart: the same session with Weston alone,
    # which tells systemd once it is ready for clients, and Tavlo as its
    # client.
    sed -e 's|^ExecStart=.*|Type=notify\nExecStart=/usr/bin/weston --config=/etc/xdg/weston/weston-alone.ini --socket=wayland-1|' \
        -e 's|^Description=.*|Description=Weston alone on the screen|' \
        "$root/scripts/board/tavlo-weston.service" >"$units/weston-alone.service"
    sed -e '/^\[autolaunch\]/,$d' -e 's|^\[core\]|&\nmodules=systemd-notify.so|' \
        "$root/scripts/board/weston.ini" >"$rootfs/etc/xdg/weston/weston-alone.ini"
    cp "$root/scripts/board/tavlo-client.service" "$units/"
    # The cursor theme of the Weston session: one cursor (Xcursor's format:
    # the file's header, its table of one image, the image), a transparent
    # pixel, which Qt falls back to for every shape it finds no cursor for.
    mkdir -p "$rootfs/usr/share/icons/tavlo-touch/cursors"
    python3 -c 'import struct, sys
image = struct.pack("<9I", 36, 0xFFFD0002, 24, 1, 1, 1, 0, 0, 0) + bytes(4)
sys.stdout.buffer.write(struct.pack("<4I", 0x72756358, 16, 0x10000, 1)
                        + struct.pack("<3I", 0xFFFD0002, 24, 28) + image)' \
        >"$rootfs/usr/share/icons/tavlo-touch/cursors/left_ptr"
fi
echo board >"$rootfs/etc/hostname"
echo '/dev/vda / ext4 defaults 0 1' >"$rootfs/etc/fstab"

"$root/scripts/board/fixture.sh" "$rootfs/home/tavlo"
chroot "$rootfs" chown -R tavlo:tavlo /home/tavlo/Documents
chroot "$rootfs" chown root:root /home/tavlo/Documents/text/2000-1-1-9-0-0.txt
disk="$work/disk.img"
size_mb=$(($(du -sm "$rootfs" | cut -f1) + 256))
mkfs.ext4 -q -L board -d "$rootfs" "$disk" "${size_mb}M"
phase "disk (${size_mb} MB)"

# --- What the screen must show, drawn meanwhile --------------------------------

status=0
wait "$drawing" || status=$?
drawing=
cat "$work/drawing.log"
if ((status != 0)); then
    echo "board $arch: drawing the screens the board must show failed" >&2
    exit "$status"
fi
driver_options=()
if [ "$job" = weston ]; then
    # Tavlo's first picture on either screen: the warning of the start-up
    # scenario, which changes no note.
    driver_options=(--wake-pointer --start-up "tavlo.service=$results/expected-fb/start-warning.png"
        --start-up "tavlo-weston.service=$results/expected/start-warning.png"
        --start-up "weston-alone.service+tavlo-client.service=$results/expected/start-warning.png")
fi
phase "expected screens"

# --- The board --------------------------------------------------------------

qemu_command=(
    "${board_qemu[@]}" -smp 2 -m 1024 -S
    -append "console=ttyAMA0 root=/dev/vda rw logo.nologo vt.global_cursor_default=0"
    -drive "file=$disk,format=raw,if=none,id=disk" -device virtio-blk-pci,drive=disk
    -device "virtio-gpu-pci,xres=$screen_width,yres=$screen_height"
    -device virtio-tablet-pci
    -qmp "unix:$work/qmp.sock,server=on,wait=off"
    -chardev "socket,id=serial,path=$work/serial.sock,server=on,wait=off"
    -serial chardev:serial
)
status=0
TAVLO_BOARD_SCREEN="${screen_width}x${screen_height}" /usr/bin/python3 "$root/scripts/board/driver.py" \
    "${driver_options[@]}" "$results/expected" "$results" "$work" "$scenes" compare -- \
    "${qemu_command[@]}" || status=$?
phase "board"
echo "board $arch: screens, the serial log and Tavlo's log are in $results"
exit "$status"
