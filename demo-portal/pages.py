# SPDX-License-Identifier: MIT
"""Pages of the demo portal. Pure functions of the query: easy to test."""

import html
import struct
import zlib

import jigsaw

# Library page name -> (title, number of puzzles). Some run past ten pages of 40.
LIBRARIES = {
    "puzzle1": ("Zededo zu Dozo Dozariv (free)", 120),
    "puzzle3": ("Big animal puzzle library", 520),
    "pazzle": ("Big fantastic puzzle library", 260),
    "puzzle2": ("Big life puzzle library", 300),
    "puzzle4": ("Big mix puzzle library", 90),
    "puzzle10": ("CRAZY Fantasy ART library (3651 puzzle)", 3651),
    "puzzle5": ("Super Crazy Fantasy Art library", 1000),
    "puzzle6": ("Seaside and harbour library", 75),
    "puzzle7": ("Mountain puzzle library", 410),
}
# The order in which the catalogue page lists them.
CATALOGUE_ORDER = ["puzzle1", "puzzle3", "pazzle", "puzzle2", "puzzle4", "puzzle10", "puzzle5", "puzzle6", "puzzle7"]
PER_PAGE = 40
LEVELS = range(1, 7)

HTML = "text/html; charset=utf-8"
TEXT = "text/plain; charset=utf-8"
PNG = "image/png"


def last(query, key, default=None):
    """The value of the last occurrence of `key`: the client appends, never replaces."""
    value = default
    for k, v in query:
        if k == key:
            value = v
    return value


def last_int(query, key, default, low=None, high=None):
    try:
        value = int(last(query, key, str(default)))
    except ValueError:
        value = default
    if low is not None:
        value = max(low, value)
    if high is not None:
        value = min(high, value)
    return value


def query_string(query):
    return "&".join(f"{k}={v}" for k, v in query)


def current_address(query):
    return "/index.php?" + query_string(query) if query else "/index.php"


def page_for(query, host, scheme="http"):
    """(status, content type, body bytes) for a query on /index.php; the
    catalogue's addresses name the portal by `scheme` and `host`."""
    name = last(query, "name")
    op = last(query, "op")
    if name is None:
        return 200, HTML, home()
    if name == "servstop":
        return 200, TEXT, catalogue(host, scheme)
    if name == "puzzleguide":
        return 200, HTML, guide()
    if name == "awards":
        return 200, HTML, awards()
    if name == "champday":
        return 200, HTML, championship()
    if name == "popup":
        return 200, HTML, popup_page()
    if name == "search":
        return 200, HTML, search(last(query, "q", ""))
    if name in LIBRARIES:
        if op == "picture":
            return 200, PNG, solved_picture(name, last_int(query, "id", 0, 0, LIBRARIES[name][1] - 1))
        if op == "game":
            return 200, HTML, game(name, query)
        if op in ("pz6m", "pz1d"):
            return 200, HTML, puzzle_list(name, query)
        return 200, HTML, library(name)
    return 404, HTML, not_found(name)


STYLE = """
<style>
 body { font-family: sans-serif; margin: 0; background: #f4f1ea; color: #222; }
 header { background: #3b5b7a; color: white; padding: 10px 16px; }
 header a { color: #ffe9a8; margin-right: 14px; }
 main { padding: 12px 16px; }
 .grid { display: flex; flex-wrap: wrap; gap: 10px; }
 .grid.column { flex-direction: column; }
 .tile { width: 150px; background: white; border: 1px solid #ccc; padding: 6px; text-align: center; }
 .tile canvas { width: 138px; height: 92px; }
 .pages a, .pages b { margin-right: 6px; }
</style>
"""

NAV = """
<header><b>Kwirl demo portal</b> &nbsp;
 <a href="/index.php">Home</a><a href="/index.php?name=puzzleguide">Guide</a>
 <a href="/index.php?name=awards">Hall of Awards</a><a href="/index.php?name=champday">Championship</a>
 <a href="/index.php?name=signin">Sign in</a>
</header>
"""

