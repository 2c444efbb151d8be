#!/usr/bin/env bash
# Builds Tumbla.exe with the mingw-w64 cross tools and plays a short game
# with it under Wine, in a virtual X server with a window manager (without
# one, Wine stalls on every closed window and draws no title bars): the
# window comes up with a 600 x 400 board, a click on a pair scores, About
# opens and closes, Esc and Yes end the program with exit code 0, and the
# score file was created with its 399 spaces.
#
# Skips (exit 0) only when the cross tools or Wine are not installed.
# Screenshots are kept in build/windows/smoke/.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

# Every wait polls against its own deadline; together they stay under three
# minutes even when each one runs out.
PREFIX_SECONDS=45
WM_SECONDS=10
WINDOW_SECONDS=20
STEP_SECONDS=8
EXIT_SECONDS=10

passed=0
pass() {
  echo "PASS: $*"
  passed=$((passed + 1))
}
# The steps build on each other: the first failure ends the test.
fail() {
  echo "FAIL: $*"
  echo "smoke: $passed passed, 1 failed"
  exit 1
}
skip() {
  echo "skipped: $*"
  exit 0
}

have_any() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 && return 0
  done
  return 1
}
have_any i686-w64-mingw32-g++-posix i686-w64-mingw32-g++-win32 i686-w64-mingw32-g++ ||
  skip "no i686-w64-mingw32 C++ compiler (scripts/install-deps.sh installs g++-mingw-w64-i686-posix)"
have_any i686-w64-mingw32-windres || skip "no i686-w64-mingw32-windres (binutils-mingw-w64-i686)"
have_any wine || skip "no wine (wine, wine32)"
# Tumbla.exe is a 32-bit program: Debian's Wine runs it only with wine32.
if command -v dpkg-query >/dev/null 2>&1 &&
  ! dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q "install ok installed"; then
  skip "no wine32 (i386) for 32-bit programs"
fi
for tool in Xvfb openbox xdotool xprop xwininfo import convert python3; do
  have_any "$tool" || fail "$tool is missing (scripts/install-deps.sh installs it)"
done

started=$(date +%s%N)
elapsed() {
  local ms=$((($(date +%s%N) - started) / 1000000))
  printf '%d.%d s' $((ms / 1000)) $((ms % 1000 / 100))
}

echo "== Windows build"
(cd "$root" && cmake --preset windows >/dev/null && cmake --build --preset windows) ||
  fail "cmake --preset windows && cmake --build --preset windows"
exe=$root/build/windows/Tumbla.exe
[ -f "$exe" ] || fail "$exe was not built"
pass "Tumbla.exe built ($(stat -c %s "$exe") bytes)"

shots=$root/build/windows/smoke
rm -rf "$shots"
mkdir -p "$shots"
tmp=$(mktemp -d /tmp/tumbla-smoke.XXXXXX)
xvfb_pid=""
wm_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -d "$tmp/prefix" ] && WINEPREFIX=$tmp/prefix wineserver -k 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

# poll SECONDS COMMAND...: runs the command every 0.1 s until it succeeds;
# fails when the deadline passes first.
poll() {
  local deadline=$(($(date +%s%N) + $1 * 1000000000))
  shift
  until "$@"; do
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

echo "== Virtual X server and window manager"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
display_ready() { [ -s "$tmp/display" ]; }
poll "$WM_SECONDS" display_ready || fail "Xvfb did not start: $(tail -3 "$tmp/xvfb.log")"
DISPLAY=:$(head -1 "$tmp/display")
export DISPLAY
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
wm_pid=$!
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
poll "$WM_SECONDS" wm_ready || fail "openbox did not take the display"
pass "Xvfb on $DISPLAY with openbox"

echo "== Wine prefix"
export WINEPREFIX=$tmp/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
MENU_RGB="212 208 200"
BACKGROUND_RGB="255 0 255"
prefix_started=$(date +%s%N)
timeout "$PREFIX_SECONDS" wineboot --init >"$tmp/wineboot.log" 2>&1 ||
  fail "wineboot --init: $(tail -3 "$tmp/wineboot.log")"
cat >"$tmp/colours.reg" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\\Control Panel\\Colors]
"Menu"="$MENU_RGB"
"MenuBar"="$MENU_RGB"
"Window"="$BACKGROUND_RGB"
EOF
timeout "$STEP_SECONDS" wine reg import "$tmp/colours.reg" >>"$tmp/wineboot.log" 2>&1 ||
  fail "could not set the prefix's colours: $(tail -3 "$tmp/wineboot.log")"
