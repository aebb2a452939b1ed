#!/usr/bin/env bash
# Makes this machine run 32-bit Windows programs: user-mode emulation of
# i386 ELF files (the kernel cannot run them itself) and the 32-bit Wine.
# Each step is skipped when it is already done. A step that the machine
# refuses is named with its reason, and the script fails, unless
# UPDATER_SKIP_32=1, when it says so and succeeds.
set -uo pipefail

QEMU=/usr/bin/qemu-i386-static
BINFMT=/proc/sys/fs/binfmt_misc
WINE32=/usr/lib/wine/wine
# i386 ELF executables; the mask lets the OS/ABI bytes and the low bit of
# the type (executable or shared object) vary. F opens the interpreter at
# registration, so it works in namespaces where its path is not visible.
I386_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
I386_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

say() { echo "setup-wine32: $*"; }

refuse() {
    local step=$1 why=$2
    if [ "${UPDATER_SKIP_32:-0}" = 1 ]; then
        say "step '$step' cannot be done here: $why"
        say "UPDATER_SKIP_32=1: skipping the 32-bit setup"
        exit 0
    fi
    say "FAILED at step '$step': $why" >&2
    say "(set UPDATER_SKIP_32=1 on machines that cannot run 32-bit programs)" >&2
    exit 1
}

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# Installs packages, refusing any plan that would remove a package, so
# that the 64-bit Wine and the compilers stay as they are.
apt_install() {
    local step=$1
    shift
    local plan
    if ! plan=$(DEBIAN_FRONTEND=noninteractive apt-get install -s -y --no-install-recommends "$@" 2>&1); then
        refuse "$step" "apt-get cannot plan the install of $*: $(echo "$plan" | tail -n 3 | tr '\n' ' ')"
    fi
    if echo "$plan" | grep -q '^Remv '; then
        refuse "$step" "installing $* would remove: $(echo "$plan" | awk '/^Remv /{print $2}' | tr '\n' ' ')"
    fi
    local log
    log=$(mktemp)
    if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@" >"$log" 2>&1; then
        local tail_text
        tail_text=$(tail -n 5 "$log" | tr '\n' ' ')
        rm -f "$log"
        refuse "$step" "apt-get install $* failed: $tail_text"
    fi
    rm -f "$log"
}

# 1. The emulator.
if [ -x "$QEMU" ]; then
    say "qemu-user-static: present"
else
    say "qemu-user-static: installing"
    if ! apt-cache show qemu-user-static >/dev/null 2>&1; then
        apt-get update -q >/dev/null 2>&1 || refuse "apt-get update" "the package lists cannot be fetched"
    fi
    apt_install "install qemu-user-static" qemu-user-static
    [ -x "$QEMU" ] || refuse "install qemu-user-static" "$QEMU is missing after the install"
fi

# 2. binfmt_misc mounted.
if [ -e "$BINFMT/register" ]; then
    say "binfmt_misc: mounted"
else
    say "binfmt_misc: mounting at $BINFMT"
    [ -d "$BINFMT" ] || refuse "mount binfmt_misc" "$BINFMT does not exist (kernel without binfmt_misc?)"
    if ! err=$(mount -t binfmt_misc binfmt_misc "$BINFMT" 2>&1); then
        refuse "mount binfmt_misc" "mount refused: $err"
    fi
    [ -e "$BINFMT/register" ] || refuse "mount binfmt_misc" "mounted, but $BINFMT/register is missing"
fi

# 3. i386 ELF files run through the emulator. An entry of another name
# (for instance one that a package registered) does as well, if it is
# enabled and fixes its interpreter.
i386_entry=
for entry in "$BINFMT"/*; do
    [ -f "$entry" ] || continue
    case "$(basename "$entry")" in register | status) continue ;; esac
    if grep -q '^magic 7f454c46010101000000000000000000020003' "$entry" 2>/dev/null; then
        i386_entry=$entry
        break
    fi
done
if [ -n "$i386_entry" ]; then
    grep -q '^enabled' "$i386_entry" \
        || refuse "register qemu-i386" "$i386_entry exists but is disabled"
    grep -q '^flags:.*F' "$i386_entry" \
        || refuse "register qemu-i386" "$i386_entry exists without the fix-binary flag F"
    say "binfmt i386 entry: $(basename "$i386_entry") ($(sed -n 's/^interpreter //p' "$i386_entry"))"
else
    say "binfmt i386 entry: registering qemu-i386"
    if ! err=$( (printf '%s' ":qemu-i386:M::$I386_MAGIC:$I386_MASK:$QEMU:F" >"$BINFMT/register") 2>&1); then
        refuse "register qemu-i386" "writing to $BINFMT/register was refused: $err"
    fi
    [ -f "$BINFMT/qemu-i386" ] || refuse "register qemu-i386" "no qemu-i386 entry after registering"
fi
if [ "$(cat "$BINFMT/status" 2>/dev/null)" != enabled ]; then
    refuse "register qemu-i386" "binfmt_misc is disabled ($BINFMT/status)"
fi

# 4. The i386 architecture for packages.
if dpkg --print-foreign-architectures | grep -qx i386; then
    say "dpkg architecture i386: present"
else
    say "dpkg architecture i386: adding"
    err=$(dpkg --add-architecture i386 2>&1) || refuse "dpkg --add-architecture i386" "$err"
fi

# 5. The 32-bit Wine, from package lists that know i386.
if installed wine32:i386 && [ -x "$WINE32" ]; then
    say "wine32:i386: present"
else
    if ! apt-cache show wine32:i386 >/dev/null 2>&1; then
        say "apt-get update (i386 package lists)"
        apt-get update -q >/dev/null 2>&1 || refuse "apt-get update" "the package lists cannot be fetched"
        apt-cache show wine32:i386 >/dev/null 2>&1 \
            || refuse "install wine32:i386" "no package wine32:i386 in the package lists"
    fi
    say "wine32:i386: installing"
    apt_install "install wine32:i386" wine32:i386
fi

# 6. The result: the 32-bit loader runs under emulation.
if ! out=$("$WINE32" --version 2>&1); then
    refuse "run $WINE32" "it does not start: $(echo "$out" | tail -n 2 | tr '\n' ' ')"
fi
say "ready: $WINE32 is $out"
