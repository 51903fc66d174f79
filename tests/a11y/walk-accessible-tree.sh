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
for need in xvfb-run dbus-run-session; do
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

# Other test runs may want a display at the same time: each starts its search elsewhere.
exec dbus-run-session -- xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24" \
    "$python" "$here/walk_accessible_tree.py" "$build/bin/glyphwerk"
