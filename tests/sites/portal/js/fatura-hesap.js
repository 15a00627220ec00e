// The stand-in portal's own arithmetic for the invoice form: Turkish number texts in and out, and
// the line and invoice totals as the portal computes them from what was typed into the form.
// Written independently of the program's totals, so the check report compares two computations.
(function () {
  'use strict';

  // "1.234,50" → 1234.5; "" or anything else that is no number → 0.
  function sayiOku(metin) {
    var s = String(metin == null ? '' : metin).trim().replace(/\./g, '').replace(',', '.');
    if (!/^[-+]?\d*(\.\d*)?$/.test(s) || s === '' || s === '.') return 0;
    return parseFloat(s);
  }

  // Kuruş as whole numbers: half a kuruş goes away from zero, after taking off the binary noise.
  function kurus(x) {
    var k = Math.abs(x) * 100;
    var r = Math.floor(k + 0.5 + 1e-7);
    return x < 0 ? -r : r;
  }

  // 1234.5 → "1.234,50"
  function paraYaz(x) {
    var k = kurus(x);
    var eksi = k < 0;
    k = Math.abs(k);
    var tam = String(Math.floor(k / 100));
    var ondalik = String(k % 100);
    if (ondalik.length < 2) ondalik = '0' + ondalik;
    tam = tam.replace(/\B(?=(\d{3})+(?!\d))/g, '.');
    return (eksi ? '-' : '') + tam + ',' + ondalik;
  }

  function yuvarla(x) {
    return kurus(x) / 100;
  }

  // One line as the portal sees it: amounts from quantity, price, discount and rates.
  // satir: {miktar, fiyat, iskontoOrani, kdvOrani, tevkifatOrani, ozelMatrah, vergiOranlari[]}
  function satirHesapla(satir, tur) {
    var brut = yuvarla(satir.miktar * satir.fiyat);
    var iskonto = yuvarla(brut * satir.iskontoOrani / 100);
    var net = yuvarla(brut - iskonto);
    var kdvMatrahi = tur === 'OZELMATRAH' ? satir.ozelMatrah : net;
    var kdv = tur === 'ISTISNA' ? 0 : yuvarla(kdvMatrahi * satir.kdvOrani / 100);
    var tevkifat = tur === 'TEVKIFAT' ? yuvarla(kdv * satir.tevkifatOrani / 100) : 0;
    var vergiler = (satir.vergiOranlari || []).map(function (oran) {
      return yuvarla(net * oran / 100);
    });
    return {brut: brut, iskonto: iskonto, net: net, kdv: kdv, tevkifat: tevkifat,
            vergiler: vergiler};
  }

  function toplamlar(hesaplar) {
    var t = {malHizmet: 0, iskonto: 0, vergilerHaric: 0, kdv: 0, tevkifat: 0, digerVergiler: 0};
    hesaplar.forEach(function (h) {
      t.malHizmet += h.brut;
      t.iskonto += h.iskonto;
      t.vergilerHaric += h.net;
      t.kdv += h.kdv;
      t.tevkifat += h.tevkifat;
      h.vergiler.forEach(function (v) { t.digerVergiler += v; });
    });
    t.vergilerDahil = t.vergilerHaric + t.kdv + t.digerVergiler;
    t.odenecek = t.vergilerDahil - t.tevkifat;
    Object.keys(t).forEach(function (k) { t[k] = yuvarla(t[k]); });
    return t;
  }

  window.faturaHesap = {sayiOku: sayiOku, paraYaz: paraYaz, yuvarla: yuvarla,
                        satirHesapla: satirHesapla, toplamlar: toplamlar};
})();
