(function () {
  var handler = window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers.kwirlTextFocus;
  if (!handler) return;
  var plain = /^(button|checkbox|radio|submit|reset|image|range|color|file|hidden)$/i;
  function typedInto(e) {
    if (!e) return false;
    if (e.isContentEditable || e.tagName === 'TEXTAREA') return true;
    return e.tagName === 'INPUT' && !plain.test(e.type || '');
  }
  // Only the focus as it really moves: an event a page makes up tells nothing.
  // A text field is told with its frame's origin, whose site decides whether
  // the keys typed there are the page's own ("null" in a sandbox: no site's).
  document.addEventListener('focusin', function (e) {
    if (e.isTrusted) handler.postMessage(typedInto(e.target) ? String(self.origin) : false);
  }, true);
  document.addEventListener('focusout', function (e) { if (e.isTrusted) handler.postMessage(false); }, true);
})();
