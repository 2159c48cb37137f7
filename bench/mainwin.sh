#!/usr/bin/env bash
# Main window figures: start to main window shown, idle resident memory, and CPU use while
# connected to kesto-sim and polling at 10 Hz. $1 is the build folder.
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
writer="$build/src/app/kesto-writer"
sim="$build/sim/kesto-sim"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export XDG_CONFIG_HOME=${XDG_CONFIG_HOME:-$(mktemp -d)}
[ -x "$writer" ] || { echo "no $writer"; exit 1; }

# Start to shown: median of 7 runs, inside the program (from main() to the first event loop
# turn after show()) and for the whole process (exec to exit, loading the libraries included).
inside=(); whole=()
for _ in 1 2 3 4 5 6 7; do
  t0=$(date +%s%N)
  t=$("$writer" --quit-after-show 2>/dev/null | awk '/^shown_ms/ {print $2}')
  t1=$(date +%s%N)
  inside+=("$t"); whole+=($(( (t1 - t0) / 1000000 )))
done
median() { printf '%s\n' "$@" | sort -n | sed -n 4p; }
echo "start_to_shown_ms median=$(median "${inside[@]}") whole_process_ms median=$(median "${whole[@]}") (target <= 300)"

# Idle resident memory, two seconds after start.
"$writer" >/dev/null 2>&1 &
pid=$!
sleep 2
rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
kill "$pid"; wait "$pid" 2>/dev/null
echo "idle_rss_mb $(awk -v k="$rss" 'BEGIN {printf "%.1f", k / 1024}') (target <= 80)"

# CPU while connected to the bench controller, polling at 10 Hz, over 10 seconds.
if [ ! -x "$sim" ]; then
  echo "connected_cpu_percent skipped: $sim not built"
  exit 0
fi
out=$(mktemp); log=$(mktemp)
"$sim" --wire-rate 115200 --log "$log" >"$out" 2>/dev/null &
simpid=$!
device=""
for _ in $(seq 1 50); do
  device=$(head -1 "$out")
  [ -n "$device" ] && break
  sleep 0.1
done
rm -f "$out"
[ -n "$device" ] || { echo "connected_cpu_percent skipped: kesto-sim printed no device"; kill "$simpid"; exit 0; }
"$writer" --port "$device" --connect >/dev/null 2>&1 &
pid=$!
sleep 4 # handshake (first query after 2 s), then polling
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
polls_before=$(grep -c 'q2~' "$log")
before=$(ticks "$pid"); sleep 10; after=$(ticks "$pid")
polls=$(( $(grep -c 'q2~' "$log") - polls_before ))
kill "$pid" "$simpid"; wait "$pid" "$simpid" 2>/dev/null
rm -f "$log"
echo "connected_cpu_percent $(awk -v d=$((after - before)) -v hz="$hz" 'BEGIN {printf "%.2f", 100 * d / hz / 10}') (target <= 2; $polls polls in 10 s)"
