// A stand-in of the Interactive Tax Office: captcha login, the search box with its favourite
// entries, and the "E-Arşiv Faturalarım" query answering from the server's invoice fixture.
// Ids, classes, captions and messages follow the real site's page protocol.
'use strict';

const app = document.getElementById('gen__1000-app');
const switches = window.siteSwitches || {};
const pageSize = switches.pageSize || 1000;

function el(tag, attrs, text) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attrs || {})) e.setAttribute(k, v);
  if (text !== undefined) e.textContent = text;
  return e;
}

// The site's message box: the text in the first span of the first cell, and a "Tamam" button
// that puts it away (and then does `then`, when given).
function messageBox(text, spanClass, then) {
  const box = el('div', { class: 'csc-msgbox' });
  const table = el('table');
  const row = el('tr');
  const cell = el('td');
  cell.appendChild(el('span', spanClass ? { class: spanClass } : {}, text));
  row.appendChild(cell);
  table.appendChild(row);
  const buttons = el('tr');
  const buttonCell = el('td');
  const ok = el('input', { type: 'button', value: 'Tamam' });
  ok.addEventListener('click', () => {
    box.remove();
    if (then) then();
  });
  buttonCell.appendChild(ok);
  buttons.appendChild(buttonCell);
  table.appendChild(buttons);
  box.appendChild(table);
  document.body.appendChild(box);
}

// The captcha picture: the code the server chose, drawn with some noise.
function drawCaptcha(code) {
  const canvas = el('canvas', { width: 180, height: 60 });
  const g = canvas.getContext('2d');
  g.fillStyle = '#f4f0e0';
  g.fillRect(0, 0, 180, 60);
  g.strokeStyle = '#9a9';
  for (let i = 0; i < 8; ++i) {
    g.beginPath();
    g.moveTo(Math.random() * 180, Math.random() * 60);
    g.lineTo(Math.random() * 180, Math.random() * 60);
    g.stroke();
  }
  g.font = 'bold 30px sans-serif';
  g.fillStyle = '#233';
  [...code].forEach((c, i) => g.fillText(c, 12 + i * 27, 40 + (i % 2 ? 6 : -4)));
  return canvas.toDataURL('image/png');
}

async function showLogin() {
  const answer = await (await fetch('/captcha.json', { cache: 'no-store' })).json();
  const form = el('div', { id: 'gen__1057-login' });
  form.appendChild(el('label', {}, 'Kullanıcı Kodu'));
  form.appendChild(el('input', { id: 'gen__1058', type: 'text' }));
  form.appendChild(el('label', {}, 'Şifre'));
  form.appendChild(el('input', { id: 'gen__1059', type: 'password' }));
  const picture = el('img', { id: 'gen__1061', alt: 'Güvenlik kodu' });
  form.appendChild(picture);
  await new Promise((resolve) => {
    picture.onload = resolve;
    picture.src = drawCaptcha(answer.code);
  });
  form.appendChild(el('input', { id: 'gen__1064', type: 'text' }));
  const submit = el('input', { id: 'gen__1068', type: 'button', value: 'Giriş Yap' });
  submit.addEventListener('click', login);
  form.appendChild(submit);
  app.appendChild(form);
}

async function login() {
  const body = {
    user: document.getElementById('gen__1058').value,
    password: document.getElementById('gen__1059').value,
    captcha: document.getElementById('gen__1064').value,
  };
  const answer = await (await fetch('/login', { method: 'POST', body: JSON.stringify(body) })).json();
  if (answer.message) {
    messageBox(answer.message);
    return;
  }
  app.textContent = '';
  showMain();
}

const favourites = ['E-Arşiv Faturalarım (Eski Liste)', 'E-Arşiv Faturalarım', 'E-Arşiv Portal',
                    'Borç Durumu'];

function showMain() {
  const search = el('input', { id: 'gen__1017-searchBox', type: 'text' });
  const list = el('div', { id: 'gen__1018-favorites' });
  search.addEventListener('input', () => {
    list.textContent = '';
    const typed = search.value.toLocaleLowerCase('tr');
    if (!typed) return;
    for (const name of favourites.filter((f) => f.toLocaleLowerCase('tr').includes(typed))) {
      const entry = el('div', { class: 'favoriteClass' }, name);
      entry.addEventListener('click', () => (name === 'E-Arşiv Faturalarım' ? showQuery() : null));
      list.appendChild(entry);
    }
  });
  app.appendChild(search);
  app.appendChild(list);
}

function parseDate(text) {
  const m = /^(\d\d)-(\d\d)-(\d\d\d\d)$/.exec(text.trim());
  return m ? Number(m[3] + m[2] + m[1]) : null;
}

