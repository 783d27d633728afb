#pragma once

#include "timing/TimerImpulse.h"
#include "timing/TimerLineProfile.h"

#include <QRegularExpression>
#include <optional>

// Reads the lines of one timer by its profile. It keeps the day: a stamp far before the last
// one is taken as the next day (a midnight passed), one far after it as the day before (an
// impulse of the evening read out of the memory after midnight).
class TimerLineParser {
public:
    struct Line {
        enum class Kind {
            Impulse,
            // A line that is no impulse (a header, a running time, a cancelled impulse).
            Ignored,
            // A line the profile cannot read: garbage, a wrong checksum, an unknown channel.
            Unreadable,
        };
        Kind kind = Kind::Unreadable;
        TimerImpulse impulse; // its raw line is set for every kind
        QString reason;       // why a line was ignored or is unreadable (German)
    };

    explicit TimerLineParser(const TimerLineProfile& profile);

    const TimerLineProfile& profile() const { return m_profile; }
    // One line without its terminator.
    Line parse(const QByteArray& raw);

    // "HH:MM:SS.f" with 1 to 5 decimals, in 1/10000 s (a fifth decimal is cut off).
    static std::optional<qint64> parseTime(QStringView text);
    // The XOR of the bytes, as two upper-case hex digits.
    static QByteArray xorChecksum(QByteArrayView bytes);

private:
    Line unreadable(Line line, const QString& reason) const;
    int dayFor(qint64 stamp);

    TimerLineProfile m_profile;
    QRegularExpression m_pattern;
    QRegularExpression m_ignore;
    QRegularExpression m_channels;
    std::optional<qint64> m_last; // continuous stamp of the newest impulse
};
