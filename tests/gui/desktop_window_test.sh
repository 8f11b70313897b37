#!/usr/bin/env bash
# Drives the real window under a virtual X server.
#   1. Start page: it is shown, the window stands where the settings put it, a screenshot is
#      saved (start_page.png in the output folder), start-up time and memory are printed, and
#      SIGTERM closes the window the normal way, saving its place.
#   2. Search: started with a search request, the page script's own checks run in the shown
#      page, then the search form sends "Zeta" through the page title; the bridge runs it: the
#      caption changes, the searching page and then the error page are shown.
#   3. Question: with no default player name the first search asks in a box "Имя игрока";
#      SIGTERM while it waits closes the box as "Нет", lets the search finish and ends.
#   4. Found: with the hosts pointed at the sample API service and its demo answers, a player
#      and a clan are found, stored in the cache and shown without error messages. In the
#      632-pixel window the corner buttons cover neither the vehicle menu nor the last row at
#      the end of a page, and the clan table, widened and scrolled to its right end, keeps its
#      numbers, names and view selectors in view (narrow_window_check.js).
#   5. Player page: with a week of the player's daily snapshots in the cache, the period view of
#      three days is shown with its day strip and statistic rows; a screenshot is saved
#      (player_page.png). The player is added to the favourites from the page and removed
#      through the list's "x" and its box: the page's lists show each change at once, the
#      page staying as it is (lists_check.js; screenshot favourites_list.png).
#   6. Vehicles: on the all-time page of a player with sixty vehicles, the menu's filter by tier
#      and by class and its sorts by battles and by damage, a detail pop-up, "Больше"/"Меньше"
#      and the corner buttons are driven through the page (player_page_check.js); a
#      screenshot with a pop-up open is saved (player_vehicles.png). The pop-up's large
#      picture and the achievements' wiki come from the hosts of the settings, and no page
#      loads anything from any other host.
#   7. Update: a copy of the program, older than the version page of the site the sample
#      service plays, shows the update notice; the page's "update" command asks in a box
#      "Обновление программы" (screenshot update_question.png), which SIGTERM cancels.
#   8. Alive while waiting: with the sample service holding the search's answer for 5 s, the
#      window shows the waiting page, takes a resize and keeps drawing its moving bar
#      (screenshot waiting_page.png), and SIGTERM ends the program within a second.
#   9. Clan: a clan of 32 members collected through a slow sample service: the progress bar
#      moves member by member, a click on "Прервать" mid-way ends the collection with the
#      note and the rows so far, whose table is sorted by a column and widened by "Больше"
#      through the page (clan_page_check.js); screenshots clan_progress.png and clan_page.png.
#  10. Clan typed in the page: "[STAL]" typed into the start page's search box, the members
#      collected in rounds through a sample service that answers every API request after
#      350 ms; a click on "Прервать" while a round's requests are under way stops the
#      collection before the next round (screenshot clan_typed_break.png), and closing the
#      window while a round is under way ends the program within seconds, no round begun after.
# Usage: desktop_window_test.sh TARVELO_EXECUTABLE OUTPUT_FOLDER SAMPLE_API DEMO_ANSWERS
set -euo pipefail

program=$1
out=$2
sample_api=$3
demo_answers=$4
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${TARVELO_GUI_TEST_INSIDE:-}" ]; then
  export TARVELO_GUI_TEST_INSIDE=1
  session=()
  # A private D-Bus session, so nothing the toolkit starts outlives the test.
  if command -v dbus-run-session >/dev/null; then session=(dbus-run-session --); fi
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "${session[@]}" "$0" "$@"
fi

# WebKit in a container as root: no sandbox; Xvfb has no GPU buffers to share, so the
# page is painted without DMA-BUF and without accelerated compositing.
export WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1
export WEBKIT_DISABLE_DMABUF_RENDERER=1
export WEBKIT_DISABLE_COMPOSITING_MODE=1
export NO_AT_BRIDGE=1
export TARVELO_GTK_TRACE=1
# Leak checking stays on for our code; leaks inside fontconfig, GTK and WebKit are theirs.
export LSAN_OPTIONS="suppressions=$here/toolkit_leaks.supp:print_suppressions=0"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}suppressions=$here/toolkit_ubsan.supp"

