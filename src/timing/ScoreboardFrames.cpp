#include "timing/ScoreboardFrames.h"

namespace {

constexpr char Soh = 0x01;
constexpr char Stx = 0x02;
constexpr char Eot = 0x04;

QByteArray field(int value, int width) {
    return value > 0 ? QByteArray::number(value).rightJustified(width, ' ', true)
                     : QByteArray(width, ' ');
}

} // namespace

std::optional<ScoreboardFrames::Protocol> ScoreboardFrames::protocolFor(const QString& id) {
    if (id == QLatin1String("gaz"))
        return Protocol::Gaz;
    if (id == QLatin1String("unt4"))
        return Protocol::Unt4;
    return std::nullopt;
}

QString ScoreboardFrames::protocolName(Protocol protocol) {
    return protocol == Protocol::Gaz ? QStringLiteral("ALGE GAZ (Zeile, CR)")
                                     : QStringLiteral("UNT4 (SOH/STX/EOT)");
}

QByteArray ScoreboardFrames::timeField(qint32 ms, bool tenths) {
    ms = qMax(0, ms);
    const qint32 hundredths = ms / 10;
    const int h = hundredths / 360000;
    const int m = hundredths / 6000 % 60;
    const int s = hundredths / 100 % 60;
    QByteArray text;
    if (h > 0)
        text = QByteArray::number(h) + ':' + QByteArray::number(m).rightJustified(2, '0') + ':' +
               QByteArray::number(s).rightJustified(2, '0');
    else if (m > 0)
        text = QByteArray::number(m) + ':' + QByteArray::number(s).rightJustified(2, '0');
    else
        text = QByteArray::number(s);
    text += '.';
    text += tenths ? QByteArray::number(hundredths / 10 % 10)
                   : QByteArray::number(hundredths % 100).rightJustified(2, '0');
    return text.rightJustified(11, ' ');
}

double ScoreboardFrames::lineSeconds(qsizetype bytes, int baudRate) {
    return baudRate > 0 ? double(bytes) * 10.0 / baudRate : 0.0;
}

QByteArray ScoreboardFrames::frame(Protocol protocol, Kind kind, int number, qint32 ms, int place) {
    const QByteArray text =
        field(number, 4) + ' ' + field(place, 2) + ' ' + timeField(ms, kind == Kind::Running);
    return framed(protocol, kind, text);
}

QByteArray ScoreboardFrames::test(Protocol protocol) {
    return framed(protocol, Kind::Test, QByteArrayLiteral("8888 88 88:88:88.88"));
}

QByteArray ScoreboardFrames::framed(Protocol protocol, Kind kind, const QByteArray& text) {
    const char type = static_cast<char>(kind);
    if (protocol == Protocol::Gaz)
        return type + text + '\r';
    return Soh + QByteArrayLiteral("00") + type + Stx + text + Eot;
}
