// A small MQTT 3.1.1 client over WebSockets that only reads, for the live pages when the race
// comes from a broker instead of the program's own server. It connects with a clean session
// and a random id, subscribes at QoS 0 and hands every message on as text. A broker may cut
// its packets into several WebSocket messages or put several packets into one, so the bytes
// are read as one stream. Trying again after a failure is left to the page, which spreads it.
(function () {
  'use strict';

  var KEEP_ALIVE_S = 30;
  var PING_EVERY_MS = KEEP_ALIVE_S * 1000 / 3;
  // Nothing heard for this long, not even the answer to a ping: the link is dead.
  var SILENT_MAX_MS = KEEP_ALIVE_S * 1500;
  var CONNECT_TIMEOUT_MS = 15000;
  // The whole state of a large race is some hundred KB; anything near this is no race.
  var PACKET_MAX = 16 * 1024 * 1024;

  var CONNECT = 1, CONNACK = 2, PUBLISH = 3, PUBACK = 4, PUBREC = 5, PUBREL = 6, PUBCOMP = 7;
  var SUBSCRIBE = 8, SUBACK = 9, PINGREQ = 12, PINGRESP = 13, DISCONNECT = 14;

  var REFUSALS = {
    1: 'Protokollversion nicht unterstützt',
    2: 'Client-ID abgelehnt',
    3: 'Broker nicht verfügbar',
    4: 'Benutzer oder Passwort falsch',
    5: 'nicht berechtigt'
  };

  var encoder = new TextEncoder();
  var decoder = new TextDecoder('utf-8');

  function lengthBytes(length) {
    var bytes = [];
    do {
      var digit = length % 128;
      length = Math.floor(length / 128);
      bytes.push(length > 0 ? digit | 0x80 : digit);
    } while (length > 0);
    return bytes;
  }

  function stringBytes(text) {
    var utf8 = encoder.encode(text);
    return [utf8.length >> 8, utf8.length & 0xff].concat(Array.prototype.slice.call(utf8));
  }

  function packet(type, flags, body) {
    return new Uint8Array([(type << 4) | flags].concat(lengthBytes(body.length), body));
  }

  // 1 to 23 letters and digits: the ids every 3.1.1 broker must take.
  function randomId() {
    var letters = 'abcdefghijklmnopqrstuvwxyz0123456789';
    var random = new Uint8Array(16);
    window.crypto.getRandomValues(random);
    var id = 'velmora';
    for (var i = 0; i < random.length; i++) id += letters[random[i] % letters.length];
    return id;
  }

  function connectPacket(clientId) {
    var body = stringBytes('MQTT').concat([4, 0x02, KEEP_ALIVE_S >> 8, KEEP_ALIVE_S & 0xff],
                                          stringBytes(clientId));
    return packet(CONNECT, 0, body);
  }

  function subscribePacket(packetId, topics) {
    var body = [packetId >> 8, packetId & 0xff];
    topics.forEach(function (topic) { body = body.concat(stringBytes(topic), [0]); });
    return packet(SUBSCRIBE, 2, body);
  }

  function idPacket(type, flags, packetId) {
    return packet(type, flags, [packetId >> 8, packetId & 0xff]);
  }

  // The bytes received so far, and the whole packets in them.
  function PacketStream() {
    this.bytes = new Uint8Array(0);
  }

  PacketStream.prototype.push = function (chunk) {
    var joined = new Uint8Array(this.bytes.length + chunk.length);
    joined.set(this.bytes, 0);
    joined.set(chunk, this.bytes.length);
    this.bytes = joined;
  };

  // The next whole packet {type, flags, body}, null while it is incomplete; throws on a packet
  // no broker sends.
  PacketStream.prototype.next = function () {
    var bytes = this.bytes;
    if (bytes.length < 2) return null;
    var length = 0;
    var factor = 1;
    var at = 1;
    for (;;) {
      if (at >= bytes.length) return null;
      if (at > 4) throw new Error('Paketlänge ungültig');
      var digit = bytes[at++];
      length += (digit & 0x7f) * factor;
      factor *= 128;
      if ((digit & 0x80) === 0) break;
    }
    if (length > PACKET_MAX) throw new Error('Paket zu groß');
    if (bytes.length < at + length) return null;
    var whole = { type: bytes[0] >> 4, flags: bytes[0] & 0x0f, body: bytes.subarray(at, at + length) };
    this.bytes = bytes.slice(at + length);
    return whole;
  };

  function readPublish(flags, body) {
    var topicLength = (body[0] << 8) | body[1];
    var at = 2 + topicLength;
    var qos = (flags >> 1) & 3;
    var packetId = qos > 0 ? (body[at] << 8) | body[at + 1] : 0;
    if (qos > 0) at += 2;
    if (at > body.length) throw new Error('Nachricht unvollständig');
    return {
      topic: decoder.decode(body.subarray(2, 2 + topicLength)),
      text: decoder.decode(body.subarray(at)),
      retained: (flags & 1) === 1,
      qos: qos,
      packetId: packetId
    };
  }

  // Connects at once. handlers: subscribed(), message(topic, text, retained), closed(reason):
  // closed is told once, after any failure or loss, never after close().
  function connect(url, topics, handlers) {
    var socket = null;
    var stream = new PacketStream();
    var done = false;
    var lastSent = 0;
    var lastHeard = window.performance.now();
    var watchdog = null;
    var ready = false;

    function send(bytes) {
      if (socket && socket.readyState === 1) {
        socket.send(bytes);
        lastSent = window.performance.now();
      }
    }

    function finish(reason, notify) {
      if (done) return;
      done = true;
      window.clearInterval(watchdog);
      if (socket) {
        socket.onopen = socket.onmessage = socket.onclose = socket.onerror = null;
        try {
          if (!notify) send(packet(DISCONNECT, 0, []));
          socket.close();
        } catch (ignored) { /* already closed */ }
      }
      if (notify) handlers.closed(reason);
    }

    function handle(incoming) {
      switch (incoming.type) {
      case CONNACK:
        if (incoming.body[1] !== 0) {
          finish('Broker lehnt ab: ' + (REFUSALS[incoming.body[1]] || incoming.body[1]), true);
          return;
        }
        send(subscribePacket(1, topics));
        break;
      case SUBACK:
        for (var i = 2; i < incoming.body.length; i++) {
          if (incoming.body[i] === 0x80) {
            finish('Thema nicht lesbar: ' + topics[i - 2], true);
            return;
          }
        }
        ready = true;
        handlers.subscribed();
        break;
      case PUBLISH: {
        var message = readPublish(incoming.flags, incoming.body);
        if (message.qos === 1) send(idPacket(PUBACK, 0, message.packetId));
        else if (message.qos === 2) send(idPacket(PUBREC, 0, message.packetId));
        handlers.message(message.topic, message.text, message.retained);
        break;
      }
      case PUBREL:
        send(idPacket(PUBCOMP, 0, (incoming.body[0] << 8) | incoming.body[1]));
        break;
      case PINGRESP:
        break;
      default:
        throw new Error('unerwartetes Paket ' + incoming.type);
      }
    }

    try {
      socket = new window.WebSocket(url, ['mqtt']);
    } catch (error) {
      window.setTimeout(function () { finish('Adresse ungültig: ' + url, true); }, 0);
      return { close: function () { finish('', false); } };
    }
    socket.binaryType = 'arraybuffer';
    socket.onopen = function () { send(connectPacket(randomId())); };
    socket.onmessage = function (event) {
      if (done) return;
      lastHeard = window.performance.now();
      if (!(event.data instanceof ArrayBuffer)) {
        finish('Broker sendet Text statt MQTT', true);
        return;
      }
      try {
        stream.push(new Uint8Array(event.data));
        for (var incoming = stream.next(); incoming && !done; incoming = stream.next()) handle(incoming);
      } catch (error) {
        finish('Fehler im Datenstrom: ' + error.message, true);
      }
    };
    socket.onerror = function () { finish('Broker nicht erreichbar', true); };
    socket.onclose = function () { finish('Verbindung vom Broker beendet', true); };
    var opened = window.performance.now();
    watchdog = window.setInterval(function () {
      var now = window.performance.now();
      if (!ready && now - opened > CONNECT_TIMEOUT_MS) {
        finish('Broker antwortet nicht', true);
      } else if (now - lastHeard > SILENT_MAX_MS) {
        finish('Broker antwortet nicht mehr', true);
      } else if (socket.readyState === 1 && now - lastSent >= PING_EVERY_MS) {
        send(packet(PINGREQ, 0, []));
      }
    }, 1000);
    return { close: function () { finish('', false); } };
  }

  window.VelmoraMqtt = { connect: connect, PacketStream: PacketStream };
})();