fail() {
  echo "FAILED: $*" >&2
  [ -f "${log:-}" ] && { echo "--- program log ---" >&2; cat "$log" >&2; }
  [ -n "${pid:-}" ] && kill -KILL "$pid" 2>/dev/null
  exit 1
}

# wait_for PATTERN SECONDS: until the program's log holds a line with PATTERN.
wait_for() {
  local deadline=$((SECONDS + $2))
  while ! grep -qF -- "$1" "$log"; do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before \"$1\""
    [ $SECONDS -lt $deadline ] || fail "no \"$1\" within $2 s"
    sleep 0.1
  done
}

# prepare NAME: a fresh home, settings and application-data folder for one run.
prepare() {
  run=$out/gui_$1
  rm -rf "$run"
  mkdir -p "$run/home" "$run/config/tarvelo" "$run/appdata"
  cat > "$run/config/tarvelo/settings.ini" <<EOF
[Tarvelo]
DefaultAccount=Someone
UpdateLastCheck=999999

[MainWindow]
Left=40
Top=30
Width=632
Height=822
State=0

[Hosts]
Api=http://127.0.0.1:9
GamePortal=http://127.0.0.1:9
ClanPortal=http://127.0.0.1:9
Replays=http://127.0.0.1:9
Location=http://127.0.0.1:9
Alliance=http://127.0.0.1:9
Site=http://127.0.0.1:9
ExpectedValues=http://127.0.0.1:9/wn8-data-exp/json/wn8exp.json
EOF
  export TARVELO_HOME=$run/home XDG_CONFIG_HOME=$run/config TARVELO_APPDATA=$run/appdata
  log=$run/program.log
}

stop() {
  kill -TERM "$pid"
  await_end
}

# await_end: the program, asked to close, ends within a minute with status 0.
await_end() {
  local deadline=$((SECONDS + 60)) status=0
  while [ -d "/proc/$pid" ] && ! grep -q '^State:.*zombie' "/proc/$pid/status" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "the program did not end within 60 s of SIGTERM"
    sleep 0.1
  done
  wait "$pid" || status=$?
  pid=
  [ $status -eq 0 ] || fail "the program ended with status $status after SIGTERM"
}

# shoot_window FILE: the window's picture. The load is reported before the page is painted:
# shoot until the page shows (text and logos give far more than 50 colours; an unpainted
# window has one).
shoot_window() {
  local deadline=$((SECONDS + 30)) colours
  while :; do
    import -window root "$run/screen.png"
    convert "$run/screen.png" -crop "${width}x${height}+${left}+${top}" +repage "$1"
    colours=$(identify -format %k "$1")
    [ "$colours" -le 50 ] || break
    [ $SECONDS -lt $deadline ] || fail "the screenshot has only $colours colours: the page was not painted"
    sleep 0.5
  done
  echo "screenshot: $1"
}

# start_service ROOT NAME: the sample API service on the answers in ROOT, logging to
# $run/NAME.log; sets service (its pid) and port.
start_service() {
  "$sample_api" --root "$1" --port 0 --log "$run/$2.log" --exit-with-parent > "$run/$2.out" &
  service=$!
  local deadline=$((SECONDS + 30))
  until [ -s "$run/$2.out" ]; do
    [ $SECONDS -lt $deadline ] || fail "the sample API service did not start"
    sleep 0.1
  done
  port=$(head -n 1 "$run/$2.out")
}

# only_configured_hosts: every address the pages loaded from the network was on the sample
# service, the one host of the settings.
only_configured_hosts() {
  local elsewhere
  elsewhere=$(grep -E "^\[tarvelo-gtk\] resource: (https?|wss?|ftp)://" "$log" | grep -vF "resource: http://127.0.0.1:$port/" || true)
  [ -z "$elsewhere" ] || fail "a page reached a host that is not in the settings: $elsewhere"
}

