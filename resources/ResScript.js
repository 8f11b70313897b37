/* Tarvelo page script. A page talks to the program only through its title (doCmd);
   everything else here rearranges the page in place. */

var openedPopup = null;      /* the ".inner" element whose pop-up is open */
var skipBodyClick = false;   /* the click that opened a pop-up must not close it */
var initial_sort_id = 2;
var initial_sort_up = 0;
var defsort = [0, 0];        /* columns 0 and 1 start ascending, all others descending */

function doCmd(c, p) {
  var title = '[CMD:]' + c + '[PRM:]' + (p === undefined || p === null ? '' : p);
  document.title = title;
  /* Put the ordinary title back afterwards, so that the same command given again later is
     seen as a new title. */
  setTimeout(function () { if (document.title == title) document.title = 'Tarvelo'; }, 0);
  return false;
}

/* ---- small helpers ---- */

/* An address the program writes into the page's head as <meta name="tarvelo-NAME">: the
   page itself knows no host. Empty when the page has none. */
function pageAddress(name) {
  var metas = document.getElementsByTagName('meta');
  for (var i = 0; i < metas.length; i++) if (metas[i].name == 'tarvelo-' + name) return metas[i].content;
  return '';
}

function Trim(s) {
  return String(s).replace(/^[\s\u00a0]+|[\s\u00a0]+$/g, '');
}

function romeToDec(s) {
  var values = { I: 1, V: 5, X: 10, L: 50, C: 100, D: 500, M: 1000 };
  var text = Trim(s).toUpperCase(), total = 0;
  for (var i = 0; i < text.length; i++) {
    var v = values[text.charAt(i)] || 0;
    var next = values[text.charAt(i + 1)] || 0;
    total += v < next ? -v : v;
  }
  return total;
}

function getNum(s) {
  return String(s).replace(/[^0-9]/g, '');
}

function sortNum(a, b) {
  return a - b;
}

function sortStr(a, b) {
  var x = String(a).toLowerCase(), y = String(b).toLowerCase();
  return x < y ? -1 : (x > y ? 1 : 0);
}

function keyNumber(s) {
  var text = String(s).replace(/&nbsp;/g, '').replace(/[\s\u00a0]/g, '').replace(/,/g, '.');
  return parseFloat(text);
}

/* The first number in a text ("[2 100]", "55,10%"), 0 when there is none. */
function firstNumber(s) {
  var m = /-?[0-9]+(\.[0-9]+)?/.exec(String(s).replace(/&nbsp;/g, '').replace(/[\s\u00a0]/g, '').replace(/,/g, '.'));
  return m ? parseFloat(m[0]) : 0;
}

function compare(a, b) {
  var x = keyNumber(a), y = keyNumber(b);
  if (!isNaN(x) && !isNaN(y) && x != 0 && y != 0) return sortNum(x, y);
  return sortStr(a, b);
}

function _innerText(html) {
  return String(html).replace(/<[^>]*>/g, '');
}

function openw(url) {
  return doCmd('browse', url);
}

function hasClass(o, name) {
  return (' ' + o.className + ' ').indexOf(' ' + name + ' ') >= 0;
}

function elementChildren(o) {
  var list = [];
  for (var n = o.firstChild; n; n = n.nextSibling) if (n.nodeType == 1) list.push(n);
  return list;
}

function cellText(cell) {
  return cell ? Trim(_innerText(cell.innerHTML)) : '';
}

/* ---- pop-ups ---- */

function closePopup() {
  if (!openedPopup) return;
  var parts = elementChildren(openedPopup);
  if (parts.length > 1) parts[1].style.display = 'none';
  if (parts[0].innerHTML != '') parts[0].innerHTML = '+';
  openedPopup = null;
}

/* A click on a label inside a pop-up reaches the pop-up twice: once for the label and once
   for the radio button the label clicks in turn. Only the first counts. */
var labelClickedFor = null;

function isLabelsEcho(e) {
  var target = e ? (e.target || e.srcElement) : null;
  if (!target) return false;
  if (target.tagName == 'LABEL') { labelClickedFor = target.htmlFor; return false; }
  var echo = target.tagName == 'INPUT' && labelClickedFor !== null && target.id == labelClickedFor;
  labelClickedFor = null;
  return echo;
}

function showt(o) {
  if (isLabelsEcho(window.event)) return false;
  var parts = elementChildren(o);
  if (parts.length < 2) return false;
  if (openedPopup == o) { closePopup(); return false; }
  closePopup();
  parts[1].style.display = 'block';
  if (parts[0].innerHTML != '') parts[0].innerHTML = '&ndash;';
  openedPopup = o;
  skipBodyClick = true;
  addLargePicture(o, parts[1]);
  return false;
}

