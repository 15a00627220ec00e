// Loads the sections of a form page in order: the section's HTML first, then its script.
// Fires "bolumler-hazir" on the document when all are in place.
(async function () {
  for (const yer of document.querySelectorAll('[data-bolum]')) {
    const ad = yer.dataset.bolum;
    const cevap = await fetch('/bolumler/' + ad + '.html', { cache: 'no-store' });
    yer.innerHTML = await cevap.text();
    const betik = await fetch('/js/' + ad + '.js', { cache: 'no-store' });
    if (betik.ok) {
      const s = document.createElement('script');
      s.textContent = await betik.text();
      document.body.appendChild(s);
    }
  }
  document.dispatchEvent(new Event('bolumler-hazir'));
})();
