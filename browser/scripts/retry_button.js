(function () {
  var handler = window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers.kwirlRetry;
  if (!handler) return;
  // The button of the client's own page (pages/error.html), pressed by the person.
  document.addEventListener('click', function (e) {
    if (e.isTrusted && e.target && e.target.id === 'retry') handler.postMessage('');
  }, true);
})();
