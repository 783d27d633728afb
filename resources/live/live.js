// Live results in the browser: the whole state arrives on the event stream, the clock runs
// here from the start stamp and the server's clock, and every value goes in as text, never
// as markup.
(function () {
  'use strict';

  var state = null;
  var offset = 0;          // server clock minus this page's clock, ms
  var lastHeard = 0;       // this page's clock when the server was last heard
  var connected = false;
  var LOST_AFTER_MS = 12000;

  function now() { return window.performance.now(); }
  function byId(id) { return document.getElementById(id); }

  function setText(id, value) {
    var element = byId(id);
    if (element && element.textContent !== value) element.textContent = value;
  }

  function clockText(ms, separator) {
    var hundredths = Math.floor(Math.max(0, ms) / 10);
    var cents = hundredths % 100;
    return Math.floor(hundredths / 100) + separator + (cents < 10 ? '0' : '') + cents;
  }

  function cell(tag, value, className) {
    var element = document.createElement(tag);
    element.textContent = value;
    if (className) element.className = className;
    return element;
  }

  function tableSection(table, id) {
    var section = document.createElement('section');
    section.className = 'stage';
    section.id = id;
    section.appendChild(cell('h2', table.caption));
    var scroll = document.createElement('div');
    scroll.className = 'scroll';
    var element = document.createElement('table');
    var head = document.createElement('thead');
    var headRow = document.createElement('tr');
    table.header.forEach(function (caption) { headRow.appendChild(cell('th', caption)); });
    head.appendChild(headRow);
    element.appendChild(head);
    var body = document.createElement('tbody');
    table.rows.forEach(function (row) {
      var line = document.createElement('tr');
      row.forEach(function (value) { line.appendChild(cell('td', value)); });
      body.appendChild(line);
    });
    element.appendChild(body);
    scroll.appendChild(element);
    section.appendChild(scroll);
    return section;
  }

  function top3Table(rows) {
    if (rows.length === 0) return cell('p', 'Noch keine Endlauf-Ergebnisse', 'empty');
    var element = document.createElement('table');
    element.className = 'top3';
    var body = document.createElement('tbody');
    rows.forEach(function (row, index) {
      var line = document.createElement('tr');
      line.className = index % 2 === 0 ? 'odd' : 'even';
      line.appendChild(cell('td', row.place, 'r'));
      line.appendChild(cell('td', row.number, 'r'));
      line.appendChild(cell('td', row.name, 'l'));
      line.appendChild(cell('td', row['class'], 'c'));
      line.appendChild(cell('td', row.champion, 'c'));
      line.appendChild(cell('td', row.time, 'r'));
      body.appendChild(line);
    });
    element.appendChild(body);
    return element;
  }

  function replaceChildren(element, child) {
    while (element.firstChild) element.removeChild(element.firstChild);
    element.appendChild(child);
  }

  function renderLast(last) {
    var element = byId('last');
    if (!element) return;
    while (element.firstChild) element.removeChild(element.firstChild);
    if (!last) { element.textContent = '\u00a0'; return; }
    element.appendChild(cell('span', last.competitor, 'who'));
    element.appendChild(document.createTextNode(' '));
    element.appendChild(cell('span', last.club, 'club'));
    element.appendChild(document.createTextNode(' '));
    element.appendChild(cell('span', last.time, 'time'));
  }

  var shown = 'top3box';
  function showOnly(id) {
    shown = id;
    var tabs = byId('tabs');
    if (!tabs) return;
    ['top3box', 'stage0', 'stage1', 'stage2', 'stage3', 'teams'].forEach(function (name) {
      var section = byId(name);
      if (section) section.hidden = name !== id;
    });
    Array.prototype.forEach.call(tabs.querySelectorAll('button'), function (button) {
      button.className = button.getAttribute('data-show') === id ? 'active' : '';
    });
  }

  function render() {
    setText('title', state.title);
    setText('competitor', state.competitor);
    setText('club', state.club);
    renderLast(state.lastResult);
    var top3 = byId('top3');
    if (top3) replaceChildren(top3, top3Table(state.top3));
    var stages = byId('stages');
    if (stages) {
      var all = document.createDocumentFragment();
      state.stages.forEach(function (table, page) { all.appendChild(tableSection(table, 'stage' + page)); });
      all.appendChild(tableSection(state.teams, 'teams'));
      while (stages.firstChild) stages.removeChild(stages.firstChild);
      stages.appendChild(all);
      showOnly(shown);
    }
    document.body.setAttribute('data-clock', state.clock.state);
    tick();
  }

  function tick() {
    if (!state) return;
    var clock = state.clock;
    var separator = state.decimalSeparator || ',';
    var serverNow = now() + offset;
    var ms = 0;
    if (clock.state === 'running') ms = serverNow - clock.startMs;
    else if (clock.state === 'countdown') ms = clock.countdownMs - (serverNow - clock.startMs);
    else if (clock.state === 'stopped') ms = clock.stoppedMs;
    setText('clock', clockText(ms, separator));
  }

  function showConnection(on) {
    connected = on;
    var element = byId('connection');
    if (!element) return;
    element.textContent = on ? 'Live' : 'Verbindung unterbrochen';
    element.className = on ? 'connection on' : 'connection lost';
    document.body.setAttribute('data-connection', on ? 'on' : 'lost');
  }

  function heard(serverTimeMs) {
    offset = serverTimeMs - now();
    lastHeard = now();
    if (!connected) showConnection(true);
  }

  function connect() {
    var source = new EventSource('/events');
    source.addEventListener('state', function (event) {
      var envelope = JSON.parse(event.data);
      heard(envelope.serverTimeMs);
      state = envelope.state;
      render();
    });
    source.addEventListener('ping', function (event) {
      heard(JSON.parse(event.data).serverTimeMs);
    });
    source.onerror = function () { showConnection(false); };
  }

  var tabs = byId('tabs');
  if (tabs) {
    tabs.hidden = false;
    tabs.addEventListener('click', function (event) {
      var target = event.target.getAttribute && event.target.getAttribute('data-show');
      if (target) showOnly(target);
    });
    showOnly(shown);
  }
  showConnection(false);
  window.setInterval(function () {
    tick();
    if (connected && now() - lastHeard > LOST_AFTER_MS) showConnection(false);
  }, 40);
  connect();
})();
