// The stand-in portal's list of issued documents ("Düzenlenen Belgeler"): a query by date, the
// table "gen__1178-b" (header row, one row per draft in the order they were saved, a closing
// row; cells: check box, number, ETTN, buyer, date, state, total), and "İndir", which sends the
// ticked document's package.
(function () {
  'use strict';

  function el(tag, ozellik, ebeveyn) {
    var e = document.createElement(tag);
    Object.keys(ozellik || {}).forEach(function (k) {
      if (k === 'text') e.textContent = ozellik[k];
      else e.setAttribute(k, ozellik[k]);
    });
    if (ebeveyn) ebeveyn.appendChild(e);
    return e;
  }
  function bugun() {
    var d = new Date();
    var iki = function (n) { return (n < 10 ? '0' : '') + n; };
    return iki(d.getDate()) + '/' + iki(d.getMonth() + 1) + '/' + d.getFullYear();
  }

  // Draws the list of drafts dated from `bas` to today (today only when `bas` is empty) into
  // `kutu`, replacing what it showed before.
  function ciz(kutu, bas) {
    var x = new XMLHttpRequest();
    x.open('GET', '/api/belgeler?bas=' + encodeURIComponent(bas || bugun()) + '&bit=' +
                  encodeURIComponent(bugun()), false);
    x.send();
    var belgeler = x.status === 200 ? JSON.parse(x.responseText) : [];
    var ayar = window.siteSwitches || {};
    if (ayar.yeniBelgeUstte) belgeler.reverse();
    kutu.innerHTML = '';
    var tablo = el('table', {id: 'gen__1178-b'}, kutu);
    var bas_ = el('tr', {}, tablo);
    ['', 'Belge Numarası', 'ETTN', 'Alıcı VKN/TCKN', 'Belge Tarihi', 'Durum', 'Toplam'].forEach(
        function (b) { el('th', {text: b}, bas_); });
    belgeler.forEach(function (b) {
      var tr = el('tr', {}, tablo);
      el('input', {type: 'checkbox', 'data-ettn': b.ettn}, el('td', {}, tr));
      var ettn = ayar.ettnSutunuBos ? '' : b.ettn;
      // A portal that words the states its own way: switch durumMetni, {state: shown text}.
      var durum = (ayar.durumMetni || {})[b.durum] || b.durum;
      [b.belgeNo, ettn, b.aliciVkn, b.tarih, durum, b.toplam].forEach(function (v) {
        el('span', {text: v}, el('td', {}, tr));
      });
    });
    var son = el('tr', {}, tablo);
    el('td', {colspan: '7', text: 'Toplam ' + belgeler.length + ' belge'}, son);
    el('input', {type: 'button', value: 'İndir'}, kutu).addEventListener('click', function () {
      var secili = tablo.querySelector('input[type=checkbox]:checked');
      if (!secili) { alert('Lütfen indirilecek belgeyi seçiniz.'); return; }
      window.location.href = '/indir?ettn=' + encodeURIComponent(secili.getAttribute('data-ettn'));
    });
  }

  // The query page: four date fields (the fourth, the start date, takes a date as it is), "Sorgula"
  // and the list, today's documents first.
  function sorguSayfasi(kutu) {
    var sorgu = el('div', {id: 'belge-sorgu'}, kutu);
    [1170, 1171, 1172].forEach(function (no) {
      el('input', {id: 'date-gen__' + no, type: 'text', class: 'csc-datepicker',
                   disabled: 'disabled', value: bugun()}, sorgu);
    });
    var basTarihi = el('input', {id: 'date-gen__1173', type: 'text'}, sorgu);
    var liste = el('div', {id: 'belge-tablosu'}, kutu);
    el('input', {type: 'button', value: 'Sorgula'}, sorgu).addEventListener('click', function () {
      ciz(liste, basTarihi.value.trim());
    });
    if (!document.getElementById('gen__1008'))
      el('input', {id: 'gen__1008', type: 'button', value: 'Kapat'}, kutu);
    ciz(liste, null);
  }

  window.belgeListesi = {ciz: ciz, sorguSayfasi: sorguSayfasi};
})();
