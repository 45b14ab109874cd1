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
# One Wine server for a run of many Wine programs. Left to itself the server ends three seconds
# after its last client, and a program that connects just then loses the connection ("wine
# client error:0: recvmsg: Connection reset by peer") and dies. A persistent server never ends
# during the run. It and Wine's service processes (services.exe, rpcss.exe, ...) are started
# here with their input and output on /dev/null: started by the first test instead, they would
# hold the test runner's pipes open. A server left from earlier is ended first, since its
# persistence cannot be changed. stop_wine ends them all.
start_wine() {
  stop_wine
  wineserver -p </dev/null >/dev/null 2>&1 || return 1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || return 1
}
# Safe under set -e: no server to end is not an error.
stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
  timeout -k 5 60 wineserver -w >/dev/null 2>&1 || true
}