memory_of() {  # resident memory in KiB of the process and its children
  local own children
  own=$(ps -o rss= -p "$1" | tr -d ' ')
  children=$(ps -o rss= --ppid "$1" | awk '{s += $1} END {print s + 0}')
  echo "$own $children"
}

# ---- 1. start page -------------------------------------------------------------------------
prepare start
"$program" > "$run/stdout.txt" 2> "$log" &
pid=$!
wait_for "first page shown" 120
wait_for "Партнеры проекта" 30
grep "first page shown" "$log"

geometry=$(xwininfo -name Tarvelo)
left=$(awk '/Absolute upper-left X/ {print $4}' <<< "$geometry")
top=$(awk '/Absolute upper-left Y/ {print $4}' <<< "$geometry")
width=$(awk '/Width:/ {print $2}' <<< "$geometry")
height=$(awk '/Height:/ {print $2}' <<< "$geometry")
[ "$left,$top,$width,$height" = "40,30,632,822" ] || fail "window at $left,$top size ${width}x$height"

shoot_window "$out/start_page.png"
read -r own children <<< "$(memory_of "$pid")"
echo "memory of the running window: tarvelo $((own / 1024)) MiB + web and network processes" \
     "$((children / 1024)) MiB = $(((own + children) / 1024)) MiB"

stop
# UpdateHours is written only when the settings are saved at close.
settings=$(cat "$run/config/tarvelo/settings.ini")
for line in UpdateHours=6 State=0 Left=40 Top=30 Width=632 Height=822; do
  grep -qx "$line" <<< "$settings" || fail "no $line in the settings saved at close: $settings"
done

# ---- 2. a search sent from the page ----------------------------------------------------------
prepare search
export TARVELO_GTK_SCRIPT
TARVELO_GTK_SCRIPT=$(cat "$here/page_script_check.js")
"$program" "Alpha" > "$run/stdout.txt" 2> "$log" &
pid=$!
wait_for "page text: Поиск информации об игроке Alpha..." 120
wait_for "page title: PAGE-SCRIPT" 60
grep -q "page title: PAGE-SCRIPT OK" "$log" || fail "page script checks: $(grep 'PAGE-SCRIPT' "$log")"
grep -q "page title: \[CMD:\]noop\[PRM:\]x" "$log" || fail "doCmd did not reach the window as a title change"
wait_for "page title: [CMD:]search[PRM:]Zeta" 30
wait_for "caption: Tarvelo - Zeta" 30
wait_for "page text: Поиск информации об игроке Zeta..." 30
# The error page comes after the searching page: the search form and the loader's message.
deadline=$((SECONDS + 30))
until sed -n '/Поиск информации об игроке Zeta/,$p' "$log" | grep -q "page text: + | Имя игрока или \[клантег\]: |.*ОШИБКА"; do
  [ $SECONDS -lt $deadline ] || fail "no error page after the search"
  sleep 0.1
done
caption=$(xprop -name "Tarvelo - Zeta" WM_NAME 2>/dev/null || true)
[ -n "$caption" ] || fail "no window captioned \"Tarvelo - Zeta\""
stop
echo "the search went from the page through the window to the error page"

# ---- 3. a question box, and closing the program while it waits --------------------------
# Closing while the search runs stops it: the box is answered "Нет" and nothing is stored.
prepare question
sed -i '/^DefaultAccount=/d' "$run/config/tarvelo/settings.ini"
unset TARVELO_GTK_SCRIPT
"$program" "Alpha" > "$run/stdout.txt" 2> "$log" &
pid=$!
deadline=$((SECONDS + 60))
until xwininfo -name "Имя игрока" >/dev/null 2>&1; do
  kill -0 "$pid" 2>/dev/null || fail "the program ended before asking for the default name"
  [ $SECONDS -lt $deadline ] || fail "no box captioned \"Имя игрока\""
  sleep 0.1
