/* Runs in the real window on a player page whose favourites list is empty (TARVELO_GTK_SCRIPT):
   adds the player through "Добавить в избранные" and removes him again through the list's
   "x", checking each time that the search form's lists show the change without the page
   being loaded anew. After the addition it opens the lists and reports "LISTS ADDED" (for a
   screenshot), then asks for the removal, whose box the test answers; at the end it reports
   "LISTS OK n" or "LISTS FAILED: ...". */
(function () {
  var failures = [], count = 0;
  function expect(what, actual, wanted) {
    count++;
    if (String(actual) !== String(wanted)) failures.push(what + ' = ' + actual + ', wanted ' + wanted);
  }
  function finish() {
    document.title = failures.length ? 'LISTS FAILED: ' + failures.join('; ') : 'LISTS OK ' + count;
  }
  function lists() { return document.querySelector('#top form .addons .inner > span + span > div'); }
  function favourites() {
    var list = lists() ? lists().getElementsByTagName('ul')[0] : null;
    return list ? list.textContent : '';
  }
  /* Calls `then` once `ready` holds, checked every 100 ms; after 10 s in vain, reports. */
  function when(what, ready, then) {
    var tries = 0;
    var timer = setInterval(function () {
      if (!ready() && ++tries < 100) return;
      clearInterval(timer);
      expect(what, ready(), true);
      if (failures.length) finish(); else then();
    }, 100);
  }
  var add = document.querySelector('a[onclick*="addfav"]');
  if (!add || !lists()) {
    document.title = 'LISTS FAILED: no "Добавить в избранные" link or no lists on the page';
    return;
  }
  var name = /addfav','([^']*)'/.exec(add.getAttribute('onclick'))[1];
  window.samePage = true;  /* gone if the page were loaded anew */
  expect('no favourites at first', favourites().indexOf('\u041d\u0435\u0442 \u0437\u0430\u043f\u0438\u0441\u0435\u0439') >= 0, true);
  window.scrollTo(0, 200);
  add.click();
  when('the list shows the added player', function () { return favourites().indexOf(name) >= 0; }, function () {
    expect('the page stayed', window.samePage === true && window.scrollY == 200, true);
    window.scrollTo(0, 0);
    document.querySelector('#top form .addons .inner').click();
    document.title = 'LISTS ADDED';
    setTimeout(function () {
      var remove = lists().querySelector('a.popup');
      expect('the entry can be removed', remove != null, true);
      if (!remove) { finish(); return; }
      remove.click();
      when('the list is empty again', function () {
        return favourites().indexOf(name) < 0 && favourites().indexOf('\u041d\u0435\u0442 \u0437\u0430\u043f\u0438\u0441\u0435\u0439') >= 0;
      }, function () {
        expect('the page stayed after the removal', window.samePage === true, true);
        finish();
      });
    }, 3000);
  });
})();
