#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// What a scoreboard is sent, in its protocol: the running time, the stopped time and the last
// result (start number, time, place).
// - "gaz": one line of text ended by CR, at 2400 baud: a type letter, the start number in four
//   places, the place in two, the time right-aligned in eleven ("HH:MM:SS.zh" without its
//   leading zeros and colons).
// - "unt4": the same fields framed as SOH, a header of the board's address (two digits) and the
//   type letter, STX, the text, EOT.
class ScoreboardFrames {
public:
    enum class Protocol { Gaz, Unt4 };
    enum class Kind : char { Running = 'R', Stopped = 'S', Result = 'E', Test = 'T' };

    static std::optional<Protocol> protocolFor(const QString& id);
    static QString protocolName(Protocol protocol);

    // number 0 and place 0 leave their fields blank; ms in milliseconds (shown to hundredths,
    // the running time to tenths).
    static QByteArray frame(Protocol protocol, Kind kind, int number, qint32 ms, int place);
    // Every segment lit: "8888 88 88:88:88.88".
    static QByteArray test(Protocol protocol);
    // The time as the board shows it: "    1:05.43", "      45.39"; tenths only for running.
    static QByteArray timeField(qint32 ms, bool tenths);
    // Seconds of line time a frame of this many bytes takes at the rate (10 bits a byte).
    static double lineSeconds(qsizetype bytes, int baudRate);

private:
    static QByteArray framed(Protocol protocol, Kind kind, const QByteArray& text);
};