THUMB_SCRIPT = """
<script>
function kwirlPicture(canvas, seed) {
  var ctx = canvas.getContext('2d'), w = canvas.width, h = canvas.height;
  var rnd = function () { seed = (seed * 1103515245 + 12345) % 2147483648; return seed / 2147483648; };
  var g = ctx.createLinearGradient(0, 0, w, h);
  g.addColorStop(0, 'hsl(' + Math.floor(rnd() * 360) + ',70%,60%)');
  g.addColorStop(1, 'hsl(' + Math.floor(rnd() * 360) + ',70%,35%)');
  ctx.fillStyle = g; ctx.fillRect(0, 0, w, h);
  for (var i = 0; i < 18; i++) {
    ctx.beginPath();
    ctx.fillStyle = 'hsla(' + Math.floor(rnd() * 360) + ',80%,' + Math.floor(40 + rnd() * 40) + '%,0.8)';
    ctx.arc(rnd() * w, rnd() * h, 4 + rnd() * w / 6, 0, Math.PI * 2);
    ctx.fill();
  }
  ctx.strokeStyle = 'rgba(255,255,255,0.7)'; ctx.lineWidth = Math.max(1, w / 100);
  for (var j = 0; j < 6; j++) { ctx.beginPath(); ctx.moveTo(rnd() * w, rnd() * h); ctx.lineTo(rnd() * w, rnd() * h); ctx.stroke(); }
}
document.querySelectorAll('canvas[data-seed]').forEach(function (c) { kwirlPicture(c, +c.dataset.seed); });
</script>
"""


def document(title, body):
    text = (f"<!DOCTYPE html><html><head><meta charset='utf-8'><title>{html.escape(title)}</title>{STYLE}</head>"
            f"<body>{NAV}<main><h1>{html.escape(title)}</h1>{body}</main>{THUMB_SCRIPT}</body></html>")
    return text.encode("utf-8")


def library_links():
    return "".join(f"<li><a href='/index.php?name={n}'>{html.escape(LIBRARIES[n][0])}</a> "
                   f"({LIBRARIES[n][1]} puzzles)</li>" for n in CATALOGUE_ORDER)


def home():
    return document("Welcome to the jigsaw portal", f"""
<p>Pick a library, page through its puzzles and play one at the level you like.</p>
<ul>{library_links()}</ul>
<form action="/index.php"><input type="hidden" name="name" value="search">
<input name="q" placeholder="Find a library" aria-label="Find a library"> <button>Find</button></form>
<p><a href="/index.php?name=puzzleguide" target="_blank">Open the guide in a new window</a> &middot;
<a href="#" onclick="window.open('/index.php?name=popup'); return false;">Today's puzzle (pop-up)</a></p>""")


def guide():
    return document("Puzzle guide", """
<p>Drag the pieces from the tray onto the board. A piece dropped close to its place snaps into it, and one
dropped close to a piece it fits joins it: joined pieces move together.</p>
<p>The six number buttons of the client choose the number of pieces on a game page (4 to 144),
page through a library's list, or open a library elsewhere.</p>""")


def awards():
    return document("Hall of Awards", """
<p>This week's winning puzzle, shown in a frame:</p>
<iframe name="winner" src="/index.php?name=puzzle3&op=game&id=7&level=2" width="640" height="420"></iframe>""")


def championship():
    rows = "".join(f"<tr><td>{i}</td><td>Player {chr(64 + i)}</td><td>{1000 - 37 * i}</td></tr>" for i in range(1, 11))
    return document("Championship", f"<table border='1' cellpadding='4'><tr><th>#</th><th>Player</th>"
                                    f"<th>Points</th></tr>{rows}</table>")


def popup_page():
    return document("Today's puzzle", "<p><a href='/index.php?name=puzzle5&op=game&id=3&level=1'>Play it</a></p>")


def search(words):
    found = [n for n in CATALOGUE_ORDER if words.lower() in LIBRARIES[n][0].lower()]
    items = "".join(f"<li><a href='/index.php?name={n}'>{html.escape(LIBRARIES[n][0])}</a></li>" for n in found)
    return document(f"Libraries with \u201c{words}\u201d",
                    f"<ul>{items}</ul>" if found else "<p>No library has that in its name.</p>")


def signin(player):
    """The sign-in page: who is signed in (the portal's cookie), or a form to sign in."""
    if player:
        return document(f"Signed in as {player}", "<p>Your scores are kept under this name.</p>")
    return document("Sign in", """
<form action="/index.php"><input type="hidden" name="name" value="signin">
<input name="player" placeholder="Your name" aria-label="Your name"> <button>Sign in</button></form>""")


def library(name):
    title, count = LIBRARIES[name]
    return document(title, f"""
<p>{count} puzzles in this library.</p>
<p><a href="/index.php?name={name}&op=pz6m&n=0">Show the list</a> &middot;
<a href="/index.php?name={name}&op=pz1d&n=0">Show the list (one column)</a></p>""")


