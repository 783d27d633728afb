// Live results in the browser. The whole state arrives once on the event stream, then only
// its changes; the clock runs here from the start stamp and an estimate of the program's
// clock; a lost or refused connection is tried again by itself, with growing and spread
// pauses. Every value goes in as text, never as markup.
// A page copied to a web host says in <meta name="velmora-source"> where its state comes from
// instead: a state.json beside it, read again every few seconds ("static"), or an MQTT broker
// over WebSockets ("mqtt", with mqtt.js beside this script).
(function () {
  'use strict';

  var LOST_AFTER_MS = 12000;      // two pings missed: the connection is taken as dead
  var RETRY_FIRST_MS = 500;
  var RETRY_MAX_MS = 4000;        // a free slot is used within about five seconds
  var TIME_SAMPLE_EVERY_MS = 60000;
  var TIME_WIDTH_GOOD_MS = 30;    // bounds closer than this need no new round trip
  var KEPT_SAMPLES = 8;
  var POLL_EVERY_MS = 2000;
  var POLL_HIDDEN_MS = 20000;     // a tab in the background needs no fresh state
  // A state.json that did not change for this long while a run goes may be left behind by a
  // program that is gone: its clock is not run on from it.
  var STALE_AFTER_MS = 30000;

  var sourceTag = document.querySelector('meta[name="velmora-source"]');
  var mode = sourceTag ? sourceTag.getAttribute('content') : 'events';
  var scriptUrl = document.currentScript ? document.currentScript.src : '';
  var retryFirstMs = RETRY_FIRST_MS;
  var retryMaxMs = RETRY_MAX_MS;

  var state = null;
  var epoch = null;
  var version = -1;
  var source = null;
  var connected = false;
  var lastHeard = 0;
  var attempts = 0;
  var retryAt = 0;
  var retryTimer = null;
  var frozenText = null;

  function now() { return window.performance.now(); }
  function byId(id) { return document.getElementById(id); }

  // ---- the program's clock ---------------------------------------------------------------
  // The offset (program's clock minus this page's) lies between bounds: an event stamped s
  // and seen here at r was sent before r, so the offset is at least s - r; a round trip that
  // left at t0 got a stamp taken after t0, so the offset is at most s - t0. The estimate is
  // the middle of the tightest bounds of the last samples; on a slow link the small pings
  // give a close lower bound even while a large state is still arriving.
  var lows = [];
  var highs = [];
  // Without a way to ask the program for its time, the estimate comes from the wall clocks:
  // a state stamped with the program's clock and the computer's wall clock at the same moment
  // tells the program's clock now, as both wall clocks are kept close by NTP.
  var wallOffset = null;
  var lastTimeSample = -Infinity;
  var sampling = false;

  function keep(list, value) {
    list.push(value);
    if (list.length > KEPT_SAMPLES) list.shift();
  }

  function offset() {
    var lo = lows.length ? Math.max.apply(null, lows) : null;
    var hi = highs.length ? Math.min.apply(null, highs) : null;
    if (hi === null && wallOffset !== null) return lo === null ? wallOffset : Math.max(lo, wallOffset);
    if (lo === null) return hi === null ? 0 : hi;
    if (hi === null) return lo;
    if (lo > hi) {
      // The clocks drifted apart since the older samples; start the upper bounds afresh.
      highs = [];
      return lo;
    }
    return (lo + hi) / 2;
  }

  function serverNow() { return now() + offset(); }

  function heard(serverTimeMs) {
    lastHeard = now();
    if (typeof serverTimeMs === 'number') keep(lows, serverTimeMs - lastHeard);
  }

  function wallSample(stamped) {
    if (typeof stamped.wallTimeMs === 'number' && typeof stamped.serverTimeMs === 'number')
      wallOffset = stamped.serverTimeMs + (Date.now() - stamped.wallTimeMs) - now();
  }

  function boundsWidth() {
    if (!lows.length || !highs.length) return Infinity;
    return Math.min.apply(null, highs) - Math.max.apply(null, lows);
  }

  // Resolves to the answer's status and its Retry-After in ms (0 without one).
  function timeSample() {
    var sent = now();
    sampling = true;
    return window.fetch('/api/time', { cache: 'no-store' }).then(function (response) {
      if (!response.ok) {
        sampling = false;
        var seconds = parseFloat(response.headers.get('Retry-After'));
        return { status: response.status, retryAfterMs: seconds > 0 ? seconds * 1000 : 0 };
      }
      return response.json().then(function (answer) {
        var back = now();
        sampling = false;
        lastTimeSample = back;
        keep(highs, answer.serverTimeMs - sent);
        keep(lows, answer.serverTimeMs - back);
        return { status: response.status, retryAfterMs: 0 };
      });
    }, function (error) {
      sampling = false;
      throw error;
    });
  }

  function sampleIfNeeded() {
    if (sampling) return;
    if (boundsWidth() > TIME_WIDTH_GOOD_MS || now() - lastTimeSample > TIME_SAMPLE_EVERY_MS)
      timeSample().catch(function () {});
  }

  // ---- rendering -------------------------------------------------------------------------
  function setText(id, value) {
    var element = byId(id);
    if (element && element.textContent !== value) element.textContent = value;
  }

  // The window's time display writes a comma, whatever the system's separator.
  function clockText(ms) {
    var hundredths = Math.floor(Math.max(0, ms) / 10);
    var cents = hundredths % 100;
    return Math.floor(hundredths / 100) + ',' + (cents < 10 ? '0' : '') + cents;
  }

  function cell(tag, value, className) {
    var element = document.createElement(tag);
    element.textContent = value;
    if (className) element.className = className;
    return element;
  }

  // A cell's own text, without the raised mark of a substitute time.
  function textOf(element) {
    var first = element.firstChild;
    return first && first.nodeType === 3 ? first.nodeValue : '';
  }

  function fillRow(line, row) {
    while (line.cells.length > row.length) line.deleteCell(-1);
    for (var c = 0; c < row.length; c++) {
      if (c < line.cells.length) {
        if (textOf(line.cells[c]) !== row[c]) line.cells[c].textContent = row[c];
      } else {
        line.appendChild(cell('td', row[c]));
      }
    }
  }

  function newRow(row) {
    var line = document.createElement('tr');
    fillRow(line, row);
    return line;
  }

  // The section of a table, made once and then changed in place, so that its sideways scroll
  // position and the page's stay where the reader left them.
  function tableSection(id) {
    var section = byId(id);
    if (section && section.querySelector('tbody')) return section;
    var stages = byId('stages');
    if (!stages) return null;
    section = document.createElement('section');
    section.className = 'stage';
    section.id = id;
    section.appendChild(cell('h2', ''));
    var scroll = document.createElement('div');
    scroll.className = 'scroll';
    var table = document.createElement('table');
    table.appendChild(document.createElement('thead'));
    table.appendChild(document.createElement('tbody'));
    scroll.appendChild(table);
    section.appendChild(scroll);
    stages.appendChild(section);
    return section;
  }

  function renderHeader(section, table) {
    section.querySelector('h2').textContent = table.caption;
    var head = section.querySelector('thead');
    var line = head.rows[0] || head.appendChild(document.createElement('tr'));
    while (line.cells.length > table.header.length) line.deleteCell(-1);
    table.header.forEach(function (caption, c) {
      if (c < line.cells.length) line.cells[c].textContent = caption;
      else line.appendChild(cell('th', caption));
    });
  }

  function renderRows(section, rows, ops) {
    var scroll = section.querySelector('.scroll');
    var left = scroll ? scroll.scrollLeft : 0;
    var body = section.querySelector('tbody');
    var old = Array.prototype.slice.call(body.rows);
    var lines = [];
    if (ops) {
      ops.forEach(function (op) {
        if (Array.isArray(op)) {
          for (var k = 0; k < op[1]; k++) lines.push(old[op[0] + k]);
        } else if (op.r) {
          lines.push(newRow(op.r));
        } else if (op.v) {
          op.v.forEach(function (value, k) {
            var moved = old[op.i + k];
            moved.cells[op.c].textContent = value;
            lines.push(moved);
          });
        } else {
          var line = old[op.i];
          Object.keys(op.s).forEach(function (c) { line.cells[+c].textContent = op.s[c]; });
          lines.push(line);
        }
      });
    } else {
      rows.forEach(function (row, r) {
        if (r < old.length) { fillRow(old[r], row); lines.push(old[r]); }
        else lines.push(newRow(row));
      });
    }
    var used = new Set(lines);
    old.forEach(function (line) { if (!used.has(line)) body.removeChild(line); });
    lines.forEach(function (line, r) {
      if (body.rows[r] !== line) body.insertBefore(line, body.rows[r] || null);
    });
    if (scroll && scroll.scrollLeft !== left) scroll.scrollLeft = left;
  }

  // A run state in the colours the program's tables give it; a substitute time with a raised
  // "E", explained under its table. The marks are few, so all are put anew each time.
  function renderMarks(section, table) {
    var marks = table.marks || {};
    var body = section.querySelector('tbody');
    Array.prototype.forEach.call(body.querySelectorAll('td.state, td.sub'), function (element) {
      element.className = '';
      element.textContent = textOf(element);
    });
    var substitutes = false;
    Object.keys(marks).forEach(function (r) {
      var line = body.rows[+r];
      Object.keys(marks[r]).forEach(function (c) {
        var element = line && line.cells[+c];
        if (!element) return;
        if (marks[r][c] === 'substitute') {
          substitutes = true;
          element.className = 'sub';
          element.appendChild(cell('sup', 'E'));
        } else {
          element.className = 'state';
        }
      });
    });
    var legend = section.querySelector('.legend');
    if (substitutes && !legend) legend = section.appendChild(cell('p', 'E = Ersatzzeit', 'legend'));
    if (legend) legend.hidden = !substitutes;
  }

  // The rows shown must be the ones the change was made from; otherwise all are shown anew.
  function renderTable(id, table, delta, rowsBefore) {
    var section = tableSection(id);
    if (!section) return;
    if (delta && section.querySelector('tbody').rows.length !== rowsBefore) delta = null;
    if (!delta || delta.caption !== undefined || delta.header) renderHeader(section, table);
    if (!delta || delta.rows) renderRows(section, table.rows, null);
    else if (delta.ops) renderRows(section, null, delta.ops);
    renderMarks(section, table);
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

  function renderTop3() {
    var top3 = byId('top3');
    if (!top3) return;
    while (top3.firstChild) top3.removeChild(top3.firstChild);
    top3.appendChild(top3Table(state.top3));
  }

  function renderLast() {
    var element = byId('last');
    var last = state.lastResult;
    if (!element) return;
    while (element.firstChild) element.removeChild(element.firstChild);
    if (!last) { element.textContent = '\u00a0'; return; }
    element.appendChild(cell('span', last.competitor, 'who'));
    element.appendChild(document.createTextNode(' '));
    element.appendChild(cell('span', last.club, 'club'));
    element.appendChild(document.createTextNode(' '));
    element.appendChild(cell('span', last.time, 'time'));
  }

  var TABLES = ['stage0', 'stage1', 'stage2', 'stage3', 'teams'];

  // The cup's standings, a table per class, made anew when they change (a few times a day);
  // its tab is there only while a cup is open.
  function renderCup() {
    var cup = state.cup;
    var button = document.querySelector('#tabs button[data-show="cup"]');
    if (button) button.hidden = !cup;
    var box = byId('cupbox');
    if (!box) return;
    while (box.firstChild) box.removeChild(box.firstChild);
    if (!cup) {
      if (shown === 'cup') showOnly('top3box');
      return;
    }
    var section = document.createElement('section');
    section.className = 'stage';
    section.id = 'cup';
    section.appendChild(cell('h2', cup.name));
    cup.classes.forEach(function (table) {
      section.appendChild(cell('h3', table.caption));
      var scroll = document.createElement('div');
      scroll.className = 'scroll';
      var element = document.createElement('table');
      var head = element.appendChild(document.createElement('thead'))
        .appendChild(document.createElement('tr'));
      table.header.forEach(function (caption) { head.appendChild(cell('th', caption)); });
      var body = element.appendChild(document.createElement('tbody'));
      table.rows.forEach(function (row) { body.appendChild(newRow(row)); });
      scroll.appendChild(element);
      section.appendChild(scroll);
    });
    box.appendChild(section);
    if (byId('tabs')) section.hidden = shown !== 'cup';
  }

  function tableOf(name) {
    return name === 'teams' ? state.teams : state.stages[+name.slice(5)];
  }

  function setTable(name, table) {
    if (name === 'teams') state.teams = table;
    else state.stages[+name.slice(5)] = table;
  }

  function renderTexts() {
    setText('title', state.title);
    setText('competitor', state.competitor);
    setText('club', state.club);
    document.body.setAttribute('data-clock', state.clock.state);
    frozenText = null;
    tick();
  }

  // Whether the results are official: the line for the race and the state of each class.
  function renderRelease() {
    var element = byId('release');
    var release = state.release;
    if (!element) return;
    while (element.firstChild) element.removeChild(element.firstChild);
    if (!release || !release.text) { element.removeAttribute('data-official'); return; }
    element.setAttribute('data-official', release.official ? 'true' : 'false');
    element.appendChild(cell('span', release.text, 'text'));
    if (release.classes.length < 2) return;
    var classes = element.appendChild(cell('span', '', 'classes'));
    release.classes.forEach(function (klass) {
      classes.appendChild(cell('span', 'Klasse ' + klass['class'] + ': ' + klass.state,
        'klass ' + (klass.official ? 'official' : 'preliminary')));
    });
  }

  function renderAll() {
    renderTexts();
    renderRelease();
    renderLast();
    renderTop3();
    renderCup();
    if (byId('stages')) {
      TABLES.forEach(function (name) { renderTable(name, tableOf(name), null, 0); });
      showOnly(shown);
    }
  }

  // ---- applying changes ------------------------------------------------------------------
  function applyTable(table, delta) {
    var next = {
      caption: delta.caption !== undefined ? delta.caption : table.caption,
      header: delta.header || table.header,
      rows: table.rows,
      marks: delta.marks || table.marks
    };
    if (delta.rows) {
      next.rows = delta.rows;
    } else if (delta.ops) {
      next.rows = [];
      delta.ops.forEach(function (op) {
        if (Array.isArray(op)) {
          for (var k = 0; k < op[1]; k++) next.rows.push(table.rows[op[0] + k]);
        } else if (op.r) {
          next.rows.push(op.r);
        } else if (op.v) {
          op.v.forEach(function (value, k) {
            var changed = table.rows[op.i + k].slice();
            changed[op.c] = value;
            next.rows.push(changed);
          });
        } else {
          var row = table.rows[op.i].slice();
          Object.keys(op.s).forEach(function (c) { row[+c] = op.s[c]; });
          next.rows.push(row);
        }
      });
    }
    return next;
  }

  function applyDelta(change) {
    var set = change.set || {};
    Object.keys(set).forEach(function (key) { state[key] = set[key]; });
    renderTexts();
    if ('lastResult' in set) renderLast();
    if ('top3' in set) renderTop3();
    if ('cup' in set) renderCup();
    if ('release' in set) renderRelease();
    var tables = change.tables || {};
    Object.keys(tables).forEach(function (name) {
      var rowsBefore = tableOf(name).rows.length;
      setTable(name, applyTable(tableOf(name), tables[name]));
      if (byId('stages')) renderTable(name, tableOf(name), tables[name], rowsBefore);
    });
    if (byId('stages')) showOnly(shown);
  }

  // ---- the clock -------------------------------------------------------------------------
  function tick() {
    if (!state) return;
    // Without a connection the time is not run on: the last known state stays, plainly.
    if (!connected) {
      if (frozenText !== null) setText('clock', frozenText);
      return;
    }
    var clock = state.clock;
    if (showStale(mode === 'static' && clock.state === 'running' && writtenAt !== null &&
                  serverNow() - writtenAt > STALE_AFTER_MS)) {
      // What was on show stays; a page opened on an old file shows the time it was written.
      var shown = byId('clock');
      if (frozenText === null)
        frozenText = runningShown && shown ? shown.textContent : clockText(writtenAt - clock.startMs);
      setText('clock', frozenText);
      return;
    }
    var ms = clock.readyMs || 0;
    runningShown = clock.state === 'running';
    if (clock.state === 'running') ms = serverNow() - clock.startMs;
    else if (clock.state === 'countdown') ms = clock.countdownMs - (serverNow() - clock.startMs);
    else if (clock.state === 'stopped') ms = clock.stoppedMs;
    setText('clock', clockText(ms));
  }

  // ---- the connection --------------------------------------------------------------------
  function showConnection(text, className) {
    var element = byId('connection');
    if (element) {
      if (element.textContent !== text) element.textContent = text;
      element.className = 'connection ' + className;
    }
    document.body.setAttribute('data-connection', className);
  }

  // A state.json left behind: said in the place of "Live", with the time it was written.
  function showStale(on) {
    if (on !== staleShown) {
      staleShown = on;
      if (on) {
        var written = new Date(writtenWall || Date.now() - (serverNow() - writtenAt));
        showConnection('Stand von ' + written.toLocaleTimeString('de-DE'), 'lost');
      } else {
        showConnection('Live', 'on');
      }
    }
    return on;
  }

  function showRetry() {
    if (connected) return;
    if (mode === 'mqtt' && subscribed) {
      showConnection(programOffline ? 'Zeitnahme offline' : 'Warte auf die Zeitnahme \u2026', 'lost');
      return;
    }
    var seconds = Math.max(0, Math.ceil((retryAt - now()) / 1000));
    showConnection(retryTimer ? 'Verbindung unterbrochen \u2013 neuer Versuch in ' + seconds + ' s'
                              : 'Verbinde \u2026', 'lost');
  }

  function setConnected(on) {
    if (on === connected) return;
    if (!on) {
      var clock = byId('clock');
      frozenText = clock ? clock.textContent : null;
    }
    connected = on;
    staleShown = false;
    if (on) {
      attempts = 0;
      frozenText = null;
      showConnection('Live', 'on');
    } else {
      showRetry();
    }
    tick();
  }

  function retryLater(hintMs) {
    if (retryTimer) return;
    attempts++;
    var pause = Math.min(retryMaxMs, retryFirstMs * Math.pow(2, attempts - 1));
    // Spread: a venue's phones lost together do not come back together.
    var delay = hintMs > 0 ? Math.min(hintMs, retryMaxMs) * (0.6 + 0.4 * Math.random())
                           : pause * (0.5 + 0.5 * Math.random());
    retryAt = now() + delay;
    retryTimer = window.setTimeout(function () {
      retryTimer = null;
      reconnect();
    }, delay);
    showRetry();
  }

  function drop() {
    if (source) {
      source.close();
      source = null;
    }
    setConnected(false);
  }

  // A refused stream says nothing the page can read; the time answer does: a full server
  // answers 503 with Retry-After, a server that is away not at all.
  function probeAndConnect() {
    showRetry();
    timeSample().then(function (answer) {
      if (answer.status === 200) connect();
      else retryLater(answer.retryAfterMs);
    }, function () { retryLater(0); });
  }

  function connect() {
    var since = epoch !== null && version >= 0 ? '?since=' + encodeURIComponent(epoch + '-' + version) : '';
    source = new window.EventSource('/events' + since);
    lastHeard = now();
    source.addEventListener('state', function (event) {
      var envelope = JSON.parse(event.data);
      epoch = envelope.epoch;
      version = envelope.v;
      state = envelope.state;
      heard(envelope.serverTimeMs);
      setConnected(true);
      renderAll();
      sampleIfNeeded();
    });
    source.addEventListener('delta', function (event) {
      var change = JSON.parse(event.data);
      heard(change.serverTimeMs);
      if (!state || change.base !== version) {
        // Out of step: the whole state again.
        epoch = null;
        drop();
        connect();
        return;
      }
      version = change.v;
      setConnected(true);
      applyDelta(change);
    });
    source.addEventListener('ping', function (event) {
      heard(JSON.parse(event.data).serverTimeMs);
      if (state) setConnected(true);
      sampleIfNeeded();
    });
    source.onerror = function () {
      // The browser would try again at its own pace, or not at all after a refusal.
      drop();
      retryLater(0);
    };
  }

  // ---- a state.json on a web host, or a broker ------------------------------------------
  var writtenAt = null;    // the program's clock when the state shown was made
  var writtenWall = null;
  var runningShown = false;
  var staleShown = false;
  var stateTag = null;
  var stateText = null;
  var pollTimer = null;
  var subscribed = false;
  var programOffline = false;

  function receiveState(envelope) {
    if (!envelope || !envelope.state) return;
    heard(envelope.serverTimeMs);
    wallSample(envelope);
    writtenAt = typeof envelope.serverTimeMs === 'number' ? envelope.serverTimeMs : null;
    writtenWall = typeof envelope.wallTimeMs === 'number' ? envelope.wallTimeMs : null;
    runningShown = false;
    state = envelope.state;
    renderAll();
  }

  function pollLater(delay) {
    window.clearTimeout(pollTimer);
    pollTimer = window.setTimeout(poll, delay);
  }

  // The browser asks with the ETag it has (If-None-Match): an unchanged file is a 304 without
  // a body, handed to the page as the answer it had; only a new one is read.
  function poll() {
    pollTimer = null;
    window.fetch(sourceTag.getAttribute('data-state') || 'state.json', { cache: 'no-cache' })
      .then(function (response) {
        if (!response.ok) throw new Error('HTTP ' + response.status);
        var tag = response.headers.get('ETag');
        if (tag && tag === stateTag) return null;
        return response.text().then(function (text) {
          if (text === stateText) return null;
          var envelope = JSON.parse(text);
          stateTag = tag;
          stateText = text;
          return envelope;
        });
      })
      .then(function (envelope) {
        if (envelope) receiveState(envelope);
        if (state) setConnected(true);
        pollLater(document.hidden ? POLL_HIDDEN_MS : POLL_EVERY_MS);
      }, function () {
        setConnected(false);
        retryLater(0);
      });
  }

  function loadMqttClient(then) {
    if (window.VelmoraMqtt) { then(); return; }
    var script = document.createElement('script');
    script.src = new URL('mqtt.js', scriptUrl || document.baseURI).href;
    script.onload = then;
    script.onerror = function () { retryLater(0); };
    document.head.appendChild(script);
  }

  function brokerShown() {
    setConnected(subscribed && state !== null && !programOffline);
  }

  function brokerMessage(prefix, topic, text) {
    if (!text) return; // a topic taken off the broker
    var name = topic.slice(prefix.length + 1);
    if (name === 'status') {
      programOffline = text === 'offline';
    } else {
      var message;
      try { message = JSON.parse(text); } catch (error) { return; }
      if (name === 'state') {
        receiveState(message);
      } else if (name === 'uhr' && state && message.clock) {
        heard(message.serverTimeMs);
        wallSample(message);
        state.clock = message.clock;
        renderTexts();
      }
    }
    brokerShown();
  }

  function brokerConnect() {
    var prefix = sourceTag.getAttribute('data-prefix') || 'velmora';
    var topics = [prefix + '/state', prefix + '/uhr', prefix + '/status'];
    window.VelmoraMqtt.connect(sourceTag.getAttribute('data-url'), topics, {
      subscribed: function () {
        subscribed = true;
        brokerShown();
      },
      message: function (topic, text) { brokerMessage(prefix, topic, text); },
      closed: function () {
        subscribed = false;
        setConnected(false);
        retryLater(0);
      }
    });
  }

  var reconnect = probeAndConnect;

  // ---- tabs ------------------------------------------------------------------------------
  var shown = 'top3box';
  function showOnly(id) {
    shown = id;
    var tabs = byId('tabs');
    if (!tabs) return;
    ['top3box', 'cup'].concat(TABLES).forEach(function (name) {
      var section = byId(name);
      if (section) section.hidden = name !== id;
    });
    Array.prototype.forEach.call(tabs.querySelectorAll('button'), function (button) {
      button.className = button.getAttribute('data-show') === id ? 'active' : '';
    });
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
  showConnection('Verbinde \u2026', 'lost');
  window.setInterval(function () {
    tick();
    if (source && now() - lastHeard > LOST_AFTER_MS) {
      drop();
      retryLater(0);
    }
    if (!connected) showRetry();
  }, 40);
  if (mode === 'static') {
    // A web host or CDN that fails is asked again ever more rarely.
    retryFirstMs = 2 * POLL_EVERY_MS;
    retryMaxMs = 60000;
    reconnect = poll;
    document.addEventListener('visibilitychange', function () {
      if (!document.hidden && pollTimer) pollLater(0);
    });
    poll();
  } else if (mode === 'mqtt') {
    retryFirstMs = 1000;
    retryMaxMs = 30000;
    reconnect = function () { loadMqttClient(brokerConnect); };
    reconnect();
  } else {
    connect();
    timeSample().catch(function () {});
  }
})();