let fixture = null;
let queriesAsked = 0;
async function invoices() {
  if (!fixture) fixture = await (await fetch('/invoices.json', { cache: 'no-store' })).json();
  return fixture;
}

function showQuery() {
  const old = document.getElementById('gen__1100-page');
  if (old) old.remove();
  const page = el('div', { id: 'gen__1100-page' });
  const fields = el('fieldset', { class: 'csc-form-fieldset' });
  fields.appendChild(el('legend', {}, 'E-Arşiv Faturalarım'));
  fields.appendChild(el('label', {}, 'Başlangıç Tarihi'));
  const from = el('input', { id: 'date-gen__1101', type: 'text' });
  fields.appendChild(from);
  fields.appendChild(el('label', {}, 'Bitiş Tarihi'));
  const to = el('input', { id: 'date-gen__1102', type: 'text' });
  fields.appendChild(to);
  const ask = el('input', { id: 'gen__1103', type: 'button', value: 'Sorgula' });
  const again = el('input', { id: 'gen__1104', type: 'button', value: 'Yeni Sorgu' });
  fields.appendChild(ask);
  fields.appendChild(again);
  const results = el('div', { id: 'gen__1110-results' });
  page.appendChild(fields);
  page.appendChild(results);
  app.appendChild(page);

  ask.addEventListener('click', async () => {
    // A session that expired or a server that failed: the site answers a query with its message
    // box in place of the table, from the queryErrorAt-th query on (the first by default).
    ++queriesAsked;
    if (switches.queryError && queriesAsked >= (switches.queryErrorAt || 1)) {
      setTimeout(() => messageBox(switches.queryError, 'csc-msgbox-msg-span'), 80);
      return;
    }
    // The session ended (from the sessionEndsAt-th query on): the site's box asks for a new
    // login, and its "Tamam" leads back to the login page.
    if (switches.sessionEndsAt && queriesAsked >= switches.sessionEndsAt) {
      setTimeout(() => messageBox('Oturumunuz sona erdi. Lütfen tekrar giriş yapınız.', '', () => {
        app.textContent = '';
        showLogin();
      }), 80);
      return;
    }
    const first = parseDate(from.value);
    const last = parseDate(to.value);
    if (first === null || last === null) {
      messageBox('Lütfen tüm alanları eksiksiz doldurarak tekrar deneyin!');
      return;
    }
    const found = (await invoices()).filter((row) => {
      const d = parseDate(row[3]);
      return d !== null && d >= first && d <= last;
    });
    // The real site answers after a round trip to its server.
    setTimeout(() => showResults(results, found), 80);
  });
  again.addEventListener('click', () => {
    from.value = '';
    to.value = '';
    results.textContent = '';
  });
}

const headings = ['Satıcı', 'Vergi/TC Kimlik No', 'Fatura No', 'Düzenleme Tarihi',
                  'Düzenleme Zamanı', 'Toplam Tutar', 'Ödenecek Tutar', 'Vergiler Toplamı',
                  'Para Birimi', 'Tesisat Numarası', 'Gönderim Şekli'];

// A range without invoices: the notice in the site's box over a paging text of 0, or in another
// wording (switch noResultNotice), or the box alone without its span class and paging text
// (switch noResultBare).
function showResults(results, found) {
  results.textContent = '';
  if (found.length === 0 && switches.noResultBare) {
    messageBox(switches.noResultNotice || 'Aradığınız kriterlere uygun kayıt bulunamadı.');
    return;
  }
  results.appendChild(el('span', { class: 'csc-table-paging-info' },
                         'Toplam Kayıt Sayısı: ' + found.length));
  if (found.length === 0) {
    messageBox(switches.noResultNotice || 'Aradığınız kriterlere uygun kayıt bulunamadı.',
               'csc-msgbox-msg-span');
    return;
  }
  const table = el('table', { id: 'gen__1150-t', rel: 'faturaTable' });
  const head = el('thead', { id: 'gen__1150-h' });
  const headRow = el('tr');
  for (const h of headings) headRow.appendChild(el('th', {}, h));
  head.appendChild(headRow);
  table.appendChild(head);
  const body = el('tbody', { id: 'gen__1150-b' });
  let counter = 1201;
  for (const row of found.slice(0, pageSize)) {
    const tr = el('tr');
    for (const cell of row) {
      const td = el('td');
      td.appendChild(el('span', { id: 'gen__' + counter++ }, cell));
      tr.appendChild(td);
    }
    body.appendChild(tr);
  }
  table.appendChild(body);
  results.appendChild(table);
}

showLogin();