def puzzle_list(name, query):
    title, count = LIBRARIES[name]
    offset = last_int(query, "n", 0)
    page = offset // PER_PAGE if offset >= 0 else -((-offset) // PER_PAGE)
    here = current_address(query)
    first = max(0, page * PER_PAGE)
    tiles = "".join(
        f"<div class='tile'><a href='/index.php?name={name}&op=game&id={i}&level=1'>"
        f"<canvas width='138' height='92' data-seed='{i * 7919 + len(name)}'></canvas><br>Puzzle {i + 1}</a></div>"
        for i in range(first, min(count, first + PER_PAGE)))
    if not tiles:
        tiles = "<p>No puzzles on this page.</p>"
    pages = (count + PER_PAGE - 1) // PER_PAGE
    # Page links append the offset to the whole current address, as the client does.
    def link(to):
        return html.escape(f"{here}&n={to * PER_PAGE}")
    links = []
    if page > 0:
        links.append(f"<a href='{link(page - 1)}'>&lt; Previous</a>")
    for p in range(pages):
        links.append(f"<b>{p + 1}</b>" if p == page else f"<a href='{link(p)}'>{p + 1}</a>")
    if page + 1 < pages:
        links.append(f"<a href='{link(page + 1)}'>Next &gt;</a>")
    # The one-column view stacks the tiles: a long page, as a list on a phone.
    grid = "grid column" if last(query, "op") == "pz1d" else "grid"
    return document(f"{title}: page {page + 1} of {pages}",
                    f"<p class='pages'>{''.join(links)}</p><div class='{grid}'>{tiles}</div>")


def game(name, query):
    title, count = LIBRARIES[name]
    level = last_int(query, "level", 1, 1, 6)
    puzzle = last_int(query, "id", 0, 0, count - 1)
    pieces = (2 * level) ** 2
    body = (f"<p>{html.escape(title)}, puzzle {puzzle + 1}: level {level}, "
            f"<span id='pieces'>{pieces}</span> pieces. "
            f"<a href='/index.php?name={name}&op=picture&id={puzzle}'>Download the picture, solved</a> "
            f"{jigsaw.board_html(pieces)}")
    # The game's script needs the picture painter, which comes last in the page.
    return document(f"Puzzle {puzzle + 1}", body)[:-len("</body></html>")] + \
        (jigsaw.game_script(level, puzzle * 7919 + len(name)) + "</body></html>").encode("utf-8")


def download_name(query):
    """The file name a download of this page is offered under, or None for a page to show."""
    name = last(query, "name")
    if name in LIBRARIES and last(query, "op") == "picture":
        return f"{name}-puzzle-{last_int(query, 'id', 0, 0, LIBRARIES[name][1] - 1) + 1}-solved.png"
    return None


def solved_picture(name, puzzle, width=360, height=240, side=6):
    """A puzzle's picture with all its pieces in place, as a PNG: bands of colour
    that follow the puzzle, and the seams of its side x side pieces."""
    seed = puzzle * 7919 + len(name)
    colours = [((seed * (i + 3) * 37) % 200 + 40, (seed * (i + 5) * 53) % 200 + 40, (seed * (i + 7) * 71) % 200 + 40)
               for i in range(side)]
    rows = []
    for y in range(height):
        row = bytearray(b"\0")  # no filter
        for x in range(width):
            seam = x % (width // side) == 0 or y % (height // side) == 0
            r, g, b = colours[(x * side // width + y * side // height) % side]
            row += bytes((255, 255, 255)) if seam else bytes((r, g, b))
        rows.append(bytes(row))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(b"".join(rows), 9))
            + chunk(b"IEND", b""))


def catalogue(host, scheme="http"):
    """The catalogue page: entries in the page form the client reads.

    The page form writes an address's "ht" as one character and its first
    "zZz" as "z3z"; each entry is followed by a line end, and the page ends
    with enough text that every entry stays intact."""
    lines = ["<html><body>"]
    for name in CATALOGUE_ORDER:
        address = f"{scheme}://{host}/index.php?name={name}&op=pz6m&src=zZz"
        page_form = "X" + address[2:].replace("zZz", "z3z", 1)
        lines.append(f'<kk ref="{page_form}">{LIBRARIES[name][0]}</kk>')
    lines.append("</body></html>")
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


def not_found(what):
    return document("Page not found", f"<p>There is no page {html.escape(str(what))}.</p>")
