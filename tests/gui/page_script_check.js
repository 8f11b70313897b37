/* Runs in a page of the real window (TARVELO_GTK_SCRIPT): checks the page script on small
   report-shaped tables, reports through the page title ("PAGE-SCRIPT OK n" or
   "PAGE-SCRIPT FAILED: ..."), then searches "Zeta" from the search form as a user would. */
(function () {
  var failures = [], count = 0;
  function expect(what, actual, wanted) {
    count++;
    if (String(actual) !== String(wanted)) failures.push(what + ' = ' + actual + ', wanted ' + wanted);
  }
  function column(body, index) {
    var values = [];
    for (var i = 0; i < body.rows.length; i++) values.push(cellText(body.rows[i].cells[index]));
    return values.join(',');
  }
  function vehicleNames(body) {
    var values = [];
    for (var i = 0; i < body.rows.length; i++) values.push(vehicleName(body.rows[i]));
    return values.join(',');
  }

  expect('romeToDec XIV', romeToDec('XIV'), 14);
  expect('romeToDec IX', romeToDec('IX'), 9);
  expect('romeToDec VIII', romeToDec('VIII'), 8);
  expect('numbers with a no-break space', compare('1\u00a0234', '999') > 0, true);
  expect('decimal commas', compare('12,5', '9,75') > 0, true);
  expect('text ignores case', compare('abc', 'ABD') < 0, true);
  expect('getNum', getNum('a1b2-3'), '123');
  expect('Trim', Trim(' \u00a0x y \u00a0'), 'x y');
  expect('_innerText', _innerText('<b class="c1">a</b>c'), 'ac');
  expect('firstNumber', firstNumber('[2\u00a0100,5]') + firstNumber('-') , 2100.5);

  /* a clan-like table: its members header is the third thead of the page */
  var fixture = document.createElement('div');
  fixture.innerHTML =
      '<table class="main" id="ClanTable"><thead><tr><td>t</td></tr></thead><thead><tr><td>s</td></tr></thead>' +
      '<thead><tr><td>&nbsp;</td><td class="tLeft">Имя</td><td class="tCenter">Должность</td>' +
      '<td class="tCenter">Стаж</td><td class="tCenter hide">Боёв</td></tr></thead><tbody>' +
      '<tr onclick="check(this)"><td>1</td><td>bob</td><td><span class="c2">[Офицер]</span></td><td>10</td>' +
      '<td class="tCenter hide">1\u00a0500</td></tr>' +
      '<tr onclick="check(this)"><td>2</td><td>al</td><td><span class="c6">[Командир]</span></td><td>300</td>' +
      '<td class="tCenter hide">900</td></tr>' +
      '<tr onclick="check(this)"><td>3</td><td>cy</td><td><span class="c2">[Офицер]</span></td><td>200</td>' +
      '<td class="tCenter hide">12\u00a0000</td></tr></tbody></table>' +
      '<span id="VehiclesTitle"><b class="sectionHdr"></b><span></span></span>' +
      '<input type="radio" id="vLevel0"><label for="vLevel0">техника 10-го уровня</label>' +
      '<table><tbody id="VehiclesList">' +
      '<tr class="vehicle vLevel0 vType2"><td class="mclass4"><div class="addons detail"><div class="inner">' +
      '<span class="plus"></span><div title="Коэффициент значимости танка по Иванерру - 1,5"><p>A</p></div>' +
      '</div></div><span>Bravo</span></td><td><span class="vDamage">[2\u00a0100]</span><small>X </small>' +
      '<span>300</span></td><td>55,10%</td></tr>' +
      '<tr class="vehicle vLevel8 vType3"><td><div class="addons detail"><div class="inner"><span class="plus"></span>' +
      '<div><p>B</p></div></div></div><span>alpha</span></td><td><span class="vDamage">[900]</span><small>VIII </small>' +
      '<span>1\u00a0200</span></td><td>61,00%</td></tr>' +
      '<tr class="vehicle vLevel0 vType1"><td class="mclass2"><div class="addons detail"><div class="inner">' +
      '<span class="plus"></span><div><p>C</p></div></div></div><span>Charlie</span></td><td>' +
      '<span class="vDamage">[2\u00a0500]</span><small>X </small><span>40</span></td><td>48,00%</td></tr>' +
      '</tbody></table><div id="MoreButton">Больше &#8595;</div>' +
      '<table><tbody id="Achievements_epic"><tr><td>Эпические медали</td></tr><tr><td>Медаль Пула</td></tr></tbody></table>' +
      '<div id="Toggled" class="hide">x</div>';
  document.body.appendChild(fixture);
  init();

  var members = document.getElementById('ClanTable').tBodies[0];
  expect('initial sort: role group, then seniority', column(members, 1), 'al,cy,bob');
  expect('rows renumbered', column(members, 0), '1,2,3');
  var header = document.getElementsByTagName('thead')[2].rows[0];
  expect('header tooltip', document.getElementsByTagName('thead')[2].title.indexOf('Нажмите на заголовок') == 0, true);
  header.cells[4].click();
  expect('battles start descending', column(members, 1), 'cy,bob,al');
  header.cells[4].click();
  expect('second click flips', column(members, 1), 'al,bob,cy');
  expect('one arrow marks the column', members.parentNode.getElementsByTagName('span').length -
      members.getElementsByTagName('span').length, 1);
  header.cells[0].click();
  expect('a one-letter header sorts the next column', column(members, 1), 'al,bob,cy');

  check(members.rows[0]);
  expect('check marks a row', members.rows[0].className, 'checked');
  check(members.rows[0]);
  expect('check again unmarks it', members.rows[0].className, '');

  var more = document.getElementById('MoreButton');
  showa(more);
  expect('showa switches to less', more.innerHTML.indexOf('Меньше') == 0, true);
  expect('showa shows hidden cells', getComputedStyle(members.rows[0].cells[4]).display, 'table-cell');
  showa(more);
  expect('showa hides them again', getComputedStyle(members.rows[0].cells[4]).display, 'none');

  var medals = document.getElementById('Achievements_epic');
  expect('achievement rows open the wiki', typeof medals.rows[1].onclick == 'function' && hasClass(medals.rows[1], 'hand'), true);
  expect('the section row does not', medals.rows[0].onclick, null);
  var toggled = document.getElementById('Toggled');
  showd(toggled);
  expect('showd shows', toggled.className, 'show');
  showd(toggled);
  expect('showd hides', toggled.className, 'hide');
  hides();
  expect('hides hides the search block', document.getElementById('top').style.display, 'none');
  shows();
  expect('shows brings it back', document.getElementById('top').style.display, 'block');
  expect('shows puts the cursor into the search box', document.activeElement.id, 'iName');

  var list = document.getElementById('VehiclesList');
  doSort(list, 3);
  expect('vehicles by battles', vehicleNames(list), 'alpha,Bravo,Charlie');
  doSort(list, 4);
  expect('vehicles by damage', vehicleNames(list), 'Charlie,Bravo,alpha');
  doSort(list, 0);
  expect('vehicles by name', vehicleNames(list), 'alpha,Bravo,Charlie');
  doSort(list, 1);
  expect('vehicles by mastery', vehicleNames(list), 'Bravo,Charlie,alpha');
  doSort(list, 6);
  expect('vehicles by Ivanerr weight, ties kept in order', vehicleNames(list), 'Bravo,Charlie,alpha');
  doSort(list);
  expect('criterion cycles on', list.sortCriterion, 0);
  showv(document.getElementById('vLevel0'));
  var title = document.getElementById('VehiclesTitle');
  expect('filter caption', title.children[0].innerHTML, 'Техника 10-го уровня');
  expect('filter counts', title.children[1].textContent.replace(/\u00a0/g, ' '), ' (2 / 3)');

  var lists = document.querySelector('#top .addons .inner');
  expect('the search form has its lists pop-up', lists !== null, true);
  if (lists) {
    showt(lists);
    expect('pop-up opens', lists.children[1].style.display, 'block');
    onBodyClick();
    expect('the opening click does not close it', lists.children[1].style.display, 'block');
    onBodyClick();
    expect('a later click closes it', lists.children[1].style.display, 'none');
    expect('marker back to plus', lists.children[0].innerHTML, '+');
  }

  expect('doCmd returns false', doCmd('noop', 'x'), false);
  expect('doCmd sets the title', document.title, '[CMD:]noop[PRM:]x');
  document.body.removeChild(fixture);

  setTimeout(function () {
    expect('the title is put back', document.title, 'Tarvelo');
    document.title = failures.length ? 'PAGE-SCRIPT FAILED: ' + failures.join('; ') : 'PAGE-SCRIPT OK ' + count;
    setTimeout(function () {
      document.getElementById('iName').value = 'Zeta';
      document.querySelector('input.button').click();
    }, 50);
  }, 50);
})();
