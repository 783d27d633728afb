#include "timing/TimerLineParser.h"

namespace {

QString groupText(const QRegularExpressionMatch& match, const QString& name) {
    return match.captured(name).trimmed();
}

} // namespace

TimerLineParser::TimerLineParser(const TimerLineProfile& profile)
    : m_profile(profile), m_pattern(profile.pattern), m_ignore(profile.ignorePattern),
      m_channels(profile.channelPattern) {
    m_pattern.optimize();
    m_ignore.optimize();
}

std::optional<qint64> TimerLineParser::parseTime(QStringView text) {
    text = text.trimmed();
    const qsizetype dot = text.indexOf(u'.') >= 0 ? text.indexOf(u'.') : text.indexOf(u',');
    if (dot < 0)
        return std::nullopt;
    const QList<QStringView> parts = text.first(dot).split(u':');
    const QStringView decimals = text.sliced(dot + 1);
    if (parts.size() != 3 || decimals.isEmpty() || decimals.size() > 5)
        return std::nullopt;
    bool ok[4]{};
    const int h = parts[0].toInt(&ok[0]);
    const int m = parts[1].toInt(&ok[1]);
    const int s = parts[2].toInt(&ok[2]);
    qint64 fraction = decimals.first(std::min<qsizetype>(4, decimals.size())).toLongLong(&ok[3]);
    if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || h > 23 || m > 59 || s > 59)
        return std::nullopt;
    for (qsizetype i = decimals.size(); i < 4; ++i)
        fraction *= 10;
    return (h * 3600LL + m * 60 + s) * 10000 + fraction;
}

QByteArray TimerLineParser::xorChecksum(QByteArrayView bytes) {
    unsigned char sum = 0;
    for (char c : bytes)
        sum ^= static_cast<unsigned char>(c);
    return QByteArray::number(sum, 16).toUpper().rightJustified(2, '0');
}

TimerLineParser::Line TimerLineParser::unreadable(Line line, const QString& reason) const {
    line.kind = Line::Kind::Unreadable;
    line.reason = reason;
    return line;
}

TimerLineParser::Line TimerLineParser::parse(const QByteArray& raw) {
    Line line;
    line.impulse.raw = raw;
    // Latin-1 keeps every byte, so a line of garbage is journaled as it came.
    const QString text = QString::fromLatin1(raw);
    if (text.trimmed().isEmpty() ||
        (!m_profile.ignorePattern.isEmpty() && m_ignore.match(text).hasMatch())) {
        line.kind = Line::Kind::Ignored;
        line.reason = QStringLiteral("keine Impulszeile");
        return line;
    }
    const QRegularExpressionMatch match = m_pattern.match(text);
    if (!match.hasMatch())
        return unreadable(line, QStringLiteral("Zeile nicht lesbar"));
    if (m_profile.checksum == TimerLineProfile::Checksum::XorHex) {
        const qsizetype at = match.capturedStart(QStringLiteral("check"));
        if (at < 0 || groupText(match, QStringLiteral("check")).toUpper().toLatin1() !=
                          xorChecksum(QByteArrayView(raw).first(at)))
            return unreadable(line, QStringLiteral("Prüfsumme falsch"));
    }
    TimerImpulse& impulse = line.impulse;
    impulse.channel = groupText(match, QStringLiteral("channel"));
    if (!m_channels.match(impulse.channel).hasMatch())
        return unreadable(line, QStringLiteral("unbekannter Kanal ") + impulse.channel);
    const std::optional<qint64> stamp = parseTime(match.capturedView(QStringLiteral("time")));
    if (!stamp)
        return unreadable(line, QStringLiteral("Zeit ungültig"));
    impulse.stamp = *stamp;
    impulse.number = groupText(match, QStringLiteral("number")).toInt();
    const QString index = groupText(match, QStringLiteral("index"));
    impulse.index = index.isEmpty() ? -1 : index.toInt();
    const QString flag = match.captured(QStringLiteral("flag"));
    impulse.flag = flag.isEmpty() ? QChar(u' ') : flag.front();
    if (m_profile.ignoredChannels.contains(impulse.channel)) {
        line.kind = Line::Kind::Ignored;
        line.reason = QStringLiteral("Laufzeit des Geräts");
        return line;
    }
    if (impulse.flag != u' ' && m_profile.cancelFlags.contains(impulse.flag)) {
        line.kind = Line::Kind::Ignored;
        line.reason = QStringLiteral("am Gerät gelöscht");
        return line;
    }
    impulse.day = dayFor(impulse.stamp);
    line.kind = Line::Kind::Impulse;
    return line;
}

int TimerLineParser::dayFor(qint64 stamp) {
    if (!m_last) {
        m_last = stamp;
        return 0;
    }
    // The day that puts the stamp nearest to the newest impulse.
    const qint64 lastDay = *m_last / TimerImpulse::TicksPerDay;
    qint64 best = lastDay;
    for (qint64 day = lastDay - 1; day <= lastDay + 1; ++day) {
        if (day < 0)
            continue;
        const qint64 candidate = day * TimerImpulse::TicksPerDay + stamp;
        const qint64 bestCandidate = best * TimerImpulse::TicksPerDay + stamp;
        if (std::abs(candidate - *m_last) < std::abs(bestCandidate - *m_last))
            best = day;
    }
    const qint64 continuous = best * TimerImpulse::TicksPerDay + stamp;
    if (continuous > *m_last)
        m_last = continuous;
    return static_cast<int>(best);
}
