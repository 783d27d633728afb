#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// How one family of timers writes an impulse as a line of text: what ends a line, where the
// flag, start number, channel, memory index, time and checksum stand (the named groups of a
// regular expression), which lines are no impulses at all (headers, running times), which
// channels exist and which flags cancel an impulse. A new timer is one more entry in
// builtIn(); nothing else in the program knows the formats.
struct TimerLineProfile {
    enum class Checksum {
        None,
        // Two hex digits: the XOR of every byte of the line before the checksum field.
        XorHex,
    };

    QString id;
    QString name;
    // Any of these bytes ends a line; a CR LF pair therefore leaves an empty line, which is
    // skipped.
    QByteArray terminators = QByteArrayLiteral("\r\n");
    // Named groups: time (required), channel (required), number, flag, index, check.
    QString pattern;
    // Lines that carry no impulse and are passed over (counted, never journaled one by one).
    QString ignorePattern;
    // The channels the timer has; an impulse on any other is unreadable.
    QString channelPattern;
    // Channels whose lines are no impulses (running or total times the timer computed).
    QStringList ignoredChannels;
    // Flags that mark an impulse the timer's operator cancelled.
    QString cancelFlags;
    Checksum checksum = Checksum::None;
    int baudRate = 9600;
    // The channels usually wired to the start, the stop and the split.
    QString startChannel;
    QString stopChannel;
    QString splitChannel;
    // One impulse line, as the manual shows it.
    QByteArray sample;

    // The channel without its hand-key mark: "c1M" and "c1" are the same channel, as are
    // "M1" and "1".
    static QString baseChannel(const QString& channel);
    static const QList<TimerLineProfile>& builtIn();
    // nullptr when no profile has this id.
    static const TimerLineProfile* find(const QString& id);
};
