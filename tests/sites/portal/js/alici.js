// The buyer part: when the focus leaves the tax-number field holding a number the portal knows,
// the name and tax office are filled in after a while (switch aliciGecikmeMs, 50 ms by default),
// as the portal's own query does. Unknown numbers fill nothing.
(function () {
  const sw = window.siteSwitches || {};
  const gecikme = Number(sw.aliciGecikmeMs ?? 50);
  const kayitlar = Object.assign({
    '1234567890': { unvan: 'ÖRNEK TİCARET LİMİTED ŞİRKETİ', vergiDairesi: 'KADIKÖY' },
    '12345678901': { ad: 'AYŞE', soyad: 'YILDIRIM', vergiDairesi: 'ÇANKAYA' },
  }, sw.mukellefler || {});
  const alan = id => document.getElementById(id);
  const vkn = alan('gen__1033');
  vkn.addEventListener('blur', () => {
    const kayit = kayitlar[vkn.value.trim()];
    if (!kayit) return;
    setTimeout(() => {
      alan('gen__1034').value = kayit.unvan || '';
      alan('gen__1035').value = kayit.ad || '';
      alan('gen__1036').value = kayit.soyad || '';
      alan('gen__1041').value = kayit.vergiDairesi || '';
    }, gecikme);
  });
})();
