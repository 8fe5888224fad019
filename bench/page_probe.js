// SPDX-License-Identifier: MIT
// Put into every page by the benchmarks' portal shim, ahead of the page's own
// scripts. It reports, to the shim, when the page is shown and, on a game page,
// every pointer move and every frame the game draws. Times are wall-clock
// milliseconds, as the benchmark's own clock reads them.
(function () {
  'use strict';
  var clock = function () { return performance.timeOrigin + performance.now(); };
  var report = function (kind, data) {
    var body = JSON.stringify({kind: kind, page: location.href, data: data});
    fetch('/kwirl-bench/report', {method: 'POST', body: body, keepalive: true}).catch(function () {});
  };
  var request = window.requestAnimationFrame.bind(window);

  // Each drawing the page asks for, with the last pointer position it had
  // seen when the drawing began: the position that frame shows.
  var moves = [], frames = [], last = null, hovering = 0;
  window.requestAnimationFrame = function (draw) {
    return request(function (stamp) {
      var begun = clock(), shows = last;
      draw(stamp);
      frames.push([begun, clock(), shows ? shows[0] : null, shows ? shows[1] : null]);
    });
  };
  addEventListener('pointermove', function (e) {
    last = [e.clientX, e.clientY];
    moves.push([clock(), e.clientX, e.clientY]);
    // The benchmark finds the page on the screen from a few moves without a button.
    if (e.buttons === 0 && hovering < 20) { hovering++; report('hover', {x: e.clientX, y: e.clientY}); }
  }, true);
  addEventListener('pointerup', function () {
    // The frames that follow the drop belong to the drag.
    setTimeout(function () {
      report('drag', {moves: moves, frames: frames});
      moves = []; frames = [];
    }, 300);
  }, true);

  addEventListener('load', function () {
    request(function () {
      report('shown', {at: clock()});
      var game = window.kwirlJigsaw, canvas = document.getElementById('board');
      if (!game || !canvas) return;
      // The loose piece on top: a press at its centre takes it.
      var top = game.pieces().filter(function (p) { return !p.placed; }).pop(), b = canvas.getBoundingClientRect();
      report('game', {canvas: [b.left, b.top, b.width, b.height],
                      grab: top ? [b.left + top.x + game.cell.width / 2, b.top + top.y + game.cell.height / 2] : null});
    });
  });
})();
