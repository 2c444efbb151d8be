#!/usr/bin/env bash
# Start-up, memory and idle cost of the game against a bare SDL2 program.
#
#   bash bench/startup/measure.sh [RUNS]        (default 7)
#
# In a private Xvfb with openbox, each run starts the game and the floor
# (bench/startup/floor.c) through first_paint, which times exec -> first board
# on screen. Then, with the program idle: resident memory 2 s after the board
# is up, and the processor time it uses over the next 10 s. One warm-up run of
# each is not counted. Needs the dev build of tumbla, startup_floor and
# first_paint (built here when missing).
set -euo pipefail

runs=${1:-7}
idle_seconds=${IDLE_SECONDS:-10}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${BUILD_DIR:-$here/build/dev}
game=$build/shell/tumbla
floor=$build/bench/startup_floor
poller=$build/bench/first_paint

if [[ ! -x $game || ! -x $floor || ! -x $poller ]]; then
    (cd "$here" && { [[ -d $build ]] || cmake --preset dev >/dev/null; } &&
        cmake --build "$build" -j2 --target tumbla startup_floor first_paint >/dev/null)
fi

work=$(mktemp -d /tmp/tumbla-startup.XXXXXX)
started=()
cleanup() {
    local pid
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${started[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

display=
for n in $(seq 90 199); do
    if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then display=:$n; break; fi
done
[[ -n $display ]] || { echo "no free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
started+=($!)
for _ in $(seq 100); do [[ -e /tmp/.X11-unix/X${display#:} ]] && break; sleep 0.05; done
export DISPLAY=$display
openbox >"$work/openbox.log" 2>&1 &
started+=($!)
# openbox is ready once it announces itself on the root window (xprop is in
# x11-utils; without it, give openbox a second).
if command -v xprop >/dev/null; then
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.05
    done
else
    sleep 1
fi

ticks=$(getconf CLK_TCK)

cpu_ticks() {  # utime + stime; the name in parentheses may hold spaces
    local stat rest
    stat=$(<"/proc/$1/stat")
    rest=${stat##*) }
    # shellcheck disable=SC2086
    set -- $rest
    echo $((${12} + ${13}))
}

# run_one NAME PATTERN PROGRAM: appends "first_paint_ms rss_kib idle_cpu_ms" to $work/NAME.
run_one() {
    local name=$1 pattern=$2 program=$3 scratch out line ms pid rss before after poller_pid
    scratch=$(mktemp -d "$work/run.XXXXXX")
    out=$scratch/first_paint.out
    mkdir -p "$scratch/config"
    (cd "$scratch" && XDG_CONFIG_HOME=$scratch/config exec "$poller" "$pattern" 15000 -- \
        "$program" </dev/null >"$out" 2>"$scratch/stderr") &
    poller_pid=$!
    started+=("$poller_pid")
    line=
    for _ in $(seq 400); do
        [[ -s $out ]] && { line=$(head -n1 "$out"); break; }
        kill -0 "$poller_pid" 2>/dev/null || break
        sleep 0.05
    done
    read -r ms pid <<<"$line" || true
    if [[ -z $line || $ms == timeout ]]; then
        echo "$name: no board on screen (see below)" >&2
        cat "$scratch/stderr" >&2
        exit 1
    fi
    sleep 2
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
    before=$(cpu_ticks "$pid")
    sleep "$idle_seconds"
    after=$(cpu_ticks "$pid")
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 60); do kill -0 "$poller_pid" 2>/dev/null || break; sleep 0.05; done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$poller_pid" 2>/dev/null || true
    echo "$ms $rss $(((after - before) * 1000 / ticks))" >>"$work/$name"
    printf '  %-5s %8s ms  %6s KiB  %4s ms CPU idle\n' "$name" "$ms" "$rss" \
        "$(((after - before) * 1000 / ticks))" >&2
}

echo "display $display, $runs runs (+1 warm-up), idle ${idle_seconds}s; load: $(uptime)" >&2
for i in $(seq 0 "$runs"); do
    [[ $i == 0 ]] && echo "warm-up:" >&2 || echo "run $i:" >&2
    run_one game Tumbla "$game"
    run_one floor "startup floor" "$floor"
    if [[ $i == 0 ]]; then rm -f "$work/game" "$work/floor"; fi
done

# stats FILE COLUMN -> "median min max"
stats() {
    sort -g -k"$2,$2" "$1" | awk -v c="$2" '{v[NR]=$c} END {
        m = NR % 2 ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2
        printf "%g %g %g", m, v[1], v[NR]}'
}

echo
printf '%-8s %28s %28s %24s\n' "" "first paint ms (min..max)" "RSS KiB idle (min..max)" \
    "CPU ms/${idle_seconds}s (min..max)"
for name in game floor; do
    read -r pm pn px <<<"$(stats "$work/$name" 1)"
    read -r rm rn rx <<<"$(stats "$work/$name" 2)"
    read -r cm cn cx <<<"$(stats "$work/$name" 3)"
    printf '%-8s %28s %28s %24s\n' "$name" "$pm ($pn..$px)" "$rm ($rn..$rx)" "$cm ($cn..$cx)"
done
read -r gm _ <<<"$(stats "$work/game" 1)"
read -r fm _ <<<"$(stats "$work/floor" 1)"
awk -v g="$gm" -v f="$fm" 'BEGIN {printf "first paint ratio game/floor (medians): %.2f\n", g / f}'
echo "load after: $(uptime)"
