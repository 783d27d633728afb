#include "session/SessionJournal.h"

#include "journal/JournalBackwardReader.h"
#include "journal/JournalRecorder.h"
#include "journal/JournalRunIndex.h"
#include "journal/JournalWriter.h"
#include "output/BackupWriter.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"

#include <QDate>
#include <QFileInfo>

namespace {

// Start-up looks only at the end of today's journal: a crash cuts its last lines.
constexpr int StartupCheckLines = 100;

} // namespace

SessionJournal::SessionJournal(const TickSource& ticks, RunClock& clock, BarrierLogic& barriers,
                               LightBarrierPort& port, CompetitionTable& heatStartList,
                               const QString& heatCaption, BackupWriter& backup,
                               const QString& programTitle, QObject* parent)
    : QObject(parent), m_backup(backup) {
    const QString folder = QFileInfo(backup.backupPath()).absolutePath();
    m_writer = new JournalWriter(folder, programTitle, this);
    checkTodaysEnd();
    // A run across midnight starts in yesterday's file.
    const QDate today = QDate::currentDate();
    m_runIndex =
        new JournalRunIndex(JournalRunIndex::fileReader(
                                {m_writer->pathFor(today), m_writer->pathFor(today.addDays(-1))}),
                            this);

    m_recorder = new JournalRecorder(
        ticks, [writer = m_writer](const JournalEntry& e) { writer->append(e); }, {}, this);
    connect(m_recorder, &JournalRecorder::recorded, m_runIndex, &JournalRunIndex::see);
    m_recorder->watchClock(clock);
    m_recorder->watchBarriers(barriers);
    m_recorder->watchBackupStop(barriers.backupStop());
    m_recorder->watchTable(heatStartList, heatCaption);
    connect(&port, &LightBarrierPort::lineChanged, m_recorder, &JournalRecorder::lineChanged);
    connect(&port, &LightBarrierPort::connectionLost, m_recorder,
            [this](const QString& device, const QString& reason) {
                m_recorder->note(LightBarrierPort::lostText(device), reason);
            });
    connect(&port, &LightBarrierPort::connectionRestored, m_recorder,
            [this](const QString& device) {
                m_recorder->note(LightBarrierPort::restoredText(), device);
            });

    backup.setBeforeWrite([this] {
        m_recorder->catchUpTable();
        m_writer->flush();
    });
    connect(
        m_writer, &JournalWriter::writeFailed, this,
        [this](const QString& path, const QString& reason) {
            Q_EMIT failed(failureText(path, reason));
        },
        Qt::QueuedConnection);
    connect(m_writer, &JournalWriter::writeRecovered, this, &SessionJournal::recovered,
            Qt::QueuedConnection);
    m_recorder->programStarted(QStringLiteral(VELMORA_VERSION));
}

SessionJournal::~SessionJournal() {
    m_backup.setBeforeWrite({});
    m_recorder->programEnded();
    m_writer->flush(2000);
}

QString SessionJournal::failureText(const QString& path, const QString& reason) {
    return QStringLiteral("Das Zeitprotokoll kann nicht geschrieben werden: ") + path +
           QStringLiteral(" (") + reason + QStringLiteral(")");
}

QString SessionJournal::damagedLinesText(int lines) {
    return QStringLiteral("Zeitprotokoll: %1 beschädigte Zeile(n) übersprungen").arg(lines);
}

void SessionJournal::checkTodaysEnd() {
    JournalBackwardReader reader({m_writer->pathFor(QDate::currentDate())});
    reader.readOlder(StartupCheckLines);
    m_skipped = reader.skippedLines();
    QStringList notices = reader.errors();
    for (QString& error : notices)
        error.prepend(QStringLiteral("Zeitprotokoll nicht lesbar: "));
    if (m_skipped > 0)
        notices.prepend(damagedLinesText(m_skipped));
    m_startupNotice = notices.join(QStringLiteral("; "));
}