/* A vehicle row shows the small local picture; its pop-up gets the large one, from the
   publisher's API host of the settings. */
function addLargePicture(o, popup) {
  var base = pageAddress('vehicle-pictures');
  if (!base || popup.getElementsByTagName('i').length > 0) return;
  var row = o;
  while (row && row.tagName != 'TR') row = row.parentNode;
  if (!row) return;
  var smalls = row.getElementsByTagName('small');
  for (var i = 0; i < smalls.length; i++) {
    var m = /url\(['"]?file:[^'")]*\/vehicle\/([^'"\/)]+)['"]?\)/.exec(smalls[i].style.backgroundImage);
    if (!m) continue;
    var picture = document.createElement('i');
    picture.style.backgroundImage = "url('" + base + m[1] + "')";
    popup.appendChild(picture);
    return;
  }
}

function onBodyClick() {
  if (skipBodyClick) { skipBodyClick = false; return; }
  closePopup();
}

/* ---- showing and hiding ---- */

function hides() {
  var top = document.getElementById('top');
  if (top) top.style.display = 'none';
}

function shows() {
  var top = document.getElementById('top');
  if (top) top.style.display = 'block';
  var name = document.getElementById('iName');
  if (name) { name.focus(); name.select(); }
}

function showd(d) {
  if (hasClass(d, 'hide')) d.className = Trim((' ' + d.className + ' ').replace(' hide ', ' show '));
  else if (hasClass(d, 'show')) d.className = Trim((' ' + d.className + ' ').replace(' show ', ' hide '));
  else d.className = Trim(d.className + ' hide');
}

/* "Больше" shows every collapsed row and every hidden or progress cell; "Меньше" puts back
   what the page showed when it was loaded. */
function showa(b) {
  var more = b.innerHTML.indexOf('\u0411\u043e\u043b\u044c\u0448\u0435') >= 0;  /* "Больше" */
  b.innerHTML = more ? '\u041c\u0435\u043d\u044c\u0448\u0435 &#8593;' : '\u0411\u043e\u043b\u044c\u0448\u0435 &#8595;';
  var bodies = document.getElementsByTagName('tbody');
  for (var i = 0; i < bodies.length; i++) {
    if (bodies[i].className.indexOf('hide') >= 0) bodies[i].style.display = more ? 'table-row-group' : '';
  }
  var cells = document.getElementsByTagName('td');
  for (var j = 0; j < cells.length; j++) {
    var c = cells[j].className;
    if (c.indexOf('hide') >= 0 || c.indexOf('progress') >= 0) cells[j].style.display = more ? 'table-cell' : '';
  }
  return false;
}

/* The corner buttons stand above a horizontal scroll bar of the page (ResStyle: "sideways"). */
function placeCornerButtons() {
  var root = document.documentElement;
  var sideways = root.scrollWidth > root.clientWidth;
  var name = Trim((' ' + document.body.className + ' ').replace(' sideways ', ' '));
  document.body.className = sideways ? Trim(name + ' sideways') : name;
}

function check(r) {
  if (hasClass(r, 'checked')) r.className = Trim((' ' + r.className + ' ').replace(' checked ', ' '));
  else r.className = Trim(r.className + ' checked');
}

/* ---- the vehicle list: filter and sort ---- */

function labelOf(o) {
  var labels = document.getElementsByTagName('label');
  for (var i = 0; i < labels.length; i++) if (labels[i].htmlFor == o.id) return labels[i].innerHTML;
  return '';
}

function countVehicles(body) {
  var shown = 0;
  for (var i = 0; i < body.rows.length; i++) if (body.rows[i].style.display != 'none') shown++;
  return { shown: shown, total: body.rows.length };
}

function showVehicleCounts(body) {
  var counts = countVehicles(body);
  var text = '&nbsp;(' + counts.shown + ' / ' + counts.total + ')';
  var counter = document.getElementById('VehiclesCounter');
  if (counter) counter.innerHTML = text;
  return text;
}

function showv(o) {
  var body = document.getElementById('VehiclesList');
  if (!body) return;
  for (var i = 0; i < body.rows.length; i++) {
    var row = body.rows[i];
    row.style.display = row.className.indexOf(o.id) >= 0 ? '' : 'none';
  }
  var text = showVehicleCounts(body);
  var title = document.getElementById('VehiclesTitle');
  if (title) {
    var parts = elementChildren(title), label = labelOf(o);
    if (parts.length > 0) parts[0].innerHTML = label.charAt(0).toUpperCase() + label.substring(1);
    if (parts.length > 1) parts[1].innerHTML = text;
  }
}

