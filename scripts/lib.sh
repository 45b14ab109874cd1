# Shared by the scripts and by ctest's Wine runner (cmake/wine-run): the project root, the Wine
# environment and a private Xvfb display. The one place that says how Wine and Xvfb are run.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="

# Starts Xvfb on the first free display and exports DISPLAY; stop_xvfb ends it.
xvfb_pid=""
start_xvfb() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  # No key auto-repeat: a chord is held until Keyrack shows it saw it, and repeated F-key
  # presses would reach whatever program the deployment brings to the front meanwhile.
  Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp -r >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on :$n" >&2
  return 1
}
stop_xvfb() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  fi
}
stop_wine() { wineserver -k >/dev/null 2>&1 || true; }
