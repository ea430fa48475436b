#!/bin/bash
# Under a virtual display, as a new user: File > Find Cover Online... opens
# the dialog, a search for "Test Artist" / "Test Album" against stand-ins for
# MusicBrainz and the Cover Art Archive on the loopback address lists the
# release with its thumbnail, and choosing it fills both papers. Leaves two
# screenshots: the dialog with its result ($1-dialog.png) and the papers ($1).
# Usage: scripts/cover-search-xvfb.sh [docs/screenshots/cover-search.png]   (after a build)
set -euo pipefail
cd "$(dirname "$0")/.."
shot=$(realpath -m "${1:-docs/screenshots/cover-search.png}")
bin=$PWD/build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/program" "$work/site"
cp "$bin/Korvane.dat" "$work/program/"
cp -r "$bin/languages" "$work/program/" 2>/dev/null || true

# The pictures: a red front with a title, a blue back.
convert -size 1200x1200 xc:'#b8202a' -fill white -pointsize 110 -gravity center \
  -annotate 0 'Test Album' "$work/site/front.png"
convert -size 1500x1180 xc:'#203a9a' -fill white -pointsize 90 -gravity center \
  -annotate 0 'Back cover' "$work/site/back.png"
convert "$work/site/front.png" -resize 250x250 "$work/site/thumb.png"
id=11111111-1111-4111-8111-111111111111
cat >"$work/stand-in.py" <<PY
import http.server, json, sys
id = "$id"
site = "$work/site"
class H(http.server.BaseHTTPRequestHandler):
    def log_message(self, *a): pass
    def send(self, code, body, kind="application/json", extra=()):
        self.send_response(code)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        for k, v in extra: self.send_header(k, v)
        self.end_headers()
        self.wfile.write(body)
    def do_GET(self):
        base = "http://127.0.0.1:%d" % self.server.server_port
        path = self.path.split("?")[0]
        if path == "/ws/2/release":
            r = {"id": id, "title": "Test Album", "date": "1999-03-01", "country": "DE", "track-count": 11,
                 "artist-credit": [{"name": "Test Artist"}], "media": [{"format": "CD", "track-count": 11}]}
            return self.send(200, json.dumps({"count": 1, "releases": [r]}).encode())
        if path == "/release/" + id:
            images = [{"types": ["Front"], "front": True, "image": base + "/release/%s/1.png" % id,
                       "thumbnails": {"250": base + "/files/thumb.png"}},
                      {"types": ["Back"], "back": True, "image": base + "/release/%s/2.png" % id, "thumbnails": {}}]
            return self.send(200, json.dumps({"images": images}).encode())
        if path.startswith("/release/%s/" % id):
            name = "front.png" if path.endswith("/1.png") else "back.png"
            return self.send(307, b"", "text/plain", [("Location", "/files/" + name)])
        if path.startswith("/files/"):
            return self.send(200, open(site + "/" + path[7:], "rb").read(), "image/png")
        self.send(404, b"{}")
s = http.server.HTTPServer(("127.0.0.1", 0), H)
print(s.server_port, flush=True)
s.serve_forever()
PY
python3 "$work/stand-in.py" >"$work/port" &
server=$!
trap 'kill $server 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
address="http://127.0.0.1:$(cat "$work/port")"
printf '[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\n[Cover Search]\r\nMusicBrainzServer = "%s"\r\nCoverArtServer = "%s"\r\n' \
  "$address" "$address" >"$work/program/Korvane.cfg"

HOME=$work/home XDG_CACHE_HOME=$work/home/.cache KORVANE_HOME=$work/program SHOT=$shot BIN=$bin \
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
set -euo pipefail
"$BIN/korvane" & pid=$!
trap "kill $pid 2>/dev/null || true" EXIT
main=$(xdotool search --sync --onlyvisible --name "^Korvane V" | head -1)
sleep 1
xdotool windowfocus --sync "$main"
xdotool key --delay 200 alt+f f
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name "^Find Cover Online$" | head -1)
echo "opened: $(xdotool getwindowname "$dialog")"
xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 "Test Artist"
xdotool key Tab
xdotool type --delay 20 "Test Album"
xdotool key Return
sleep 3
# The release is the list'"'"'s first row, under its header: click it, then
# double-click it as a user chooses.
xdotool mousemove --window "$dialog" 200 148 click 1
sleep 1
import -window root "${SHOT%.png}-dialog.png"
xdotool mousemove --window "$dialog" 200 148 click --repeat 2 --delay 80 1
sleep 3
if xdotool search --onlyvisible --name "^Find Cover Online$" >/dev/null; then
  echo "the dialog is still open" >&2; import -window root "${SHOT%.png}-failed.png"; exit 1
fi
import -window root "$SHOT"
xdotool windowfocus --sync "$main"
xdotool key --delay 150 alt+f x
wait $pid
trap - EXIT
'
echo "screenshots: ${shot%.png}-dialog.png $shot"