function vehicleName(row) {
  var spans = row.cells[0] ? row.cells[0].getElementsByTagName('span') : [];
  for (var i = spans.length - 1; i >= 0; i--) if (spans[i].parentNode == row.cells[0]) return cellText(spans[i]);
  return cellText(row.cells[0]);
}

function vehicleBattles(row) {
  var cell = row.cells[1];
  if (!cell) return 0;
  var last = null;
  for (var n = cell.firstChild; n; n = n.nextSibling) {
    if (n.nodeType == 1 && n.tagName == 'SPAN' && !hasClass(n, 'vDamage')) last = n;
  }
  return last ? firstNumber(cellText(last)) : 0;
}

function vehicleDamage(row) {
  var spans = row.cells[1] ? row.cells[1].getElementsByTagName('span') : [];
  for (var i = 0; i < spans.length; i++) {
    if (hasClass(spans[i], 'vDamage')) return firstNumber(cellText(spans[i]).replace('(!)', ''));
  }
  return 0;
}

function vehicleTier(row) {
  var m = /vLevel(\d)/.exec(row.className);
  return m ? (m[1] == '0' ? 10 : parseInt(m[1], 10)) : 0;
}

function vehicleWeight(row) {
  var divs = row.cells[0] ? row.cells[0].getElementsByTagName('div') : [];
  for (var i = 0; i < divs.length; i++) {
    var m = / - ([0-9.,]+)\s*$/.exec(divs[i].title || '');
    if (m) return firstNumber(m[1]);
  }
  return 0;
}

function vehicleKey(row, b) {
  switch (b) {
    case 0: return vehicleName(row);
    case 1: var m = /mclass(\d)/.exec(row.cells[0] ? row.cells[0].className : ''); return m ? parseInt(m[1], 10) : 0;
    case 2: return vehicleTier(row);
    case 3: return vehicleBattles(row);
    case 4: return vehicleDamage(row);
    case 5: return firstNumber(cellText(row.cells[2]));
    default: return vehicleWeight(row);
  }
}

function doSort(o, b) {
  if (!o) return false;
  if (b === undefined || b === null) b = o.sortCriterion === undefined ? 3 : (o.sortCriterion + 1) % 7;
  o.sortCriterion = b;
  var items = [];
  for (var i = 0; i < o.rows.length; i++) items.push({ row: o.rows[i], key: vehicleKey(o.rows[i], b), at: i });
  items.sort(function (x, y) {
    var order = b == 0 ? sortStr(x.key, y.key) : (y.key - x.key);
    return order != 0 ? order : x.at - y.at;
  });
  for (var j = 0; j < items.length; j++) o.appendChild(items[j].row);
  var radio = document.getElementById('sv' + b);
  if (radio) radio.checked = true;
  return false;
}

/* ---- column sort of report tables ---- */

function tableOf(o) {
  while (o && o.tagName != 'TABLE') o = o.parentNode;
  return o;
}

function startsAscending(table, column) {
  if (table.gid == 'tops' && column > 5) return false;
  return defsort[column] === 0;
}

function rowKey(row, column, isRole) {
  var cell = row.cells[column];
  if (!cell) return '';
  var text = cellText(cell);
  if (!isRole) return text;
  var first = elementChildren(cell)[0];
  var group = first && first.className ? first.className : 'c1';
  var next = row.cells[column + 1] ? parseInt(getNum(cellText(row.cells[column + 1])) || '0', 10) : 0;
  return group + (10000 - text.charCodeAt(0)) + text + (1000 + next);
}

function markSorted(header, ascending) {
  var arrows = tableOf(header).getElementsByTagName('span');
  for (var i = arrows.length - 1; i >= 0; i--) {
    if (hasClass(arrows[i], 'arrow')) arrows[i].parentNode.removeChild(arrows[i]);
  }
  var arrow = document.createElement('span');
  arrow.className = 'arrow';
  arrow.innerHTML = ascending ? '&#8595;' : '&#8593;';
  header.appendChild(arrow);
}

