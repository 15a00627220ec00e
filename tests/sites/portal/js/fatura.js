// The stand-in portal's invoice form ("Fatura Oluştur"): header, buyer, return references,
// taxes, the line table and totals, notes and saving. Fields the page already has (the buyer
// fields of the form page) are kept; everything else is built here.
//
// Ids follow the portal's page protocol. Line fields are numbered gen__(2000 + 32·row + slot):
// slots 0–8 the base columns, 9–11 the type's columns, from 12 one rate/amount pair per tax in
// the order taxes were added, 31 the row's delete button — so ordering the ids orders the cells.
(function () {
  'use strict';
  var H = window.faturaHesap;
  var ayar = window.siteSwitches || {};

  var PARA = [['TRY', 'Türk Lirası'], ['USD', 'ABD Doları'], ['EUR', 'Euro'],
              ['GBP', 'İngiliz Sterlini'], ['CHF', 'İsviçre Frangı'], ['JPY', 'Japon Yeni'],
              ['RUB', 'Rus Rublesi']];
  var TIP = [['SATIS', 'Satış'], ['IADE', 'İade'], ['TEVKIFAT', 'Tevkifat'],
             ['ISTISNA', 'İstisna'], ['OZELMATRAH', 'Özel Matrah'],
             ['IHRACKAYITLI', 'İhraç Kayıtlı']];
  var ULKE = [['TR', 'Türkiye'], ['DE', 'Almanya'], ['US', 'Amerika Birleşik Devletleri'],
              ['AZ', 'Azerbaycan'], ['BG', 'Bulgaristan'], ['FR', 'Fransa'], ['GE', 'Gürcistan'],
              ['NL', 'Hollanda'], ['GB', 'İngiltere'], ['IQ', 'Irak'], ['IT', 'İtalya'],
              ['KZ', 'Kazakistan'], ['RU', 'Rusya Federasyonu'], ['UA', 'Ukrayna']];
  var BIRIM = ['Gün', 'Ay', 'Yıl', 'Saat', 'Dakika', 'Saniye', 'Adet', 'Paket', 'Kutu', 'mg', 'g',
               'kg', 'lt', 'ton', 'Net Ton', 'Gross ton', 'mm', 'cm', 'm', 'km', 'ml', 'mm3',
               'cm2', 'cm3', 'm2', 'm3', 'kJ', 'cl', 'KARAT', 'KWH', 'MWH', 'Ton baş.taşıma kap.',
               'Brüt kalori', '1000 lt', 'Saf alkol lt', 'kg.m2', 'Hücre adet', 'Çift',
               '1000 m3', 'Set', '1000 adet', 'SCM', 'NCM', 'mmBTU', 'CM³', 'Düzine', 'dm2',
               'dm', 'ha'];
  var KDV = ['0', '1', '8', '10', '18', '20'];
  // Withholding codes and their rates; the 8## codes ask for a confirmation.
  var TEVKIFAT = {'601': 40, '602': 90, '603': 70, '604': 50, '605': 50, '606': 90, '607': 90,
                  '608': 90, '609': 70, '610': 90, '611': 90, '612': 90, '613': 90, '614': 50,
                  '615': 70, '616': 50, '617': 70, '618': 70, '619': 70, '620': 70, '621': 70,
                  '622': 90, '623': 50, '624': 20, '625': 30, '626': 20, '627': 50, '801': 100,
                  '802': 100, '803': 100, '804': 100, '805': 100, '806': 100, '807': 100,
                  '808': 100};
  var OZEL_MATRAH = ['801', '802', '803', '804', '805', '806', '807', '808', '809', '810', '811',
                     '812'];
  var VERGI = [['V9015', 'KDV TEVKİFAT'], ['V0021', 'BANKA VE SİGORTA MUAMELELERİ VERGİSİ'],
               ['V0059', 'KONAKLAMA VERGİSİ'], ['V0061', 'KAYNAK KULLANIMI DESTEKLEME FONU'],
               ['V0071', 'ÖTV (I) SAYILI LİSTE'], ['V0073', 'ÖTV (III) SAYILI LİSTE'],
               ['V1047', 'DAMGA VERGİSİ'], ['V4080', 'ÖZEL İLETİŞİM VERGİSİ'],
               ['V8001', 'BORSA TESCİL ÜCRETİ'], ['V8004', 'TRT PAYI']];

  function el(tag, ozellik, ebeveyn) {
    var e = document.createElement(tag);
    Object.keys(ozellik || {}).forEach(function (k) {
      if (k === 'text') e.textContent = ozellik[k];
      else e.setAttribute(k, ozellik[k]);
    });
    if (ebeveyn) ebeveyn.appendChild(e);
    return e;
  }
  function secim(id, secenekler, ebeveyn) {
    var s = el('select', {id: id}, ebeveyn);
    secenekler.forEach(function (o) { el('option', {value: o[0], text: o[1]}, s); });
    return s;
  }
  function $(id) { return document.getElementById(id); }
  function satirEkle(tablo, etiket) {
    var tr = el('tr', {}, tablo);
    el('td', {text: etiket}, tr);
    return el('td', {}, tr);
  }
  // A field the page may already have (the buyer fields) is left as it is.
  function alan(tablo, etiket, id, yap) {
    if ($(id)) return $(id);
    return yap(satirEkle(tablo, etiket));
  }
  // A date picker: read-only until a script removes "disabled" and makes it a csc-textbox.
  function tarihSecici(td, no) {
    var kutu = el('input', {id: 'date-gen__' + no, type: 'text', class: 'csc-datepicker',
                            disabled: 'disabled'}, td);
    el('span', {id: 'gen__' + no, class: 'csc-datepicker-icon', text: '▦'}, td);
    // tarihGecAcilir: the picker takes typing only 200 ms after it became a text box.
    var acildi = 0;
    new MutationObserver(function () { acildi = Date.now(); })
      .observe(kutu, {attributes: true, attributeFilter: ['class']});
    ['keydown', 'keypress', 'paste', 'beforeinput'].forEach(function (olay) {
      kutu.addEventListener(olay, function (e) {
        if (kutu.className.indexOf('csc-textbox') < 0 ||
            (ayar.tarihGecAcilir && Date.now() - acildi < 200)) e.preventDefault();
      });
    });
    return kutu;
  }

  // ---- Page frame: the form sits in "runtime-body", whose sixth div is the dialog -------------
  var sayfa = $('runtime-body');
  if (!sayfa) { sayfa = document.body; sayfa.id = 'runtime-body'; }
  var alanKutu = $('fatura-alani') || el('div', {id: 'fatura-alani'}, sayfa);

  var baslik = el('table', {id: 'fatura-baslik'}, alanKutu);
  alan(baslik, 'Düzenleme Tarihi', 'date-gen__1026', function (td) { return tarihSecici(td, 1026); });
  alan(baslik, 'Düzenleme Saati', 'date-gen__1027', function (td) {
    return el('input', {id: 'date-gen__1027', type: 'text'}, td);
  });
  // The rate field is the next tab stop after the currency select.
  var paraTd = satirEkle(baslik, 'Para Birimi');
  var para = secim('gen__1028', PARA, paraTd);
  var kur = el('input', {id: 'gen__1029', type: 'text', disabled: 'disabled'}, paraTd);
  para.addEventListener('change', function () {
    if (para.value === 'TRY') { kur.value = ''; kur.setAttribute('disabled', 'disabled'); }
    else kur.removeAttribute('disabled');
    para.focus();
  });
  alan(baslik, 'Fatura Tipi', 'gen__1030', function (td) { return secim('gen__1030', TIP, td); });
  alan(baslik, 'VKN/TCKN', 'gen__1033', function (td) {
    return el('input', {id: 'gen__1033', type: 'text'}, td);
  });
  alan(baslik, 'Unvan', 'gen__1034', function (td) {
    return el('input', {id: 'gen__1034', type: 'text'}, td);
  });
  alan(baslik, 'Adı', 'gen__1035', function (td) {
    return el('input', {id: 'gen__1035', type: 'text'}, td);
  });
  alan(baslik, 'Soyadı', 'gen__1036', function (td) {
    return el('input', {id: 'gen__1036', type: 'text'}, td);
  });
  alan(baslik, 'Vergi Dairesi', 'gen__1041', function (td) {
    return el('input', {id: 'gen__1041', type: 'text'}, td);
  });
  alan(baslik, 'Ülke', 'gen__1042', function (td) { return secim('gen__1042', ULKE, td); });
  alan(baslik, 'Adres', 'gen__1043', function (td) {
    return el('input', {id: 'gen__1043', type: 'text'}, td);
  });
  alan(baslik, 'İrsaliye Numarası', 'gen__1045', function (td) {
    return el('input', {id: 'gen__1045', type: 'text'}, td);
  });
  alan(baslik, 'İrsaliye Tarihi', 'date-gen__1046', function (td) { return tarihSecici(td, 1046); });

  // ---- Return references: each click adds a serial and a date picker, ids in pairs -----------
  var iadeTablo = el('table', {id: 'iade-tablo'}, alanKutu);
  var iadeSayisi = 0;
  el('input', {id: 'gen__1063', type: 'button', value: 'İade Fatura Bilgisi Ekle'}, alanKutu)
      .addEventListener('click', function () {
        var no = 1145 + 2 * iadeSayisi++;
        var td = satirEkle(iadeTablo, 'İade Fatura ' + iadeSayisi);
        el('input', {id: 'gen__' + no, type: 'text'}, td);
        tarihSecici(td, no + 1);
      });

  // ---- Taxes ----------------------------------------------------------------------------------
  var vergiTd = satirEkle(el('table', {id: 'vergi-tablo'}, alanKutu), 'Vergi');
  var vergiSec = secim('gen__1067', VERGI, vergiTd);
  var eklenenVergiler = [];
  var tevkifatVar = false;
  el('input', {id: 'gen__1068', type: 'button', value: 'Vergi Ekle'}, vergiTd)
      .addEventListener('click', function () {
        var kod = vergiSec.value;
        if (kod === 'V9015' ? tevkifatVar : eklenenVergiler.indexOf(kod) >= 0) {
          alert('Bu vergi daha önce eklenmiş.');
          return;
        }
        if (kod === 'V9015') tevkifatVar = true;
        else eklenenVergiler.push(kod);
        kolonlariKur();
        alert('Vergi eklendi.');
      });

  // ---- The line table ---------------------------------------------------------------------------
  var tablo = el('table', {id: 'gen__1069-b'}, alanKutu);
  var basSatir = el('tr', {}, el('thead', {}, tablo));
  var govde = el('tbody', {}, tablo);
  var tip = $('gen__1030');
  var satirlar = [];

  function kolonlar() {
    var k = [{slot: 0, ad: 'Mal Hizmet', tur: 'text', anahtar: 'ad'},
             {slot: 1, ad: 'Miktar', tur: 'text', anahtar: 'miktar'},
             {slot: 2, ad: 'Birim', tur: 'select', anahtar: 'birim',
              secenek: BIRIM.map(function (b, i) { return ['B' + i, b]; })},
             {slot: 3, ad: 'Birim Fiyat', tur: 'text', anahtar: 'fiyat'},
             {slot: 4, ad: 'İskonto Oranı', tur: 'text', anahtar: 'iskontoOrani'},
             {slot: 5, ad: 'İskonto Tutarı', tur: 'rospan', anahtar: 'iskonto'},
             {slot: 6, ad: 'Mal Hizmet Tutarı', tur: 'rospan', anahtar: 'net'},
             {slot: 7, ad: 'KDV Oranı', tur: 'select', anahtar: 'kdvOrani',
              secenek: KDV.map(function (v) { return [v, v]; })},
             {slot: 8, ad: 'KDV Tutarı', tur: 'rospan', anahtar: 'kdv'}];
    if (tevkifatVar) {
      k.push({slot: 9, ad: 'Tevkifat Kodu', tur: 'select', anahtar: 'tevkifatKodu',
              secenek: [['', 'Seçiniz']].concat(Object.keys(TEVKIFAT).sort().map(function (c) {
                return [c, c + ' - Tevkifat (%' + TEVKIFAT[c] + ')'];
              }))});
      k.push({slot: 10, ad: 'Tevkifat Oranı', tur: 'rospan', anahtar: 'tevkifatOrani'});
      k.push({slot: 11, ad: 'Tevkifat Tutarı', tur: 'rospan', anahtar: 'tevkifat'});
    } else if (tip.value === 'ISTISNA') {
      k.push({slot: 9, ad: 'GTİP', tur: 'text', anahtar: 'gtip'});
    } else if (tip.value === 'OZELMATRAH') {
      k.push({slot: 9, ad: 'Özel Matrah Nedeni', tur: 'select', anahtar: 'ozelMatrahNedeni',
              secenek: [['', 'Seçiniz']].concat(OZEL_MATRAH.map(function (c) {
                return [c, c + ' - Özel matrah nedeni'];
              }))});
      k.push({slot: 10, ad: 'Özel Matrah Tutarı', tur: 'text', anahtar: 'ozelMatrah'});
    }
    eklenenVergiler.forEach(function (kod, i) {
      k.push({slot: 12 + 2 * i, ad: kod + ' Oranı', tur: 'text', anahtar: 'oran:' + kod});
      k.push({slot: 13 + 2 * i, ad: kod + ' Tutarı', tur: 'rospan', anahtar: 'tutar:' + kod});
    });
    return k;
  }

  function hucreYap(satir, kolon) {
    var id = 'gen__' + (2000 + 32 * satir.no + kolon.slot);
    var td = el('td', {});
    var e;
    if (kolon.tur === 'text') e = el('input', {id: id, type: 'text'}, td);
    else if (kolon.tur === 'select') e = secim(id, kolon.secenek, td);
    else e = el('span', {id: id, class: 'csc-span rospan', text: '0,00'}, td);
    if (kolon.anahtar === 'tevkifatKodu') tevkifatDavranisi(satir, e);
    if (kolon.anahtar === 'ozelMatrahNedeni') ozelMatrahDavranisi(satir, e);
    e.addEventListener(kolon.tur === 'select' ? 'change' : 'input', hesapla);
    return {td: td, alan: e, kolon: kolon};
  }

  function satiriKur(satir, k) {
    k.forEach(function (kolon) {
      if (!satir.hucre[kolon.anahtar]) satir.hucre[kolon.anahtar] = hucreYap(satir, kolon);
    });
    Object.keys(satir.hucre).forEach(function (a) {
      if (!k.some(function (kolon) { return kolon.anahtar === a; })) {
        satir.hucre[a].td.remove();
        delete satir.hucre[a];
      }
    });
    k.forEach(function (kolon) { satir.tr.insertBefore(satir.hucre[kolon.anahtar].td, satir.silTd); });
  }

  function kolonlariKur() {
    var k = kolonlar();
    basSatir.innerHTML = '';
    el('th', {text: '#'}, basSatir);
    k.forEach(function (kolon) { el('th', {text: kolon.ad}, basSatir); });
    el('th', {text: ''}, basSatir);
    satirlar.forEach(function (s) { satiriKur(s, k); });
    hesapla();
  }

  function yeniSatir() {
    if (satirlar.length >= 250) { alert('En fazla 250 satır eklenebilir.'); return; }
    var no = satirlar.length ? satirlar[satirlar.length - 1].no + 1 : 0;
    var tr = el('tr', {}, govde);
    el('span', {class: 'sira', text: String(satirlar.length + 1)}, el('td', {}, tr));
    var silTd = el('td', {}, tr);
    var satir = {no: no, tr: tr, silTd: silTd, hucre: {}};
    el('input', {id: 'gen__' + (2000 + 32 * no + 31), type: 'button', value: 'Sil'}, silTd)
        .addEventListener('click', function () {
          tr.remove();
          satirlar.splice(satirlar.indexOf(satir), 1);
          hesapla();
        });
    // Switch satir2AlanSil: the second row loses its discount-rate field on its first input.
    if (ayar.satir2AlanSil && satirlar.length === 1)
      tr.addEventListener('input', function sil() {
        tr.removeEventListener('input', sil);
        var alan = $('gen__' + (2000 + 32 * no + 4));
        if (alan) alan.remove();
      });
    satirlar.push(satir);
    satiriKur(satir, kolonlar());
    hesapla();
  }
  el('input', {id: 'gen__1089', type: 'button', value: 'Satır Ekle'}, alanKutu)
      .addEventListener('click', yeniSatir);
  tip.addEventListener('change', kolonlariKur);

  // ---- The dialog: the sixth div of the body, its confirmation at div[2]/div/div/div/input -----
  var diyalog = el('div', {id: 'onay-diyalog', style: 'display:none'});
  el('div', {class: 'diyalog-baslik', text: 'Uyarı'}, diyalog);
  var diyalogGovde = el('div', {class: 'diyalog-govde'}, diyalog);
  var diyalogMetin = el('p', {}, diyalogGovde);
  var onay = el('input', {type: 'button', value: 'Tamam'},
                el('div', {}, el('div', {}, el('div', {}, diyalogGovde))));
  var divler = Array.prototype.filter.call(sayfa.children, function (c) {
    return c.tagName === 'DIV';
  });
  for (var i = divler.length; i < 5; ++i)
    divler.push(el('div', {class: 'bosluk'}, sayfa));
  sayfa.insertBefore(diyalog, divler.length > 5 ? divler[5] : null);
  var onaylaninca = null;
  function diyalogAc(metin, sonra) {
    diyalogMetin.textContent = metin;
    onaylaninca = sonra;
    diyalog.style.display = 'block';
  }
  onay.addEventListener('click', function () {
    diyalog.style.display = 'none';
    if (onaylaninca) onaylaninca();
    onaylaninca = null;
  });

  function tevkifatDavranisi(satir, secimKutusu) {
    secimKutusu.addEventListener('change', function () {
      satir.tevkifatOnay = '';
      var kod = secimKutusu.value;
      if (/^8\d\d$/.test(kod))
        diyalogAc('Tam tevkifat uygulanacaktır, onaylıyor musunuz?', function () {
          satir.tevkifatOnay = kod;
        });
    });
  }
  // Once its dialog is confirmed the reason stays: later keys typed into the select change
  // nothing.
  function ozelMatrahDavranisi(satir, secimKutusu) {
    secimKutusu.addEventListener('change', function () {
      if (satir.ozelMatrahKilit) {
        secimKutusu.value = satir.ozelMatrahKilit;
        return;
      }
      var kod = secimKutusu.value;
      diyalogAc('Özel matrah nedeni seçildi, onaylıyor musunuz?', function () {
        satir.ozelMatrahKilit = kod;
      });
    });
  }

  // ---- Totals -----------------------------------------------------------------------------------
  var toplamTablo = el('table', {id: 'fatura-toplamlari'}, alanKutu);
  function secilenMetin(s) {
    return s.selectedIndex >= 0 ? s.options[s.selectedIndex].text : '';
  }
  function satirVerisi(satir) {
    var d = {};
    Object.keys(satir.hucre).forEach(function (a) {
      var h = satir.hucre[a];
      d[a] = h.kolon.tur === 'rospan' ? h.alan.textContent
           : h.kolon.tur === 'select' ? (a === 'birim' ? secilenMetin(h.alan) : h.alan.value)
           : h.alan.value;
    });
    d.tevkifatOnay = satir.tevkifatOnay || '';
    d.ozelMatrahOnay = satir.ozelMatrahKilit || '';
    return d;
  }
  var sonToplam = null;
  function hesapla() {
    var hesaplar = satirlar.map(function (satir) {
      var d = satirVerisi(satir);
      var h = H.satirHesapla({
        miktar: H.sayiOku(d.miktar), fiyat: H.sayiOku(d.fiyat),
        iskontoOrani: H.sayiOku(d.iskontoOrani), kdvOrani: H.sayiOku(d.kdvOrani),
        tevkifatOrani: TEVKIFAT[d.tevkifatKodu] || 0, ozelMatrah: H.sayiOku(d.ozelMatrah),
        vergiOranlari: eklenenVergiler.map(function (kod) { return H.sayiOku(d['oran:' + kod]); })
      }, tevkifatVar ? 'TEVKIFAT' : tip.value);
      var yaz = function (a, v) { if (satir.hucre[a]) satir.hucre[a].alan.textContent = v; };
      yaz('iskonto', H.paraYaz(h.iskonto));
      yaz('net', H.paraYaz(h.net));
      yaz('kdv', H.paraYaz(h.kdv));
      yaz('tevkifatOrani', String(TEVKIFAT[d.tevkifatKodu] || 0));
      yaz('tevkifat', H.paraYaz(h.tevkifat));
      eklenenVergiler.forEach(function (kod, i) { yaz('tutar:' + kod, H.paraYaz(h.vergiler[i])); });
      return h;
    });
    var t = H.toplamlar(hesaplar);
    if (ayar.toplamBirKurusEksik ||
        (ayar.toplamBirKurusEksikVkn && deger('gen__1033') === ayar.toplamBirKurusEksikVkn))
      t.vergilerDahil = H.yuvarla(t.vergilerDahil - 0.01);
    sonToplam = t;
    toplamTablo.innerHTML = '';
    var rows = [['Mal Hizmet Toplam Tutarı', 'malHizmetToplamTutari', t.malHizmet],
                ['Toplam İskonto', 'toplamIskonto', t.iskonto],
                ['Vergiler Hariç Toplam Tutar', 'vergilerHaricToplamTutar', t.vergilerHaric],
                ['Hesaplanan KDV', 'hesaplananKdv', t.kdv],
                ['Tevkifata Tabi KDV', 'tevkifatKdv', t.tevkifat],
                ['Vergiler Dahil Toplam Tutar', 'vergilerDahilToplamTutar', t.vergilerDahil],
                ['Ödenecek Tutar', 'odenecekTutar', t.odenecek]];
    rows.forEach(function (r) {
      if (ayar.toplamHucresiYok && r[1] === 'vergilerDahilToplamTutar') return;
      var tr = el('tr', {}, toplamTablo);
      el('td', {text: r[0]}, tr);
      el('span', {text: H.paraYaz(r[2])}, el('td', {rel: r[1]}, tr));
    });
  }

  // ---- Notes and saving: each Enter in the notes is a line break and saves the draft -----------
  var notTd = satirEkle(el('table', {id: 'not-tablo'}, alanKutu), 'Not');
  var not = $('gen__1105') || el('textarea', {id: 'gen__1105', rows: '4', cols: '80'}, notTd);
  var belgeAlani = el('div', {id: 'kaydedilen-belgeler'}, alanKutu);
  not.addEventListener('keydown', function (e) {
    if (e.key !== 'Enter') return;
    e.preventDefault();
    var a = not.selectionStart, b = not.selectionEnd;
    not.value = not.value.slice(0, a) + '\n' + not.value.slice(b);
    not.selectionStart = not.selectionEnd = a + 1;
    kaydet();
  });

  function deger(id) { return $(id) ? $(id).value : ''; }
  // The ETTN the portal assigned at the first save, when the form showed none (ettnKayitta); the
  // switch ettnUnutur forgets it, so each Enter makes another draft.
  var atananEttn = '';
  // A refused save is said in a message box: the portal's own (class csc-messagebox), one with
  // role alertdialog, or a JavaScript alert (switch reddiGosterimi "alertdialog" / "alert").
  function reddiGoster(metin) {
    if (ayar.reddiGosterimi === 'alert') { alert(metin); return; }
    var kutu = $('kayit-reddi') ||
        el('div', ayar.reddiGosterimi === 'alertdialog' ? {id: 'kayit-reddi', role: 'alertdialog'}
                                                         : {id: 'kayit-reddi', class: 'csc-messagebox'},
           alanKutu);
    kutu.innerHTML = '';
    el('span', {text: metin}, kutu);
    el('input', {type: 'button', value: 'Tamam'}, kutu).addEventListener('click', function () {
      kutu.remove();
    });
  }
  function kaydet() {
    hesapla();
    var iadeler = [];
    for (var n = 0; n < iadeSayisi; ++n)
      iadeler.push({seri: deger('gen__' + (1145 + 2 * n)), tarih: deger('date-gen__' + (1146 + 2 * n))});
    var taslak = {
      ettn: atananEttn || $('gen__1024').textContent,
      faturaTarihi: deger('date-gen__1026'), saat: deger('date-gen__1027'),
      paraBirimi: secilenMetin(para), dovizKuru: kur.value, faturaTipi: tip.value,
      aliciVkn: deger('gen__1033'), unvan: deger('gen__1034'), adi: deger('gen__1035'),
      soyadi: deger('gen__1036'), vergiDairesi: deger('gen__1041'),
      ulke: secilenMetin($('gen__1042')), adres: deger('gen__1043'),
      irsaliyeNo: deger('gen__1045'), irsaliyeTarihi: deger('date-gen__1046'),
      iadeler: iadeler, tevkifat: tevkifatVar, vergiler: eklenenVergiler.slice(),
      satirlar: satirlar.map(satirVerisi), not: not.value, toplamlar: sonToplam
    };
    // Synchronous, so the draft is kept before the key press that asked for it returns.
    var x = new XMLHttpRequest();
    x.open('POST', '/api/taslak', false);
    x.setRequestHeader('Content-Type', 'application/json');
    x.send(JSON.stringify(taslak));
    if (x.status !== 200) { reddiGoster(x.responseText || 'Belge kaydedilemedi.'); return; }
    var cevap = JSON.parse(x.responseText || '{}');
    if (!ayar.ettnUnutur && cevap.ettn) atananEttn = cevap.ettn;
    // The real portal shows no save answer; the switch kayitCevabi shows one all the same.
    if (ayar.kayitCevabi) {
      var durum = $('kayit-cevabi') || el('div', {id: 'kayit-cevabi', role: 'status'});
      alanKutu.insertBefore(durum, belgeAlani);
      durum.textContent = 'Belgeniz kaydedildi.';
    }
    if (window.belgeListesi) window.belgeListesi.ciz(belgeAlani, null);
  }

  yeniSatir();
  kolonlariKur();
})();
