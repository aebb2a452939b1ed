#!/usr/bin/env bash
# Runs the DiskFaultsMounted suite with the mounts it needs, made under
# MOUNT_ROOT and always undone: "readonly", a read-only bind mount of
# "source", and "full", a small tmpfs.
# Usage: disk-faults.sh EMULATOR TEST_EXE MOUNT_ROOT TEST_NAME
set -uo pipefail
EMULATOR=$1
TEST_EXE=$2
ROOT=$3
TEST_NAME=$4

undo_mounts() {
    local m
    for m in "$ROOT/readonly" "$ROOT/full"; do
        if mountpoint -q "$m"; then
            umount "$m" || umount -l "$m"
        fi
    done
}

undo_mounts  # left behind by a run that was killed
trap 'undo_mounts; rm -rf "$ROOT"' EXIT
rm -rf "$ROOT"
mkdir -p "$ROOT/source" "$ROOT/readonly" "$ROOT/full"

# A mount that cannot be made leaves its folder's reason for the skip.
readonly_why=""
full_why=""
if ! mount --bind "$ROOT/source" "$ROOT/readonly" 2>"$ROOT/mount.log" ||
   ! mount -o remount,bind,ro "$ROOT/readonly" 2>>"$ROOT/mount.log"; then
    readonly_why="cannot make a read-only bind mount: $(tr '\n' ' ' <"$ROOT/mount.log")"
fi
if ! mount -t tmpfs -o size=4m tmpfs "$ROOT/full" 2>"$ROOT/mount.log"; then
    full_why="cannot mount a tmpfs: $(tr '\n' ' ' <"$ROOT/mount.log")"
fi

UPDATER_DISK_FAULTS_ROOT="$ROOT" UPDATER_SKIP_readonly="$readonly_why" UPDATER_SKIP_full="$full_why" \
    "$EMULATOR" "$TEST_EXE" --gtest_filter="DiskFaultsMounted.$TEST_NAME"
