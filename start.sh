#!/usr/bin/env bash
# Starts the program: installs what is missing, builds, and runs it with its program folder
# (KZM.ini, Baza/, Hist/, Kopie/, Tmp/, Pomoc/) in kzm-home/ beside this script, or in
# $KZM_HOME. Extra arguments go to the program. With --demo: a generated canteen with a simulated
# terminal registering meals (scripts/demo.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
cd "$top"

scripts/packages.sh
scripts/build.sh

if [ "${1:-}" = "--demo" ]; then
    shift
    exec "$top/scripts/demo.sh" "$@"
fi

home=${KZM_HOME:-$top/kzm-home}
mkdir -p "$home/Baza" "$home/Pomoc"
# The help pages; pages edited in the program folder are kept.
cp -n "$top"/help/*.html "$home/Pomoc/" || true
# A first start: no configuration and no database yet, so the login creates one.
if [ ! -e "$home/KZM.ini" ] && [ ! -e "$home/Baza/BazaOxle.GDB" ]; then
    printf '[Main]\r\nCreateBaza=1\r\n' >"$home/KZM.ini"
fi
# Without a display the program still runs, drawing off screen.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    export QT_QPA_PLATFORM=offscreen
fi
exec "$top/build/src/app/pelto_kzm" --home "$home" "$@"
