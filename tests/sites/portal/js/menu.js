// The start page's menu: hidden until the application MAINTREEMENU is chosen; "Belge İşlemleri"
// folds out the document pages.
(function () {
  const secim = document.getElementById('gen__1006');
  const menu = document.getElementById('menu');
  function uygula() {
    menu.hidden = secim.value !== 'MAINTREEMENU';
  }
  secim.addEventListener('change', uygula);
  secim.addEventListener('click', uygula);
  document.getElementById('menu-belge').addEventListener('click', e => {
    e.preventDefault();
    document.getElementById('alt-menu').hidden = false;
  });
})();
