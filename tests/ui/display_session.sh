#!/usr/bin/env bash
# Readies the Wine prefix for window tests inside the current X display.
# Wine's desktop belongs to the display its server started with: a server
# started before Xvfb gives every later window no display at all, so the
# server is restarted here. Windows are left unmanaged: without a window
# manager Wine would wait two seconds for each one to be withdrawn.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# CVL_WINE_ARCH (set by the build) picks the prefix.
export WINEDEBUG=-all
"$root/scripts/wine-prefix" stop
"$root/scripts/wine-prefix"
"$root/scripts/wine-run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
