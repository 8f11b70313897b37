/* Runs in the real window on the clan members table (TARVELO_GTK_SCRIPT): sorts a
   column through its header as a user would, both ways, and switches "Больше"/"Меньше".
   Reports through the page title ("CLAN-PAGE OK n" or "CLAN-PAGE FAILED: ..."). */
(function () {
  var failures = [], count = 0;
  function expect(what, actual, wanted) {
    count++;
    if (String(actual) !== String(wanted)) failures.push(what + ' = ' + actual + ', wanted ' + wanted);
  }
  var body = document.getElementById('ClanMembersBody');
  var head = document.getElementById('ClanMembersHead');
  if (!body || !head || body.rows.length < 2) {
    document.title = 'CLAN-PAGE FAILED: no members table with two rows or more';
    return;
  }
  var headers = head.rows[0].cells, battles = -1;
  for (var i = 0; i < headers.length; i++) if (cellText(headers[i]).indexOf('\u0411\u043e\u0451\u0432') == 0) battles = i;  /* "Боёв" */
  expect('a "Боёв" column', battles > 0, true);
  function column(k) {
    var values = [];
    for (var r = 0; r < body.rows.length; r++) values.push(parseInt(cellText(body.rows[r].cells[k]).replace(/[^0-9]/g, '') || '0', 10));
    return values;
  }
  function ordered(values, descending) {
    for (var v = 1; v < values.length; v++) if (descending ? values[v - 1] < values[v] : values[v - 1] > values[v]) return false;
    return true;
  }
  headers[battles].click();
  expect('sorted by battles, most first', ordered(column(battles), true), true);
  expect('rows numbered anew', cellText(body.rows[0].cells[0]), '1');
  headers[battles].click();
  expect('sorted by battles, fewest first', ordered(column(battles), false), true);

  var hidden = null, cells = body.rows[0].cells;
  for (var c = 0; c < cells.length && !hidden; c++) if (hasClass(cells[c], 'hide')) hidden = cells[c];
  expect('a column shown only on "Больше"', hidden != null, true);
  if (hidden) {
    expect('hidden at first', getComputedStyle(hidden).display, 'none');
    var more = document.getElementById('showa');
    more.click();
    expect('shown after "Больше"', getComputedStyle(hidden).display, 'table-cell');
    expect('the switch says "Меньше"', more.textContent.indexOf('\u041c\u0435\u043d\u044c\u0448\u0435') == 0, true);
  }
  document.title = failures.length ? 'CLAN-PAGE FAILED: ' + failures.join('; ') : 'CLAN-PAGE OK ' + count;
})();
