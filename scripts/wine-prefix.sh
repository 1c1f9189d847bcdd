# Wine and display set-up shared by with-wine and run-app. Source it; it defines
# functions only.
#   tallyleaf_wine_env PREFIX     exports WINEPREFIX (absolute), WINEARCH and the quiet settings:
#                                 win32, or win64 when TALLYLEAF_ARCH is x86_64 (then `wine` on
#                                 PATH is the 64-bit loader)
#   tallyleaf_start_xvfb [ARGS]   starts Xvfb on a free display (ARGS: more Xvfb options); sets
#                                 DISPLAY and TALLYLEAF_XVFB_PID
#   tallyleaf_prepare_prefix      makes $WINEPREFIX a prefix ready for Tallyleaf (once)
#   tallyleaf_prefix_is_64bit DIR true when DIR holds an existing 64-bit prefix

tallyleaf_wine_env() {
  export WINEPREFIX
  WINEPREFIX=$(realpath -m "$1")
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "${TALLYLEAF_ARCH:-i686}" = x86_64 ]; then
    export WINEARCH=win64 PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64-bin:$PATH"
  else
    export WINEARCH=win32
  fi
}

tallyleaf_start_xvfb() {
  TALLYLEAF_XVFB_PID=""
  local n
  for n in $(seq 91 140); do
    { [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; } && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp "$@" >/dev/null 2>&1 &
    TALLYLEAF_XVFB_PID=$!
    export DISPLAY=":$n"
    break
  done
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break
    sleep 0.05
  done
}

tallyleaf_prefix_is_64bit() {
  [ -f "$1/system.reg" ] && grep -q '^#arch=win64' "$1/system.reg"
}

# Settings that make Wine quick and predictable without a window manager:
# unmanaged windows (a hide or close otherwise waits 2 s for the window manager),
# no crash dialog (a crash would otherwise wait in the debugger), and Wine's own
# fonts where the programs look for them (this Wine does not read its font folder).
tallyleaf_prepare_prefix() {
  [ -f "$WINEPREFIX/.tallyleaf-ready" ] && return 0
  echo "wine-prefix: preparing the Wine prefix $WINEPREFIX (once)" >&2
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  local reg
  reg=$(mktemp --suffix=.reg)
  cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
  wine regedit "$reg" >/dev/null 2>&1
  rm -f "$reg"
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wineserver -w
  touch "$WINEPREFIX/.tallyleaf-ready"
}