function sort(e) {
  var header = this && this.tagName == 'TD' ? this : (e && (e.currentTarget || e.srcElement));
  while (header && header.tagName != 'TD' && header.tagName != 'TH') header = header.parentNode;
  if (!header) return false;
  var table = tableOf(header);
  var column = header.cellIndex;
  /* the header's own text, without the sort arrow; "&nbsp;" counts as one character */
  var label = (header.textContent || '').replace(/[\u2191\u2193]$/, '');
  if (label.length == 1) column++;
  label = Trim(label);
  if (table.sortColumn == column) {
    table.sortAscending = !table.sortAscending;
  } else {
    table.sortColumn = column;
    table.sortAscending = startsAscending(table, column);
  }
  var isRole = label.indexOf('\u0414\u043e\u043b\u0436\u043d\u043e\u0441\u0442\u044c') == 0;  /* "Должность" */
  var body = table.tBodies[0];
  if (!body) return false;
  var items = [];
  for (var i = 0; i < body.rows.length; i++) items.push({ row: body.rows[i], key: rowKey(body.rows[i], column, isRole), at: i });
  items.sort(function (x, y) { return compare(x.key, y.key) || x.at - y.at; });
  if (!table.sortAscending) items.reverse();
  for (var j = 0; j < items.length; j++) {
    body.appendChild(items[j].row);
    if (items[j].row.cells[0]) items[j].row.cells[0].innerHTML = String(j + 1);
  }
  markSorted(header, table.sortAscending);
  return false;
}

/* ---- start-up ---- */

function makeSortable(head) {
  head.title = '\u041d\u0430\u0436\u043c\u0438\u0442\u0435 \u043d\u0430 \u0437\u0430\u0433\u043e\u043b\u043e\u0432\u043e\u043a, ' +
      '\u0447\u0442\u043e\u0431\u044b \u043e\u0442\u0441\u043e\u0440\u0442\u0438\u0440\u043e\u0432\u0430\u0442\u044c ' +
      '\u043a\u043e\u043b\u043e\u043d\u043a\u0443';  /* "Нажмите на заголовок, чтобы отсортировать колонку" */
  var table = tableOf(head);
  table.sortDirection = 0;
  var cells = head.getElementsByTagName('td');
  for (var i = 0; i < cells.length; i++) cells[i].onclick = sort;
  var first = head.rows[0];
  if (first && first.cells[initial_sort_id]) {
    first.cells[initial_sort_id].click();
    if (initial_sort_up) first.cells[initial_sort_id].click();
  }
}

function openVehicleOnClick(row) {
  row.onclick = function () {
    var inner = row.getElementsByTagName('div');
    for (var i = 0; i < inner.length; i++) if (hasClass(inner[i], 'inner')) { showt(inner[i]); return; }
  };
}

function openWikiOnClick(row, wiki) {
  row.className = Trim(row.className + ' hand');
  row.onclick = function () {
    return doCmd('browse', wiki + cellText(row.cells[0]).replace(/[\s\u00a0]+/g, '_'));
  };
}

function init() {
  var heads = document.getElementsByTagName('thead');
  if (heads.length > 2) makeSortable(heads[2]);
  var vehicles = document.getElementById('VehiclesList');
  if (vehicles) {
    for (var i = 0; i < vehicles.rows.length; i++) openVehicleOnClick(vehicles.rows[i]);
    showVehicleCounts(vehicles);
  }
  var bodies = document.getElementsByTagName('tbody'), wiki = pageAddress('wiki');
  for (var j = 0; j < bodies.length && wiki; j++) {
    if (bodies[j].id.indexOf('Achievements_') != 0) continue;
    for (var k = 1; k < bodies[j].rows.length; k++) openWikiOnClick(bodies[j].rows[k], wiki);
  }
  if (heads.length == 0 && document.getElementById('iName') && !document.getElementById('showh')) {
    document.getElementById('iName').focus();
  }
  placeCornerButtons();
}

/* Userbar preview; the fields it reads belong to the userbar page of the program's site. */
function gi(o) {
  var ids = ['s', 't', 'e', 'i', 'l', 'warn', 'ii', 'sn'], f = {};
  for (var i = 0; i < ids.length; i++) f[ids[i]] = document.getElementById(ids[i]);
  if (!f.ii || !f.sn) return false;
  var query = [];
  for (var j = 0; j < 5; j++) if (f[ids[j]]) query.push(ids[j] + '=' + encodeURIComponent(f[ids[j]].value || ''));
  f.ii.src = (o && o.href ? o.href : '') + '?' + query.join('&') + '&name=' + encodeURIComponent(f.sn.value || '');
  if (f.warn) f.warn.style.display = f.sn.value ? 'none' : 'block';
  return false;
}

window.onload = init;
window.onresize = placeCornerButtons;
document.onclick = onBodyClick;
