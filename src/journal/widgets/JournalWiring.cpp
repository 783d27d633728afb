#include "journal/widgets/JournalWiring.h"

#include "competition/Competition.h"
#include "competition/ResultEntry.h"
#include "competition/StageTables.h"
#include "journal/JournalReader.h"
#include "journal/JournalRecorder.h"
#include "journal/JournalRecovery.h"
#include "journal/JournalWriter.h"
#include "journal/widgets/JournalDialog.h"
#include "journal/widgets/JournalInputSource.h"
#include "output/BackupWriter.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "ui/HeaderBand.h"
#include "ui/MainActions.h"
#include "ui/MainStatusBar.h"
#include "ui/TFormMain.h"
#include "ui/TPageControl.h"
#include "ui/TimingWiring.h"

#include <QAction>
#include <QFileInfo>
#include <QToolButton>

namespace {

constexpr int NoticeMs = 30000;

} // namespace

JournalWiring::JournalWiring(TFormMain& window, BackupWriter& backup)
    : QObject(nullptr), m_window(window), m_backup(backup) {
    const QString folder = QFileInfo(backup.backupPath()).absolutePath();
    m_writer = new JournalWriter(folder, window.ProgramTitle(), this);
    loadToday();

    TimingWiring& timing = window.timingWiring();
    m_recorder = new JournalRecorder(
        timing.tickSource(), [writer = m_writer](const JournalEntry& e) { writer->append(e); }, {},
        this);
    m_input = new JournalInputSource(this);
    m_recorder->setSourceResolver([input = m_input] { return input->current(); });
    m_recorder->watchClock(timing.clock());
    m_recorder->watchBarriers(timing.barriers());
    m_recorder->watchTable(window.competition().heatStartList(),
                           window.PageControl1()->tabText(0).trimmed());
    connect(&timing.port(), &LightBarrierPort::lineChanged, m_recorder,
            &JournalRecorder::lineChanged);
    connect(m_recorder, &JournalRecorder::recorded, this, &JournalWiring::keep);

    backup.setBeforeWrite([this] {
        m_recorder->catchUpTable();
        m_writer->flush();
    });
    connect(
        m_writer, &JournalWriter::writeFailed, this,
        [this](const QString& path, const QString& reason) {
            m_window.StatusBar1()->showMessage(failureText(path, reason), NoticeMs);
        },
        Qt::QueuedConnection);
    connectCommands();
    m_recorder->programStarted(QStringLiteral(VELMORA_VERSION));
    if (m_skipped > 0)
        m_window.StatusBar1()->showMessage(
            QStringLiteral("Zeitprotokoll: %1 beschädigte Zeile(n) übersprungen").arg(m_skipped),
            NoticeMs);
}

JournalWiring::~JournalWiring() {
    m_backup.setBeforeWrite({});
    m_recorder->programEnded();
    m_writer->flush(2000);
}

QString JournalWiring::failureText(const QString& path, const QString& reason) {
    return QStringLiteral("Das Zeitprotokoll kann nicht geschrieben werden: ") + path +
           QStringLiteral(" (") + reason + QStringLiteral(")");
}

void JournalWiring::loadToday() {
    m_day = QDate::currentDate();
    const JournalReader::Result read = JournalReader::readFile(m_writer->pathFor(m_day));
    m_today = read.entries;
    m_skipped = read.skippedLines;
}

void JournalWiring::connectCommands() {
    MainActions& a = m_window.actions();
    const auto chosen = [this](const QString& name) {
        return [this, name] {
            m_recorder->commandChosen(name);
        };
    };
    connect(a.Neue1, &QAction::triggered, this, chosen(a.Neue1->text()));
    connect(m_window.header()->sbCLS, &QToolButton::clicked, this, chosen(a.Neue1->text()));
    connect(a.mOpen, &QAction::triggered, this, chosen(a.mOpen->text()));
    connect(a.Deleteresults1, &QAction::triggered, this, chosen(a.Deleteresults1->text()));
    connect(a.Generate, &QAction::triggered, this, chosen(a.Generate->text()));
    connect(a.mJournal, &QAction::triggered, this, &JournalWiring::showDialog);
}

void JournalWiring::keep(const JournalEntry& entry) {
    const QDate day = entry.wallClock.date();
    if (day != m_day) {
        // Past midnight the dialog shows the new day.
        m_day = day;
        m_today.clear();
    }
    m_today.append(entry);
}

JournalDialog* JournalWiring::dialog() const {
    return m_dialog;
}

void JournalWiring::showDialog() {
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    auto* dialog = new JournalDialog(m_window.competition().timeFormat(), &m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog = dialog;
    dialog->setEntries(m_today);
    describeTarget();
    connect(dialog, &JournalDialog::enterRequested, this, &JournalWiring::enterFromJournal);
    // New impulses appear while it is open.
    connect(m_recorder, &JournalRecorder::recorded, dialog, [this, dialog](const JournalEntry& e) {
        if (e.isImpulse())
            dialog->setEntries(m_today);
    });
    dialog->open();
}

void JournalWiring::enterFromJournal(qint64 startStamp, qint64 stopStamp) {
    const auto run = JournalRecovery::runTime(startStamp, stopStamp);
    if (!run)
        return;
    m_recorder->enterFromJournal(startStamp, stopStamp,
                                 [this, ms = *run] { m_window.timingWiring().enterResult(ms); });
    if (m_dialog) {
        m_dialog->setOutcome(QStringLiteral("Eingetragen: ") +
                             m_window.competition().timeFormat().FormatTime(*run / 10));
        describeTarget();
    }
}

void JournalWiring::describeTarget() {
    if (!m_dialog)
        return;
    const int page = qMax(0, m_window.PageControl1()->currentIndex());
    Competition& competition = m_window.competition();
    const TSortGrid& table = ResultEntry::targetTable(competition, page);
    const int row = table.Row();
    using namespace StageTables;
    const QString number = table.cell(Heat::Nr, row);
    if (number.isEmpty()) {
        m_dialog->setTarget(
            QStringLiteral("Zeile %1 ohne Nr.: die Zeit kommt in eine neue Zeile").arg(row));
        return;
    }
    m_dialog->setTarget(QStringLiteral("Nr. %1  %2 %3  (%4)")
                            .arg(number, table.cell(Heat::Name, row),
                                 table.cell(Heat::Vorname, row),
                                 m_window.PageControl1()->tabText(page < 2 ? 0 : 2).trimmed()));
}
