#include "journal/JournalRunIndex.h"

#include "journal/JournalBackwardReader.h"

#include <QFileInfo>
#include <memory>
#include <utility>

JournalRunIndex::JournalRunIndex(Reader reader, QObject* parent) : QObject(parent) {
    m_thread = std::thread([this, reader = std::move(reader)] {
        auto earlier = std::make_shared<JournalRuns>(reader(m_stop));
        if (m_stop.load())
            return;
        // Handed to the index's thread; dropped there if the index goes first.
        QMetaObject::invokeMethod(
            this, [this, earlier] { takeEarlier(std::move(*earlier)); }, Qt::QueuedConnection);
    });
}

JournalRunIndex::~JournalRunIndex() {
    m_stop.store(true);
    if (m_thread.joinable())
        m_thread.join();
}

JournalRunIndex::Reader JournalRunIndex::fileReader(const QStringList& paths, int maxLines) {
    // Taken now, before this session writes its first line.
    QList<qint64> ends;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        ends.append(info.exists() ? info.size() : -1);
    }
    return [paths, ends, maxLines](const std::atomic<bool>& stop) {
        JournalBackwardReader reader(paths);
        reader.setEnds(ends);
        return JournalRuns::read(reader, maxLines, &stop);
    };
}

void JournalRunIndex::see(const JournalEntry& entry) {
    if (!JournalRuns::tellsOfRuns(entry))
        return;
    if (m_ready)
        m_runs.see(entry);
    else
        m_recent.push_back(entry);
}

void JournalRunIndex::takeEarlier(JournalRuns earlier) {
    m_runs = std::move(earlier);
    for (const JournalEntry& entry : m_recent)
        m_runs.see(entry);
    m_recent.clear();
    m_recent.shrink_to_fit();
    m_ready = true;
    Q_EMIT ready();
}
