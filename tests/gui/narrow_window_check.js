/* Runs in the real window, 632 pixels wide, on a player page or a clan members page
   (TARVELO_GTK_SCRIPT). On both, the page ends far enough below its last row, and below an
   open pop-up, for the fixed corner buttons to cover nothing; on the clan page, widened by
   "Больше" and scrolled to its right end, the members' numbers and names and the row of view
   selectors are still in view. Reports through the page title ("NARROW OK n" or
   "NARROW FAILED: ..."), the page scrolled back to its top. */
(function () {
  var failures = [], count = 0;
  function expect(what, actual, wanted) {
    count++;
    if (String(actual) !== String(wanted)) failures.push(what + ' = ' + actual + ', wanted ' + wanted);
  }
  var root = document.documentElement;
  function toEnd() { window.scrollTo(root.scrollWidth, root.scrollHeight); window.dispatchEvent(new Event('resize')); }
  function buttonsTop() {
    return Math.min(document.getElementById('showh').getBoundingClientRect().top,
                    document.getElementById('showa').getBoundingClientRect().top);
  }
  /* The element itself, not a corner button, is what a click on its middle reaches. */
  function onTop(element) {
    var box = element.getBoundingClientRect();
    var hit = document.elementFromPoint(box.left + box.width / 2, box.top + box.height / 2);
    return hit !== null && (hit === element || element.contains(hit));
  }
  function clearOfTheButtons(what, element) {
    var bottom = element.getBoundingClientRect().bottom, top = buttonsTop();
    expect(what + ' above the corner buttons at the end of the page (' + Math.round(bottom) + ', ' + Math.round(top) + ')',
           bottom <= top, true);
  }
  function inView(what, element) {
    var box = element.getBoundingClientRect();
    expect(what + ' in view', box.left >= 0 && box.right <= root.clientWidth && onTop(element), true);
  }

  var members = document.getElementById('ClanMembersBody');
  var menu = document.querySelector('#VehiclesAll .addons .inner');
  if (!members && !menu) {
    document.title = 'NARROW FAILED: neither a clan table nor a vehicle menu on the page';
    return;
  }
  if (menu) {
    menu.click();
    toEnd();
    var labels = menu.children[1].getElementsByTagName('label');
    clearOfTheButtons('the vehicle menu\'s last item', labels[labels.length - 1]);
    document.body.click();
  }
  if (members) {
    document.getElementById('showa').click();
    toEnd();
    expect('the widened table scrolls sideways', window.scrollX > 0, true);
    var foot = document.getElementById('ClanMembersFoot');
    var last = foot.rows[foot.rows.length - 1];
    clearOfTheButtons('the clan average\'s name', last.cells[1]);
    var first = members.rows[0];
    inView('the first member\'s number', first.cells[0]);
    inView('the first member\'s name', first.cells[1].getElementsByTagName('a')[0]);
    window.scrollTo(root.scrollWidth, 0);
    var selectors = document.querySelectorAll('#ClanTagName + thead a');
    expect('four view selectors', selectors.length, 4);
    for (var i = 0; i < selectors.length; i++) inView('the selector "' + selectors[i].textContent + '"', selectors[i]);
    document.getElementById('showa').click();
  }
  window.scrollTo(0, 0);
  document.title = failures.length ? 'NARROW FAILED: ' + failures.join('; ') : 'NARROW OK ' + count;
})();
