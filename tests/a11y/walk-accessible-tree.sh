#!/usr/bin/env bash
# Starts the window under Xvfb on a private session bus with the accessibility bus and its
# registry, and walks the window's accessible tree as a screen reader sees it. Fails on any
# focusable control without a name. Skips (77) where Xvfb, the session bus or the accessibility
# packages are missing.
# Usage: walk-accessible-tree.sh BUILD_DIR
set -uo pipefail
build=${1:?build folder}
here=$(cd "$(dirname "$0")" && pwd)

# The Debian packages' Python, which holds pyatspi (not a Python of the user's own).
python=/usr/bin/python3
for need in Xvfb dbus-run-session; do
    command -v "$need" >/dev/null || { echo "SKIP: $need fehlt"; exit 77; }
done
[[ -x /usr/libexec/at-spi-bus-launcher && -x /usr/libexec/at-spi2-registryd ]] ||
    { echo "SKIP: at-spi2-core fehlt"; exit 77; }
"$python" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi fehlt"; exit 77; }
[[ -x "$build/bin/glyphwerk" ]] || { echo "Fehler: $build/bin/glyphwerk fehlt"; exit 1; }

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache XDG_RUNTIME_DIR=$home/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
# A German session, whatever the caller's: the names checked are the program's own.
export LANGUAGE=de LANG=C.UTF-8 LC_ALL=C.UTF-8

# The server picks a free display itself and says which once it is ready, so runs started at the
# same moment (or in a container beside another server) never race for a number. It does not
# reset when its last client goes: the accessibility bus looks at the display and leaves again
# just as the window connects, and a resetting server refuses the window.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$home/display" 2>"$home/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$home"' EXIT
for _ in $(seq 200); do
    [[ -s $home/display ]] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.05
done
[[ -s $home/display ]] || { echo "Fehler: Xvfb startet nicht: $(cat "$home/xvfb.log")"; exit 1; }
export DISPLAY=:$(head -n 1 "$home/display")

dbus-run-session -- "$python" "$here/walk_accessible_tree.py" "$build/bin/glyphwerk"
status=$?
if ((status != 0)); then
    kill -0 "$xvfb" 2>/dev/null || echo "Xvfb lief nicht mehr."
    [[ -s $home/xvfb.log ]] && echo "Xvfb: $(cat "$home/xvfb.log")"
fi
exit $status
