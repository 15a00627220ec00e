// The form's header: a fresh ETTN for the draft (none with the switch ettnKayitta: the portal
// assigns it at the first save) and the logged-in taxpayer's number.
(function () {
  const sw = window.siteSwitches || {};
  document.getElementById('gen__1024').textContent =
      sw.ettnKayitta ? '' : sw.ettn || crypto.randomUUID().toUpperCase();
  document.getElementById('gen__1005').textContent = sw.mukellefVkn || '1111111111';
})();
