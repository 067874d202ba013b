# Sourced by the demo and test scripts: a private Wine prefix, an X display
# and the Windows build that this machine can run.
#
#   QV_WINE      the Wine loader to use
#   QV_WINARCH   win32 when 32-bit code runs here, else win64 (some kernels
#                cannot execute 32-bit code; the x86_64 twin of the build is
#                then the one run under Wine)
#   QV_DIST      the folder holding that build's quorvex.exe and zor.dll
#   QV_REGVIEW   /reg:32 or /reg:64, the registry view the stub writes to
#   WINEPREFIX, WINEDEBUG, DISPLAY
QV_ROOT=${QV_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}

if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  QV_WINE=/usr/lib/wine/wine
  QV_WINARCH=win32
  QV_DIST=$QV_ROOT/dist
  QV_REGVIEW=/reg:32
else
  QV_WINE=/usr/lib/wine/wine64
  QV_WINARCH=win64
  QV_DIST=$QV_ROOT/dist/x64
  QV_REGVIEW=/reg:64
fi
export QV_WINE QV_WINARCH QV_DIST QV_REGVIEW
export WINEPREFIX=${WINEPREFIX:-$QV_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Wine creates no window at all without an X display, and a Windows machine
# always has a desktop: every run of the stub, silent ones too, gets one.
qv_start_display() {
  if [ -n "${QV_XVFB_PID:-}" ] && kill -0 "$QV_XVFB_PID" 2>/dev/null; then return; fi
  local n
  for n in $(seq 90 140); do
    [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    QV_XVFB_PID=$!
    sleep 0.5
    if kill -0 "$QV_XVFB_PID" 2>/dev/null; then
      export DISPLAY=:$n QV_XVFB_PID
      return
    fi
  done
  echo "wine-env: no free X display" >&2
  return 1
}

# A prefix made once per build tree; the wineserver stays up for the run.
qv_start_wine() {
  qv_start_display || return 1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$QV_WINE" wineboot -i >/dev/null 2>&1
    # Frames drawn by Wine itself, since no window manager runs.
    "$QV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    "$QV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  fi
  wineserver -p >/dev/null 2>&1 || true
}

qv_stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${QV_XVFB_PID:-}" ]; then kill "$QV_XVFB_PID" 2>/dev/null || true; unset QV_XVFB_PID; fi
}
