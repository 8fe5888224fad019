(function () {
  var handler = window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers.kwirlFrameShown;
  if (!handler || window === window.top) return;
  window.addEventListener('pageshow', function (e) {
    if (e.isTrusted && location.protocol !== 'about:') handler.postMessage(String(location.href));
  });
})();
