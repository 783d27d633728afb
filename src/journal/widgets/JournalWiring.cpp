#include "journal/widgets/JournalWiring.h"

#include "competition/Competition.h"
#include "competition/ResultEntry.h"
#include "competition/StageTables.h"
#include "journal/JournalBackwardReader.h"
#include "journal/JournalRecorder.h"
#include "journal/JournalRecovery.h"
#include "journal/JournalWriter.h"
#include "journal/widgets/JournalDialog.h"
#include "journal/widgets/JournalImpulseModel.h"
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
// Start-up looks only at the end of today's journal: a crash cuts its last lines.
constexpr int StartupCheckLines = 100;

} // namespace

JournalWiring::JournalWiring(TFormMain& window, BackupWriter& backup)
    : QObject(nullptr), m_window(window), m_backup(backup) {
    const QString folder = QFileInfo(backup.backupPath()).absolutePath();
    m_writer = new JournalWriter(folder, window.ProgramTitle(), this);
    checkTodaysEnd();

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

    backup.setBeforeWrite([this] {
        m_recorder->catchUpTable();
        m_writer->flush();
    });
    // Stays in the status bar, beside the backup's panel, until the journal is written again.
    connect(
        m_writer, &JournalWriter::writeFailed, this,
        [this](const QString& path, const QString& reason) {
            m_window.StatusBar1()->setLastingNotice(failureText(path, reason));
        },
        Qt::QueuedConnection);
    connect(
        m_writer, &JournalWriter::writeRecovered, this,
        [this] {
            m_window.StatusBar1()->setLastingNotice(QString());
            m_window.StatusBar1()->showNotice(recoveredText(), NoticeMs);
        },
        Qt::QueuedConnection);
    connectCommands();
    m_recorder->programStarted(QStringLiteral(VELMORA_VERSION));
    if (!m_startupNotice.isEmpty())
        m_window.StatusBar1()->showNotice(m_startupNotice, NoticeMs);
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

QString JournalWiring::damagedLinesText(int lines) {
    return QStringLiteral("Zeitprotokoll: %1 beschädigte Zeile(n) übersprungen").arg(lines);
}

void JournalWiring::checkTodaysEnd() {
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
    connect(a.mImport, &QAction::triggered, this, chosen(a.mImport->text()));
    connect(a.mLateEntry, &QAction::triggered, this, chosen(a.mLateEntry->text()));
    connect(a.mJournal, &QAction::triggered, this, &JournalWiring::showDialog);
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
    // What was recorded before is in the files from here on; what comes later reaches the
    // list as it is recorded. A run across midnight starts in yesterday's file.
    m_writer->flush();
    const QDate today = QDate::currentDate();
    auto reader = std::make_unique<JournalBackwardReader>(
        QStringList{m_writer->pathFor(today), m_writer->pathFor(today.addDays(-1))});
    // While the file cannot be written, what it lacks is still shown.
    reader->setNewestLines(m_writer->heldBackLines());
    Competition& competition = m_window.competition();
    auto* model = new JournalImpulseModel(std::move(reader), competition.timeFormat(), today);
    model->setCompetitorName([&competition](const QString& number) {
        const TSortGrid& heat = competition.heatStartList();
        using namespace StageTables;
        const int row = heat.FindRow(Heat::Nr, number);
        return row > 0 ? heat.cell(Heat::Name, row) + u' ' + heat.cell(Heat::Vorname, row)
                       : QString();
    });
    connect(m_recorder, &JournalRecorder::recorded, model, &JournalImpulseModel::addNewer);
    auto* dialog = new JournalDialog(model, competition.timeFormat(), &m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog = dialog;
    describeTarget();
    connect(dialog, &JournalDialog::enterRequested, this, &JournalWiring::enterFromJournal);
    dialog->open();
}

void JournalWiring::enterFromJournal(qint64 startStamp, qint64 stopStamp) {
    const auto run = JournalRecovery::runTime(startStamp, stopStamp);
    if (!run)
        return;
    if (m_dialog) {
        const QString entered = m_dialog->enteredText();
        if (!entered.isEmpty() &&
            !m_window.askQuestion(QStringLiteral("Dieser Lauf ist schon eingetragen (") + entered +
                                  QStringLiteral("). Noch einmal eintragen?")))
            return;
    }
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
