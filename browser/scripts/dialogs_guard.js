// Runs in the page's own world, at the start of every document of every
// frame, before any script of the page. A frame of another site (an advert)
// gets no dialog and no printing: an alert returns at once, a confirm is
// false, a prompt empty; the answers are fixed on the frame's window for good,
// so no script of the frame can put the engine's own back. The portal's top
// page prints only while the person has just acted.
(function (home) {
  function onHome(origin) {
    var match = /^https?:\/\/(\[[^\]]*\]|[^:\/]*)/.exec(origin || '');
    if (!match) return false;
    var host = match[1].toLowerCase();
    return host === home || host.slice(-home.length - 1) === '.' + home;
  }
  function fix(name, value) {
    try {
      Object.defineProperty(window, name, { value: value, writable: false, configurable: false });
    } catch (e) {}
  }
  if (!onHome(self.origin)) {
    fix('alert', function () {});
    fix('confirm', function () { return false; });
    fix('prompt', function () { return ''; });
    fix('print', function () {});
    return;
  }
  // The home site's own: a few in a row, each asked within a second of the
  // one before it was answered; then the call fails, which ends a loop that
  // asks again and again, and the page goes on.
  var answered = -Infinity, inARow = 0;
  function few(name) {
    var ask = window[name];
    window[name] = function () {
      inARow = Date.now() - answered < 1000 ? inARow + 1 : 1;
      answered = Date.now();
      if (inARow > 3) throw new Error('too many dialogs in a row');
      try {
        return ask.apply(window, arguments);
      } finally {
        answered = Date.now();
      }
    };
  }
  ['alert', 'confirm', 'prompt'].forEach(few);
  var print = window.print;
  window.print = function () {
    var acting = navigator.userActivation && navigator.userActivation.isActive;
    if (window === window.top && acting) print.call(window);
  };
})(KWIRL_HOME_HOST);