done
sleep 0.5
import -window root "$out/question_box.png"
stop  # closing answers the box "Нет" and stops the search
if grep -q "^DefaultAccount=" "$run/config/tarvelo/settings.ini"; then fail "the closed box counted as \"Да\""; fi
echo "the default-name question was asked in a box and closing the program answered it"

# ---- 4. searches the sample API service answers ------------------------------------------
prepare found
start_service "$demo_answers" api
sed -i "s|http://127.0.0.1:9|http://127.0.0.1:$port|" "$run/config/tarvelo/settings.ini"

# found_page NAME: the page after the searching page holds the search form and no error.
found_page() {
  local deadline=$((SECONDS + 60))
  until sed -n "/Поиск информации об игроке $1\\|Сбор информации о клане \\[$1\\]/,\$p" "$log" |
        grep -q "page text: + | Имя игрока или \\[клантег\\]: |"; do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before the page of $1"
    [ $SECONDS -lt $deadline ] || fail "no page after the search for $1"
    sleep 0.1
  done
  ! grep -q "ОШИБКА" "$log" || fail "an error message on the page of $1"
}

# narrow_window_checks NAME: the checks of narrow_window_check.js passed on the page of NAME.
narrow_window_checks() {
  wait_for "page title: NARROW" 60
  grep -q "page title: NARROW OK" "$log" || fail "checks in the narrow window on the page of $1: $(grep 'page title: NARROW' "$log")"
}

