// The button asks the client to load the address again (the message kRetryMessage of error_pages.h).
document.getElementById('retry').onclick = function () {
  var h = window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers.kwirlRetry;
  if (h) h.postMessage('');
};
