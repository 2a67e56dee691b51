#!/bin/sh
# Runs a check in a desktop session of its own, as a screen-reader user has it: a virtual X display (Xvfb), a
# D-Bus session and the accessibility bus it starts on demand (at-spi2-core).
#   run_in_session.sh SCRIPT.py [ARGS...]   (run by Debian's python3, which has the pyatspi module)
# Exits 77 (CTest's skip) with the reason when the session cannot be made on this machine.
set -u
skip() { echo "SKIPPED: $*"; exit 77; }
command -v Xvfb >/dev/null 2>&1 || skip "Xvfb is not installed (Debian package xvfb)"
command -v dbus-run-session >/dev/null 2>&1 || skip "dbus-run-session is not installed (Debian package dbus)"
[ -e /usr/share/dbus-1/services/org.a11y.Bus.service ] || skip "at-spi2-core is not installed"
# Debian's own interpreter: another python3 first on PATH (a pyenv, a venv) lacks Debian's modules.
python=/usr/bin/python3
"$python" -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"

xvfb=""
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT INT TERM
# -displayfd picks a free display number and writes it, so parallel runs never meet.
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || skip "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"
export XDG_RUNTIME_DIR="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" HOME="$work"
dbus-run-session -- true 2>"$work/dbus.log" || skip "no D-Bus session could be started: $(cat "$work/dbus.log")"
dbus-run-session -- "$python" "$@"
