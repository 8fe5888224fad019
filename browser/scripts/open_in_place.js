(function () {
  var handler = window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers.kwirlNewWindow;
  if (!handler) return;
  window.open = function (url) {
    var address = '';
    try { if (url !== undefined && url !== null && String(url) !== '') address = new URL(String(url), document.baseURI).href; } catch (e) {}
    handler.postMessage(address);
    return null;
  };
})();