export TARVELO_GTK_SCRIPT
TARVELO_GTK_SCRIPT=$(cat "$here/narrow_window_check.js")
"$program" "Gromoboy_77" > "$run/stdout.txt" 2> "$log" &
pid=$!
found_page Gromoboy_77
ls "$run"/home/cache/user/4817293/*.json > /dev/null || fail "no snapshot of Gromoboy_77 in the cache"
grep -q "^GET	/api/usercacheget/" "$run/api.log" || fail "the search did not reach the location site"
narrow_window_checks Gromoboy_77
stop

"$program" "[VOLKI]" > "$run/stdout.txt" 2> "$log" &
pid=$!
found_page VOLKI
wait_for "caption: Tarvelo - [VOLKI] Волки Севера" 30
[ -f "$run/home/cache/clan/index/VOLKI=172431.id" ] || fail "no index file of the clan"
narrow_window_checks VOLKI
stop
unset TARVELO_GTK_SCRIPT
kill "$service" 2>/dev/null || true
echo "a player and a clan were found through the sample API service and shown"

# ---- 5. the player page over a week of stored days ------------------------------------------
prepare player
history=$demo_answers/history/4817293
mkdir -p "$run/home/cache/user/4817293"
for file in "$history"/*.json; do
  day=$(basename "$file" .json)
  cp "$file" "$run/home/cache/user/4817293/"
  touch -d "$day 23:50" "$run/home/cache/user/4817293/$day.json"
done
start_service "$demo_answers" api
sed -i "s|http://127.0.0.1:9|http://127.0.0.1:$port|" "$run/config/tarvelo/settings.ini"
export TARVELO_GTK_SCRIPT
TARVELO_GTK_SCRIPT=$(cat "$here/lists_check.js")
TARVELO_NOW=2016-12-05T15:00 "$program" "Gromoboy_77&days=3" > "$run/stdout.txt" 2> "$log" &
pid=$!
found_page Gromoboy_77
wait_for "Семафор" 30
shoot_window "$out/player_page.png"
# The favourites: added from the page, shown in its lists; the "x" asks, "Да" removes.
wait_for "page title: LISTS" 60
grep -q "page title: LISTS ADDED" "$log" || fail "lists checks: $(grep 'page title: LISTS' "$log")"
shoot_window "$out/favourites_list.png"
deadline=$((SECONDS + 30))
until box=$(xdotool search --name "^Удаление записи$" 2>/dev/null | head -n 1) && [ -n "$box" ]; do
  [ $SECONDS -lt $deadline ] || fail "no box captioned \"Удаление записи\": $(grep 'page title: LISTS' "$log")"
  sleep 0.1
done
sleep 0.5
box_geometry=$(xwininfo -id "$box")
xdotool mousemove "$(awk '/Absolute upper-left X/ {print $4 + 10}' <<< "$box_geometry")" \
                  "$(awk '/Absolute upper-left Y/ {print $4 + 10}' <<< "$box_geometry")"
xdotool key Return
deadline=$((SECONDS + 30))
until grep -q "page title: LISTS \(OK\|FAILED\)" "$log"; do
  [ $SECONDS -lt $deadline ] || fail "no end of the lists checks after the box was answered"
  sleep 0.1
done
grep -q "page title: LISTS OK" "$log" || fail "lists checks: $(grep 'page title: LISTS' "$log")"
favourites=$(awk '/^\[/ {inside = ($0 == "[Favorites]")} inside && /=/' "$run/config/tarvelo/settings.ini")
[ -z "$favourites" ] || fail "the favourite was not removed: $favourites"
unset TARVELO_GTK_SCRIPT
stop
kill "$service" 2>/dev/null || true
echo "the player page was shown with its day strip over the stored days"

# ---- 6. the vehicles of a player with many, driven through the page ---------------------
prepare vehicles
# The demo answers, and the contour pictures standing in for the encyclopedia's large ones.
mkdir -p "$run/answers"
for entry in "$demo_answers"/*; do
  [ "$(basename "$entry")" = routes.json ] || ln -s "$entry" "$run/answers/"
done
sed 's|^]}$|, {"path": "/static/2.50.0/wot/encyclopedia/vehicle/", "folder": "pictures"}\n]}|' \
  "$demo_answers/routes.json" > "$run/answers/routes.json"
grep -q '"/static/2.50.0/wot/encyclopedia/vehicle/"' "$run/answers/routes.json" || fail "no route for the large pictures"
start_service "$run/answers" api
sed -i "s|http://127.0.0.1:9|http://127.0.0.1:$port|" "$run/config/tarvelo/settings.ini"
printf '\n[Links]\nWiki=http://127.0.0.1:%s/wiki/\n' "$port" >> "$run/config/tarvelo/settings.ini"
export TARVELO_GTK_SCRIPT
TARVELO_GTK_SCRIPT=$(cat "$here/player_page_check.js")
TARVELO_NOW=2016-12-05T15:00 "$program" "Bronya_Krepka" > "$run/stdout.txt" 2> "$log" &
pid=$!
found_page Bronya_Krepka
wait_for "page title: PLAYER-PAGE" 60
grep -q "page title: PLAYER-PAGE OK" "$log" || fail "vehicle list checks: $(grep 'PLAYER-PAGE' "$log")"
shoot_window "$out/player_vehicles.png"
deadline=$((SECONDS + 30))
until grep -q "^GET	/static/2.50.0/wot/encyclopedia/vehicle/[^/]*\.png	200" "$run/api.log"; do
  [ $SECONDS -lt $deadline ] || fail "the open pop-up did not fetch its large picture from the service"
  sleep 0.1
done
only_configured_hosts
stop
unset TARVELO_GTK_SCRIPT
kill "$service" 2>/dev/null || true
echo "the vehicle list was filtered, sorted and opened in the real page"

# ---- 7. the update notice and question ---------------------------------------------------
prepare update
sed -i '/^UpdateLastCheck=/d' "$run/config/tarvelo/settings.ini"
mkdir -p "$run/bin" "$run/site"
cp "$program" "$run/bin/tarvelo"  # a copy: the build's own file is never offered an update
touch -d "2026-12-01 09:00 UTC" "$run/bin/tarvelo"
cat > "$run/site/routes.json" <<'ROUTES'
{"routes": [{"path": "/Tarvelo.html", "headers": {"Last-Modified": "Tue, 01 Dec 2026 10:00:00 GMT"},
             "body": "2.0\nНовое окно."}]}
ROUTES
start_service "$run/site" site
sed -i "s|^Site=.*|Site=http://127.0.0.1:$port|" "$run/config/tarvelo/settings.ini"
export TARVELO_GTK_SCRIPT="doCmd('update', 'http://127.0.0.1:9/forum')"
"$run/bin/tarvelo" > "$run/stdout.txt" 2> "$log" &
pid=$!
wait_for "Доступна" 120
deadline=$((SECONDS + 60))
until xwininfo -name "Обновление программы" >/dev/null 2>&1; do
  kill -0 "$pid" 2>/dev/null || fail "the program ended before asking about the update"
  [ $SECONDS -lt $deadline ] || fail "no box captioned \"Обновление программы\""
  sleep 0.1
done
sleep 0.5
import -window root "$out/update_question.png"
stop  # closing answers the box "Отмена": nothing is downloaded
unset TARVELO_GTK_SCRIPT
kill "$service" 2>/dev/null || true
grep -q "^GET	/Tarvelo.html" "$run/site.log" || fail "the site was not asked for its version page"
if grep -q "^GET	/Tarvelo?" "$run/site.log"; then fail "a build was downloaded though the question was cancelled"; fi
echo "the update notice was shown in the window and the update question asked in a box"

# ---- 8. the window stays alive while a search waits for the network ----------------------
prepare waiting
mkdir -p "$run/api"
cat > "$run/api/routes.json" <<'ROUTES'
{"routes": [{"path": "/wot/account/list/", "delay_ms": 5000, "body": "{\"status\":\"ok\",\"meta\":{\"count\":0},\"data\":[]}"}]}
ROUTES
start_service "$run/api" api
sed -i "s|http://127.0.0.1:9|http://127.0.0.1:$port|" "$run/config/tarvelo/settings.ini"
"$program" "Terpelivy" > "$run/stdout.txt" 2> "$log" &
pid=$!
deadline=$((SECONDS + 120))
until grep -q "^GET	/wot/account/list/" "$run/api.log" 2>/dev/null; do
  kill -0 "$pid" 2>/dev/null || fail "the program ended before its search reached the service"
  [ $SECONDS -lt $deadline ] || fail "the search did not reach the service"
  sleep 0.05
done
asked=$(date +%s%N)
held_ms() { echo $((($(date +%s%N) - asked) / 1000000)); }
# From here on the answer is 5 s away: everything below needs the window's own event loop.
wait_for "page text: Поиск информации об игроке Terpelivy..." 3
window=$(xdotool search --name "^Tarvelo - Terpelivy$" | head -n 1)
[ -n "$window" ] || fail "no window captioned \"Tarvelo - Terpelivy\""
xdotool windowsize "$window" 900 1000
sleep 0.5
geometry=$(xwininfo -id "$window")
left=$(awk '/Absolute upper-left X/ {print $4}' <<< "$geometry")
top=$(awk '/Absolute upper-left Y/ {print $4}' <<< "$geometry")
width=$(awk '/Width:/ {print $2}' <<< "$geometry")
height=$(awk '/Height:/ {print $2}' <<< "$geometry")
[ "$width,$height" = "900,1000" ] || fail "the window is ${width}x$height after the resize"
# Two pictures of the grown window 0.4 s apart (a third of the bar's period): the moving bar
# of the waiting page is drawn anew only while the window handles its events.
for shot in 1 2; do
  import -window root "$run/screen.png"
  convert "$run/screen.png" -crop "${width}x${height}+${left}+${top}" +repage "$run/waiting_$shot.png"
  sleep 0.4
done
cp "$run/waiting_2.png" "$out/waiting_page.png"
echo "screenshot: $out/waiting_page.png"
changed=$(compare -metric AE "$run/waiting_1.png" "$run/waiting_2.png" null: 2>&1 || true)
[ "${changed%% *}" -gt 0 ] 2>/dev/null || fail "the waiting page did not change between two pictures ($changed pixels)"
[ "$(held_ms)" -lt 4000 ] || fail "the checks took $(held_ms) ms: the answer may have come meanwhile"
if grep -q "page text: + | Имя игрока" "$log"; then fail "the answer came before the checks ended"; fi
kill -TERM "$pid"
closed_at=$(date +%s%N)
while [ -d "/proc/$pid" ] && ! grep -q '^State:.*zombie' "/proc/$pid/status" 2>/dev/null; do
  [ $((($(date +%s%N) - closed_at) / 1000000)) -lt 1000 ] || fail "the program did not end within 1 s of SIGTERM during the search"
  sleep 0.02
done
wait "$pid" || fail "the program ended with status $? when closed during the search"
pid=
echo "closed during the search in $((($(date +%s%N) - closed_at) / 1000000)) ms"
grep -qx "UpdateHours=6" "$run/config/tarvelo/settings.ini" || fail "the settings were not saved when closed during the search"
kill "$service" 2>/dev/null || true
echo "the window repainted a resize and closed at once while the search waited for its answer"

# ---- 9. a clan collected in the window, stopped half-way -----------------------------------
prepare clan
# The same answers, the vehicle statistics of every member after 150 ms.
mkdir -p "$run/answers"
for entry in "$demo_answers"/*; do
  [ "$(basename "$entry")" = routes.json ] || ln -s "$entry" "$run/answers/"
done
sed 's|{"path": "/wot/tanks/stats/"|{"delay_ms": 150, "path": "/wot/tanks/stats/"|' "$demo_answers/routes.json" \
  > "$run/answers/routes.json"
start_service "$run/answers" api
sed -i "s|http://127.0.0.1:9|http://127.0.0.1:$port|; s|^Left=.*|Left=0|; s|^Top=.*|Top=0|; s|^Width=.*|Width=1240|" \
  "$run/config/tarvelo/settings.ini"
export TARVELO_GTK_SCRIPT
TARVELO_GTK_SCRIPT=$(cat "$here/clan_page_check.js")
TARVELO_NOW=2016-12-05T15:00 "$program" "[STAL]" > "$run/stdout.txt" 2> "$log" &
pid=$!
wait_for "progress: 3/32" 60
left=0 top=0 width=1240 height=822
shoot_window "$out/clan_progress.png"
# "Прервать" stands below the waiting page's text, the same place in every run.
xdotool mousemove 411 261 click 1
wait_for "page title: CLAN-PAGE" 60
grep -q "page title: CLAN-PAGE OK" "$log" || fail "clan table checks: $(grep 'CLAN-PAGE' "$log")"
done_members=$(grep -o "progress: [0-9]*/32$" "$log" | tail -n 1 | sed 's|progress: \([0-9]*\)/32|\1|')
[ "$done_members" -ge 3 ] && [ "$done_members" -lt 32 ] || fail "the collection did not stop half-way ($done_members of 32)"
grep -q "progress: 0/32 hidden" "$log" || fail "the progress bar was not hidden after the collection"
grep -Eq "Сбор данных был прерван. Обработано? только $done_members бойц" "$log" ||
  fail "no interruption note for $done_members members"
