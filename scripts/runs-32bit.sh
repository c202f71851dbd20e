#!/usr/bin/env bash
# Says whether this machine runs 32-bit x86 Linux programs, which Debian's
# 32-bit Wine, and so the shipped 32-bit torvane.exe, needs. It asks the
# kernel, not its name: it starts the 32-bit loader of libc6-i386, which a
# kernel without 32-bit support refuses ("Exec format error").
# Prints "yes" and exits 0, or prints why not and exits 1.
# TORVANE_NO_32BIT=1 answers no, as such a machine would.
set -uo pipefail
loader=/lib/ld-linux.so.2
no() { echo "this machine runs no 32-bit code ($1)"; exit 1; }

[ "${TORVANE_NO_32BIT:-0}" != 0 ] && no "TORVANE_NO_32BIT is set"
[ -e "$loader" ] || no "$loader is missing: libc6-i386 is not installed"
if out=$("$loader" --version 2>&1 </dev/null); then
  echo yes
  exit 0
fi
no "$loader does not start: $(echo "$out" | head -1 | sed 's/^.*: //')"
