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

JournalWiring::JournalWiring(JournalRecorder& recorder, JournalWriter& writer, int skippedLines,
                             Competition& competition, Window window)
    : QObject(nullptr), m_competition(competition), m_window(std::move(window)), m_writer(&writer),
      m_recorder(&recorder), m_skipped(skippedLines) {
    m_input = new JournalInputSource(this);
    m_recorder->setSourceResolver([input = m_input] { return input->current(); });
}

JournalWiring::~JournalWiring() {
    m_recorder->setSourceResolver({});
}

void JournalWiring::commandChosen(const QString& name) {
    m_recorder->commandChosen(name);
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
    Competition& competition = m_competition;
    auto* model = new JournalImpulseModel(std::move(reader), competition.timeFormat(), today);
    model->setCompetitorName([&competition](const QString& number) {
        const CompetitionTable& heat = competition.heatStartList();
        using namespace StageTables;
        const int row = heat.findRow(Heat::Nr, number);
        return row > 0 ? heat.cell(Heat::Name, row) + u' ' + heat.cell(Heat::Vorname, row)
                       : QString();
    });
    connect(m_recorder, &JournalRecorder::recorded, model, &JournalImpulseModel::addNewer);
    auto* dialog = new JournalDialog(model, competition.timeFormat(), &m_window.widget);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog = dialog;
    describeTarget();
    connect(dialog, &JournalDialog::enterRequested, this, &JournalWiring::enterFromJournal);
    dialog->setSubstituteOffered(static_cast<bool>(m_substitute), m_refusal);
    connect(dialog, &JournalDialog::substituteRequested, this,
            [this](qint64 startStamp, bool handTime) {
                if (!m_substitute || !m_dialog)
                    return;
                m_substitute(startStamp, handTime, m_dialog);
                describeTarget();
            });
    dialog->open();
}

void JournalWiring::refreshSubstitute() {
    if (m_dialog)
        m_dialog->setSubstituteOffered(static_cast<bool>(m_substitute), m_refusal);
}

void JournalWiring::enterFromJournal(qint64 startStamp, qint64 stopStamp) {
    const auto run = JournalRecovery::runTime(startStamp, stopStamp);
    if (!run)
        return;
    if (m_dialog) {
        const QString entered = m_dialog->enteredText();
        if (!entered.isEmpty() &&
            !m_window.ask(QStringLiteral("Dieser Lauf ist schon eingetragen (") + entered +
                          QStringLiteral("). Noch einmal eintragen?")))
            return;
    }
    m_recorder->enterFromJournal(startStamp, stopStamp,
                                 [this, ms = *run] { m_window.enterResult(ms); });
    if (m_dialog) {
        m_dialog->setOutcome(QStringLiteral("Eingetragen: ") +
                             m_competition.timeFormat().formatTime(*run / 10));
        describeTarget();
    }
}

void JournalWiring::describeTarget() {
    if (!m_dialog)
        return;
    const int page = qMax(0, m_window.activePage());
    Competition& competition = m_competition;
    const CompetitionTable& table = ResultEntry::targetTable(competition, page);
    const int row = table.selectedRow();
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
                                 m_window.tabText(page < 2 ? 0 : 2).trimmed()));
}