shoot_window "$out/clan_page.png"
stop
unset TARVELO_GTK_SCRIPT
kill "$service" 2>/dev/null || true
echo "the clan collection showed its progress, stopped on \"Прервать\" after $done_members of 32 members, and its table sorts"

# ---- 10. a clan search typed in the page, stopped while a round of requests is under way ----
# slow_clan_service: the demo answers, every API answer after 350 ms.
slow_clan_service() {
  mkdir -p "$run/answers"
  for entry in "$demo_answers"/*; do
    [ "$(basename "$entry")" = routes.json ] || ln -s "$entry" "$run/answers/"
  done
  sed 's|{"path": "/w\(ot\|gn\)/|{"delay_ms": 350, "path": "/w\1/|' "$demo_answers/routes.json" > "$run/answers/routes.json"
  start_service "$run/answers" api
  sed -i "s|http://127.0.0.1:9|http://127.0.0.1:$port|; s|^Left=.*|Left=0|; s|^Top=.*|Top=0|; s|^Width=.*|Width=1240|" \
    "$run/config/tarvelo/settings.ini"
}

# type_clan_search: the start page shown, "[STAL]" typed into its search box and sent with Enter.
type_clan_search() {
  TARVELO_NOW=2016-12-05T15:00 "$program" > "$run/stdout.txt" 2> "$log" &
  pid=$!
  wait_for "Партнеры проекта" 120
  local window
  window=$(xdotool search --name "^Tarvelo$" | head -n 1)
  [ -n "$window" ] || fail "no window captioned \"Tarvelo\""
  xdotool mousemove 620 400
  xdotool windowfocus "$window" 2>/dev/null || true
  xdotool type --delay 40 "[STAL]"
  xdotool key Return
  wait_for "page title: [CMD:]search[PRM:][STAL]" 30
}

# stats_requests: the vehicle statistics requests the service has read so far.
stats_requests() { grep -c "^GET	/wot/tanks/stats/" "$run/api.log" || true; }

# wait_for_second_round: returns once the first request of the second round of four members
# has reached the service, whose answer is then 350 ms away.
wait_for_second_round() {
  local deadline=$((SECONDS + 120))
  until [ "$(stats_requests)" -ge 5 ]; do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before the second round of requests"
    [ $SECONDS -lt $deadline ] || fail "no second round of vehicle requests"
    sleep 0.02
  done
}

prepare typed_clan
slow_clan_service
type_clan_search
wait_for_second_round
xdotool mousemove 411 261 click 1
wait_for "page title: [CMD:]break" 10
wait_for "progress: 0/32 hidden" 60
wait_for "Сбор данных был прерван" 30
# The break reached the window while the collection ran, not after it.
break_line=$(grep -n -m 1 -F "page title: [CMD:]break" "$log" | cut -d: -f1)
end_line=$(grep -n -m 1 -F "progress: 0/32 hidden" "$log" | cut -d: -f1)
[ "$break_line" -lt "$end_line" ] || fail "the break came only after the collection had ended"
done_members=$(grep -o "progress: [0-9]*/32$" "$log" | tail -n 1 | sed 's|progress: \([0-9]*\)/32|\1|')
[ "$done_members" -ge 4 ] && [ "$done_members" -le 8 ] ||
  fail "the collection went on to $done_members of 32 members after the break in the second round"
[ "$(stats_requests)" -le 8 ] || fail "$(stats_requests) vehicle requests: a round was begun after the break"
grep -Eq "Сбор данных был прерван. Обработано? только $done_members бойц" "$log" ||
  fail "no interruption note for $done_members members"
left=0 top=0 width=1240 height=822
shoot_window "$out/clan_typed_break.png"
stop
kill "$service" 2>/dev/null || true
echo "the clan search typed in the page stopped on \"Прервать\" after $done_members of 32 members"

prepare typed_clan_close
slow_clan_service
type_clan_search
wait_for_second_round
kill -TERM "$pid"
closed_at=$(date +%s%N)
# The window closes once the member under way is done; the ending process's leak check
# after a collection may take a few seconds more.
until grep -q "window closed" "$log"; do
  [ $((($(date +%s%N) - closed_at) / 1000000)) -lt 2000 ] || fail "the window did not close within 2 s of SIGTERM during the collection"
  sleep 0.02
done
close_ms=$((($(date +%s%N) - closed_at) / 1000000))
stop_requests=$(stats_requests)
await_end
[ "$stop_requests" -le 8 ] || fail "$stop_requests vehicle requests: a round was begun after the close"
grep -qx "UpdateHours=6" "$run/config/tarvelo/settings.ini" || fail "the settings were not saved when closed during the collection"
kill "$service" 2>/dev/null || true
echo "closing the window during the typed clan search stopped it in $close_ms ms"
