#pragma once

#include "journal/JournalEntry.h"
#include "journal/JournalLineFormat.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>

// Today's journal of a contact that chattered all day, one line change every 40 ms, until
// `bytes` are written. The last lines stay in `chunk` for the bench to add its runs after them;
// the last line change is returned for its stamp and time of day.
inline JournalEntry writeChatteringDay(QFile& file, qint64 bytes, QByteArray& chunk) {
    chunk = JournalLineFormat::header().toUtf8() + '\n';
    JournalEntry e;
    e.kind = JournalEntry::Kind::LineChange;
    e.name = QStringLiteral("DCD (Zwischen)");
    e.remark = QStringLiteral("0x20");
    const QDateTime day(QDate::currentDate(), QTime(0, 0));
    qint64 written = 0;
    for (qint64 i = 0; written < bytes; ++i) {
        e.wallClock = day.addMSecs(i * 40);
        e.stamp = 1'000'000'000 + i * 40'000;
        e.oldText = i % 2 ? QStringLiteral("Ein") : QStringLiteral("Aus");
        e.newText = i % 2 ? QStringLiteral("Aus") : QStringLiteral("Ein");
        chunk += JournalLineFormat::format(e).toUtf8() + '\n';
        if (chunk.size() > 1 << 20) {
            written += file.write(chunk);
            chunk.clear();
        }
    }
    return e;
}
