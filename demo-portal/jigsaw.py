# SPDX-License-Identifier: MIT
"""The demo portal's jigsaw: the server decides the cut and the starting spread
(pure functions, so they can be tested without a browser), the page's script
draws and plays it."""

import json
import random

# The board: the picture, cut into side x side pieces, in the canvas's top left;
# the loose pieces start in the tray to its right. 600 x 480 divides evenly
# into 2, 4, ..., 12 rows and columns, so every piece has whole-pixel sides.
CANVAS_WIDTH, CANVAS_HEIGHT = 1160, 520
BOARD_LEFT, BOARD_TOP = 20, 20
PICTURE_WIDTH, PICTURE_HEIGHT = 600, 480
TRAY_LEFT = BOARD_LEFT + PICTURE_WIDTH + 20

FLAT, TAB, BLANK = 0, 1, -1
# A tab stands out by at most 0.28 of the piece's shorter side; its sprite
# gets a margin of 0.3 of it all round.
MARGIN_SHARE = 0.3


def cell(side):
    """(width, height, margin) of a piece's cell, in pixels."""
    width, height = PICTURE_WIDTH // side, PICTURE_HEIGHT // side
    return width, height, int(-(-min(width, height) * MARGIN_SHARE // 1))


def piece_edges(side, seed):
    """Each piece's edges, row by row, as [top, right, bottom, left]: flat on the
    picture's border, and inside it a tab on one piece where its neighbour has a
    blank."""
    rnd = random.Random(seed)
    right = [[rnd.choice((TAB, BLANK)) for _ in range(side - 1)] for _ in range(side)]
    down = [[rnd.choice((TAB, BLANK)) for _ in range(side)] for _ in range(side - 1)]
    edges = []
    for r in range(side):
        for c in range(side):
            edges.append([
                -down[r - 1][c] if r > 0 else FLAT,
                right[r][c] if c < side - 1 else FLAT,
                down[r][c] if r < side - 1 else FLAT,
                -right[r][c - 1] if c > 0 else FLAT,
            ])
    return edges


def spread(side, seed):
    """Where each piece's cell starts, row by row: somewhere in the tray, whole
    (tabs included) inside the canvas."""
    width, height, margin = cell(side)
    rnd = random.Random(seed * 31 + side)
    low_x, high_x = TRAY_LEFT + margin, CANVAS_WIDTH - width - margin
    low_y, high_y = margin, CANVAS_HEIGHT - height - margin
    return [[rnd.randint(low_x, max(low_x, high_x)), rnd.randint(low_y, max(low_y, high_y))]
            for _ in range(side * side)]


def game_setup(level, seed):
    side = 2 * level
    width, height, margin = cell(side)
    return {"side": side, "width": width, "height": height, "margin": margin, "seed": seed,
            "left": BOARD_LEFT, "top": BOARD_TOP, "edges": piece_edges(side, seed), "start": spread(side, seed)}


def board_html(pieces):
    return (f"<span id='status'></span> <span id='clock'>0:00</span></p>"
            f"<canvas id='board' width='{CANVAS_WIDTH}' height='{CANVAS_HEIGHT}' data-pieces='{pieces}' "
            f"style='background:#e8e2d4;touch-action:none;user-select:none'></canvas>")


def game_script(level, seed):
    return GAME_SCRIPT.replace("__GAME__", json.dumps(game_setup(level, seed), separators=(",", ":")))


GAME_SCRIPT = """
<script>
(function () {
  'use strict';
  var game = __GAME__;
  var canvas = document.getElementById('board'), ctx = canvas.getContext('2d');
  var status = document.getElementById('status'), clock = document.getElementById('clock');
  var W = game.width, H = game.height, M = game.margin, S = Math.min(W, H), side = game.side;
  var left = game.left, top = game.top, near = Math.max(6, S * 0.3);
  var picture = document.createElement('canvas');
  picture.width = side * W; picture.height = side * H; kwirlPicture(picture, game.seed);

  // A tab's outline along an edge, as (distance from the edge's middle, height
  // outwards) in units of the piece's shorter side; it is symmetric, so a tab
  // and the blank it fits are the same curve run the other way.
  var TAB = [[-0.12, 0, -0.08, 0.05, -0.12, 0.12], [-0.18, 0.22, -0.08, 0.28, 0, 0.28],
             [0.08, 0.28, 0.18, 0.22, 0.12, 0.12], [0.08, 0.05, 0.12, 0, 0.16, 0]];
  function edge(path, x0, y0, x1, y1, kind) {
    if (kind) {
      var len = Math.abs(x1 - x0) + Math.abs(y1 - y0), dx = (x1 - x0) / len, dy = (y1 - y0) / len;
      // Outwards of a clockwise outline (y grows downwards); a blank goes inwards.
      var nx = dy * kind, ny = -dx * kind, mid = len / 2;
      var at = function (a, v) { return [x0 + dx * (mid + a * S) + nx * v * S, y0 + dy * (mid + a * S) + ny * v * S]; };
      var start = at(-0.16, 0);
      path.lineTo(start[0], start[1]);
      TAB.forEach(function (s) {
        var a = at(s[0], s[1]), b = at(s[2], s[3]), c = at(s[4], s[5]);
        path.bezierCurveTo(a[0], a[1], b[0], b[1], c[0], c[1]);
      });
    }
    path.lineTo(x1, y1);
  }
  function outline(e) {
    var path = new Path2D();
    path.moveTo(0, 0);
    edge(path, 0, 0, W, 0, e[0]); edge(path, W, 0, W, H, e[1]);
    edge(path, W, H, 0, H, e[2]); edge(path, 0, H, 0, 0, e[3]);
    path.closePath();
    return path;
  }
  // Each piece is cut out of the picture once, into a sprite of its own.
  function cut(piece) {
    var sprite = document.createElement('canvas');
    sprite.width = W + 2 * M; sprite.height = H + 2 * M;
    var g = sprite.getContext('2d');
    g.translate(M, M);
    g.save(); g.clip(piece.path); g.drawImage(picture, -piece.c * W, -piece.r * H); g.restore();
    g.lineWidth = 1.5; g.strokeStyle = 'rgba(40,28,12,0.6)'; g.stroke(piece.path);
    return sprite;
  }

  var pieces = [], order = [];  // order: the groups, bottom first; placed groups lie below loose ones
  game.edges.forEach(function (e, i) {
    var p = {r: Math.floor(i / side), c: i % side, x: game.start[i][0], y: game.start[i][1], edges: e};
    p.path = outline(e); p.sprite = cut(p);
    p.group = {pieces: [p], placed: false};
    pieces.push(p); order.push(p.group);
  });

  var dirty = false;
  function draw() {
    dirty = false;
    ctx.clearRect(0, 0, canvas.width, canvas.height);
    ctx.fillStyle = '#d8cfbb'; ctx.fillRect(left, top, picture.width, picture.height);
    ctx.globalAlpha = 0.2; ctx.drawImage(picture, left, top); ctx.globalAlpha = 1;
    ctx.strokeStyle = '#8a7f6a'; ctx.strokeRect(left - 0.5, top - 0.5, picture.width + 1, picture.height + 1);
    order.forEach(function (g) {
      g.pieces.forEach(function (p) { ctx.drawImage(p.sprite, Math.round(p.x) - M, Math.round(p.y) - M); });
    });
  }
  // One drawing per frame, however many pointer moves arrive in between.
  function redraw() {
    if (!dirty) { dirty = true; requestAnimationFrame(draw); }
  }

  function pieceAt(x, y) {
    for (var i = order.length - 1; i >= 0 && !order[i].placed; i--) {
      var members = order[i].pieces;
      for (var j = members.length - 1; j >= 0; j--) {
        var p = members[j], lx = x - p.x, ly = y - p.y;
        if (lx > -M && ly > -M && lx < W + M && ly < H + M && ctx.isPointInPath(p.path, lx, ly)) return p;
      }
    }
    return null;
  }
  function shift(g, dx, dy) { g.pieces.forEach(function (p) { p.x += dx; p.y += dy; }); }
  function lift(g) { order.splice(order.indexOf(g), 1); order.push(g); }
  function sink(g) { order.splice(order.indexOf(g), 1); order.unshift(g); }
  function neighbours(p) {
    return [[-1, 0], [1, 0], [0, -1], [0, 1]].map(function (d) {
      var r = p.r + d[0], c = p.c + d[1];
      return r >= 0 && c >= 0 && r < side && c < side ? pieces[r * side + c] : null;
    }).filter(Boolean);
  }
  // `g` joins `other`, moved by (dx, dy) to fit it; the joined group keeps
  // `other`'s place in the order, or goes on top when loose.
  function join(g, other, dx, dy) {
    shift(g, dx, dy);
    g.pieces.forEach(function (p) { p.group = other; other.pieces.push(p); });
    order.splice(order.indexOf(g), 1);
    if (!other.placed) lift(other);
    return other;
  }
  // A dropped group snaps to its place on the board, and to every neighbour
  // it was dropped near, as often as a snap brings it near another.
  function settle(g) {
    for (var moved = true; moved;) {
      moved = false;
      var p0 = g.pieces[0], bx = left + p0.c * W - p0.x, by = top + p0.r * H - p0.y;
      if (!g.placed && Math.abs(bx) < near && Math.abs(by) < near) {
        shift(g, bx, by); g.placed = true; sink(g); moved = true;
      }
      for (var i = 0; i < g.pieces.length && !moved; i++) {
        var p = g.pieces[i], around = neighbours(p);
        for (var k = 0; k < around.length; k++) {
          var n = around[k], other = n.group;
          if (other === g || (g.placed && !other.placed)) continue;
          var dx = n.x - (p.x + (n.c - p.c) * W), dy = n.y - (p.y + (n.r - p.r) * H);
          if (Math.abs(dx) < near && Math.abs(dy) < near) { g = join(g, other, dx, dy); moved = true; break; }
        }
      }
    }
    return g;
  }

  var started = Date.now(), finished = 0;
  function elapsed() {
    var s = Math.floor(((finished || Date.now()) - started) / 1000);
    return Math.floor(s / 60) + ':' + (s % 60 < 10 ? '0' : '') + s % 60;
  }
  function tell() {
    var placed = pieces.filter(function (p) { return p.group.placed; }).length;
    if (placed === pieces.length && !finished) { finished = Date.now(); clearInterval(ticking); }
    status.textContent = finished ? 'Solved! Well done: ' + pieces.length + ' pieces in ' + elapsed() + '.'
                                  : placed + ' of ' + pieces.length + ' pieces in place.';
    clock.textContent = finished ? '' : elapsed();
  }
  var ticking = setInterval(function () { var t = elapsed(); if (clock.textContent !== t) clock.textContent = t; }, 1000);

  // Mouse, pen and touch alike: one pointer drags one group at a time.
  var drag = null;
  function point(e) {
    var b = canvas.getBoundingClientRect();
    var x = (e.clientX - b.left) * canvas.width / b.width, y = (e.clientY - b.top) * canvas.height / b.height;
    // A group follows the pointer only within the canvas, so it cannot be lost.
    return {x: Math.min(Math.max(x, 0), canvas.width), y: Math.min(Math.max(y, 0), canvas.height)};
  }
  canvas.addEventListener('pointerdown', function (e) {
    if (drag || !e.isPrimary || (e.pointerType === 'mouse' && e.button !== 0)) return;
    var q = point(e), p = pieceAt(q.x, q.y);
    if (!p) return;
    e.preventDefault();
    drag = {group: p.group, id: e.pointerId, x: q.x, y: q.y};
    lift(p.group);
    try { canvas.setPointerCapture(e.pointerId); } catch (ignored) {}  // a pointer already gone
    redraw();
  });
  canvas.addEventListener('pointermove', function (e) {
    if (!drag || e.pointerId !== drag.id) return;
    var q = point(e);
    shift(drag.group, q.x - drag.x, q.y - drag.y);
    drag.x = q.x; drag.y = q.y;
    redraw();
  });
  function drop(e) {
    if (!drag || e.pointerId !== drag.id) return;
    var g = drag.group;
    drag = null;
    settle(g);
    redraw(); tell();
  }
  canvas.addEventListener('pointerup', drop);
  canvas.addEventListener('pointercancel', drop);

  // For tests and benchmarks: the pieces in drawing order, and which piece a
  // press at a point of the canvas would take.
  window.kwirlJigsaw = {
    cell: {width: W, height: H, margin: M}, board: {left: left, top: top},
    pieces: function () {
      var out = [];
      order.forEach(function (g) {
        g.pieces.forEach(function (p) {
          out.push({row: p.r, column: p.c, x: p.x, y: p.y, edges: p.edges, placed: g.placed, group: pieces.indexOf(g.pieces[0])});
        });
      });
      return out;
    },
    pieceAt: function (x, y) { var p = pieceAt(x, y); return p ? pieces.indexOf(p) : -1; }
  };
  window.kwirlSolve = function () {  // for tests: every piece in its place
    var all = {pieces: pieces.slice(), placed: true};
    pieces.forEach(function (p) { p.x = left + p.c * W; p.y = top + p.r * H; p.group = all; });
    order = [all];
    redraw(); tell();
  };
  tell(); draw();
})();
</script>
"""