# The running session keeps the colours it loaded; the game starts a new one.
wineserver -k
pass "fresh prefix in $((($(date +%s%N) - prefix_started) / 1000000)) ms"

echo "== Start"
work=$tmp/work
mkdir -p "$work"
cp "$exe" "$work/Tumbla.exe"
(cd "$work" && exec wine Tumbla.exe >"$tmp/game.log" 2>&1) &
game_pid=$!

window=""
find_main_window() {
  window=$(xdotool search --name '^Tumbla - [0-9]+ points$' 2>/dev/null | head -1)
  [ -n "$window" ]
}
poll "$WINDOW_SECONDS" find_main_window || fail "no window titled 'Tumbla - 0 points' within ${WINDOW_SECONDS} s"
title=$(xdotool getwindowname "$window")
[ "$title" = "Tumbla - 0 points" ] || fail "title after start-up is '$title'"
pass "main window up, title '$title'"

# Wine maps the main window's menu bar and client area into one X window;
# the window manager draws the title bar and frame around it. The prefix
# paints the menu bar in MENU_RGB and window backgrounds (the class brush,
# COLOR_WINDOW + 1) in BACKGROUND_RGB, so in a capture the client area is
# what lies below the menu bar, and any part of it the board leaves
# uncovered shows the background colour.
read -r win_w win_h < <(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')

# analyse PNG: checks the client area and the board in a capture of the main
# window; prints "menu x y coloured": the menu bar's height, the centre of
# the first cell of a pair of touching alike cells, and the share of
# coloured pixels in per cent.
analyse() {
  convert "$1" -depth 8 "rgb:$tmp/capture.rgb" || return 1
  python3 - "$tmp/capture.rgb" "$win_w" "$win_h" "$MENU_RGB" "$BACKGROUND_RGB" <<'PY'
import sys

data = open(sys.argv[1], "rb").read()
width, height = int(sys.argv[2]), int(sys.argv[3])
menu = bytes(int(v) for v in sys.argv[4].split())
background = bytes(int(v) for v in sys.argv[5].split())
COLUMNS, ROWS, CELL_W, CELL_H = 20, 10, 30, 40


def pixel(x, y):
    i = (y * width + x) * 3
    return data[i:i + 3]


def stop(text):
    print(text)
    sys.exit(1)


# The menu bar: the rows from the top that are mostly the menu colour (its
# texts are the rest).
top = 0
while top < height and sum(pixel(x, top) == menu for x in range(width)) * 2 > width:
    top += 1
client_w, client_h = width, height - top
if top == 0 or (client_w, client_h) != (COLUMNS * CELL_W, ROWS * CELL_H):
    stop("client area %dx%d below a %d-pixel menu bar (window %dx%d)" %
         (client_w, client_h, top, width, height))

uncovered = sum(pixel(x, y) == background for y in range(top, height) for x in range(width))
if uncovered:
    stop("%d pixels of the client area show the window background, not the board" % uncovered)

coloured = 0
for y in range(top, height):
    for x in range(width):
        r, g, b = pixel(x, y)
        coloured += max(r, g, b) - min(r, g, b) > 40
share = coloured * 100 // (client_w * client_h)
if share < 15:
    stop("only %d%% of the board is coloured" % share)


def block(column, row):
    x, y = column * CELL_W, top + row * CELL_H
    return b"".join(data[((y + dy) * width + x) * 3:((y + dy) * width + x + CELL_W) * 3]
                    for dy in range(CELL_H))


# A fresh deal shows only the five fruit pictures, each cell exactly on the
# 30 x 40 grid from the client's corner.
kinds = {block(c, r) for c in range(COLUMNS) for r in range(ROWS)}
if len(kinds) > 5:
    stop("the cells show %d different pictures, not at most five fruits" % len(kinds))

for column in range(COLUMNS):
    for row in range(ROWS):
        here = block(column, row)
        if (column + 1 < COLUMNS and block(column + 1, row) == here) or \
           (row + 1 < ROWS and block(column, row + 1) == here):
            print(top, column * CELL_W + CELL_W // 2, top + row * CELL_H + CELL_H // 2, share)
            sys.exit(0)
stop("no two touching cells are alike")
PY
}

# DirectDraw may present a moment after the title changes: look again until
# the board is all there.
result=""
board_shown() {
  import -window "$window" "$shots/board.png" 2>/dev/null && result=$(analyse "$shots/board.png")
}
poll "$STEP_SECONDS" board_shown || fail "board: $result"
read -r menu_h click_x click_y coloured <<<"$result"
pass "client area 600x400 below a ${menu_h}-pixel menu bar, all board (${coloured}% coloured pixels, five kinds of cell)"

echo "== Play"
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool mousemove --window "$window" "$click_x" "$click_y" click 1
scored() { xdotool getwindowname "$window" 2>/dev/null | grep -Eq '^Tumbla - [1-9][0-9]* points$'; }
poll "$STEP_SECONDS" scored || fail "after a click on a pair at ($click_x,$click_y) the title is '$(xdotool getwindowname "$window")'"
pass "click on a pair: '$(xdotool getwindowname "$window")'"
import -window "$window" "$shots/after-click.png" || true

echo "== About"
about_window() { xdotool search --name '^About Tumbla$' 2>/dev/null | head -1; }
about_open() { [ -n "$(about_window)" ]; }
about_gone() { [ -z "$(about_window)" ]; }
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key --clearmodifiers --delay 100 alt+h a
poll "$STEP_SECONDS" about_open || fail "no window 'About Tumbla' after Alt+H, A"
pass "About opened"
# For the screenshot only: wait until the dialog has drawn its texts.
about_drawn() {
  import -window "$(about_window)" "$tmp/about.png" 2>/dev/null &&
    [ "$(identify -format %k "$tmp/about.png")" -gt 8 ]
}
poll "$STEP_SECONDS" about_drawn || true
import -window root "$shots/about.png" || true
xdotool key Return
poll "$STEP_SECONDS" about_gone || fail "'About Tumbla' still open after Enter"
pass "About closed with Enter"

echo "== Quit"
quit_box() { xdotool search --name '^Tumbla$' 2>/dev/null | head -1; }
quit_box_open() { [ -n "$(quit_box)" ]; }
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key Escape
poll "$STEP_SECONDS" quit_box_open || fail "no 'Quit ?' box after Esc"
pass "'Quit ?' box opened"
import -window root "$shots/quit.png" || true
xdotool key Return
game_gone() { ! kill -0 "$game_pid" 2>/dev/null; }
poll "$EXIT_SECONDS" game_gone || fail "Tumbla.exe still running ${EXIT_SECONDS} s after Yes"
wait "$game_pid"
code=$?
game_pid=""
[ "$code" -eq 0 ] || fail "exit code $code"
pass "ended with exit code 0"

score=$work/TUMBLA.HSC
[ -f "$score" ] || fail "no TUMBLA.HSC in the working folder"
size=$(stat -c %s "$score")
others=$(tr -d ' ' <"$score" | wc -c)
{ [ "$size" -eq 399 ] && [ "$others" -eq 0 ]; } || fail "TUMBLA.HSC has $size bytes, $others of them not spaces"
pass "TUMBLA.HSC holds exactly 399 spaces"

echo "Windows smoke test took $(elapsed); screenshots in $shots"
echo "smoke: $passed passed, 0 failed"
