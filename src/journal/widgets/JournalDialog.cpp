#include "journal/widgets/JournalDialog.h"

#include "journal/JournalRecovery.h"
#include "timing/RunClock.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QStringList Columns{QStringLiteral("Uhrzeit"), QStringLiteral("Ereignis"),
                          QStringLiteral("Name"),    QStringLiteral("Quelle"),
                          QStringLiteral("Wert"),    QStringLiteral("Stempel (s)"),
                          QStringLiteral("Laufzeit")};

} // namespace

JournalDialog::JournalDialog(const TimeFormat& format, QWidget* parent)
    : QDialog(parent), m_format(format) {
    setObjectName(QStringLiteral("JournalDialog"));
    setWindowTitle(QStringLiteral("Zeitprotokoll"));
    auto* layout = new QVBoxLayout(this);

    m_table = new QTableWidget(0, static_cast<int>(Columns.size()), this);
    m_table->setObjectName(QStringLiteral("JournalTable"));
    m_table->setHorizontalHeaderLabels(Columns);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table, 1);

    auto* choice = new QGridLayout;
    m_asStart = new QPushButton(QStringLiteral("Als Start"), this);
    m_asStop = new QPushButton(QStringLiteral("Als Stopp"), this);
    m_startLabel = new QLabel(this);
    m_stopLabel = new QLabel(this);
    m_timeLabel = new QLabel(this);
    m_timeLabel->setObjectName(QStringLiteral("JournalRunTime"));
    QFont big = m_timeLabel->font();
    big.setBold(true);
    m_timeLabel->setFont(big);
    m_targetLabel = new QLabel(this);
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("JournalHint"));
    m_outcome = new QLabel(this);
    choice->addWidget(m_asStart, 0, 0);
    choice->addWidget(m_startLabel, 0, 1);
    choice->addWidget(m_asStop, 1, 0);
    choice->addWidget(m_stopLabel, 1, 1);
    choice->addWidget(new QLabel(QStringLiteral("Laufzeit:"), this), 2, 0);
    choice->addWidget(m_timeLabel, 2, 1);
    choice->addWidget(new QLabel(QStringLiteral("Zeile:"), this), 3, 0);
    choice->addWidget(m_targetLabel, 3, 1);
    choice->setColumnStretch(1, 1);
    layout->addLayout(choice);
    layout->addWidget(m_hint);
    layout->addWidget(m_outcome);

    auto* buttons = new QDialogButtonBox(this);
    m_enter = buttons->addButton(QStringLiteral("Eintragen"), QDialogButtonBox::ActionRole);
    m_enter->setObjectName(QStringLiteral("JournalEnter"));
    // Return enters the marked run; the dialog exists for that.
    m_enter->setDefault(true);
    buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_asStart, &QPushButton::clicked, this, [this] { markStart(m_table->currentRow()); });
    connect(m_asStop, &QPushButton::clicked, this, [this] { markStop(m_table->currentRow()); });
    connect(m_enter, &QPushButton::clicked, this, [this] {
        if (hintText().isEmpty())
            Q_EMIT enterRequested(*startStamp(), *stopStamp());
    });
    connect(m_table, &QTableWidget::currentCellChanged, this, [this] { refresh(); });
    resize(900, 600);
}

void JournalDialog::showEvent(QShowEvent* event) {
    // A small or scaled screen must still show "Eintragen": the designed size gives way to the
    // work area, less room for the frame.
    if (const QScreen* shownOn = screen()) {
        const QSize room = shownOn->availableGeometry().size() - QSize(32, 64);
        if (!room.isEmpty())
            resize(size().boundedTo(room).expandedTo(minimumSizeHint()));
    }
    QDialog::showEvent(event);
}

void JournalDialog::setEntries(const QList<JournalEntry>& entries) {
    // The marks stay on their events when the list grows at the top.
    const auto oldSize = m_shown.size();
    m_shown = JournalRecovery::impulsesNewestFirst(entries);
    const int added = static_cast<int>(m_shown.size() - oldSize);
    if (oldSize == 0 || added < 0) {
        m_start.reset();
        m_stop.reset();
        if (const auto run = JournalRecovery::lastRun(m_shown)) {
            m_start = run->first;
            m_stop = run->second;
        }
    } else {
        if (m_start)
            *m_start += added;
        if (m_stop)
            *m_stop += added;
    }
    fillTable();
    refresh();
}

void JournalDialog::setTarget(const QString& description, const QString& whyNot) {
    m_target = description;
    m_whyNoTarget = whyNot;
    refresh();
}

void JournalDialog::setOutcome(const QString& text) {
    m_outcome->setText(text);
}

std::optional<qint64> JournalDialog::startStamp() const {
    return m_start ? m_shown[*m_start].stamp : std::nullopt;
}

std::optional<qint64> JournalDialog::stopStamp() const {
    return m_stop ? m_shown[*m_stop].stamp : std::nullopt;
}

std::optional<qint32> JournalDialog::runTimeMs() const {
    if (!startStamp() || !stopStamp())
        return std::nullopt;
    return JournalRecovery::runTime(*startStamp(), *stopStamp());
}

QString JournalDialog::hintText() const {
    const QString choice = JournalRecovery::hint(startStamp(), stopStamp());
    if (!choice.isEmpty())
        return choice;
    return m_target.isEmpty() ? m_whyNoTarget : QString();
}

void JournalDialog::markStart(int shownRow) {
    if (shownRow < 0 || shownRow >= m_shown.size())
        return;
    m_start = shownRow;
    fillTable();
    refresh();
}

void JournalDialog::markStop(int shownRow) {
    if (shownRow < 0 || shownRow >= m_shown.size())
        return;
    m_stop = shownRow;
    fillTable();
    refresh();
}

QString JournalDialog::stampText(qint64 stampMicroseconds) {
    const qint64 seconds = stampMicroseconds / 1'000'000;
    const qint64 fraction = qAbs(stampMicroseconds % 1'000'000);
    return QStringLiteral("%1,%2").arg(seconds).arg(fraction, 6, 10, QLatin1Char('0'));
}

void JournalDialog::fillTable() {
    const int current = m_table->currentRow();
    m_table->setRowCount(static_cast<int>(m_shown.size()));
    for (int row = 0; row < m_shown.size(); ++row) {
        const JournalEntry& e = m_shown[row];
        QString name = e.name;
        if (m_start == row)
            name += QStringLiteral("  [Start]");
        if (m_stop == row)
            name += QStringLiteral("  [Stopp]");
        const QString value = e.oldText.isEmpty() ? e.newText : e.oldText + u'>' + e.newText;
        const QString run =
            e.runMicroseconds
                ? m_format.FormatTime(RunClock::truncatedToHundredths(*e.runMicroseconds) / 10)
                : QString();
        const QStringList texts{e.wallClock.toString(QStringLiteral("HH:mm:ss.zzz")),
                                JournalEntry::kindText(e.kind),
                                name,
                                e.source,
                                value,
                                stampText(*e.stamp),
                                run};
        for (int col = 0; col < texts.size(); ++col) {
            auto* item = m_table->item(row, col);
            if (!item) {
                item = new QTableWidgetItem;
                m_table->setItem(row, col, item);
            }
            item->setText(texts[col]);
            QFont font = item->font();
            font.setBold(m_start == row || m_stop == row);
            item->setFont(font);
        }
    }
    m_table->resizeColumnsToContents();
    if (current >= 0 && current < m_table->rowCount())
        m_table->setCurrentCell(current, 0);
}

QString JournalDialog::entryText(int shownRow) const {
    const JournalEntry& e = m_shown[shownRow];
    return e.wallClock.toString(QStringLiteral("HH:mm:ss.zzz")) + QStringLiteral("  ") + e.name +
           QStringLiteral(" (") + e.source + QStringLiteral(")");
}

void JournalDialog::refresh() {
    const QString none = QStringLiteral("–");
    m_startLabel->setText(m_start ? entryText(*m_start) : none);
    m_stopLabel->setText(m_stop ? entryText(*m_stop) : none);
    const auto run = runTimeMs();
    m_timeLabel->setText(run ? m_format.FormatTime(*run / 10) : none);
    m_targetLabel->setText(m_target.isEmpty() ? none : m_target);
    const bool rowChosen = m_table->currentRow() >= 0;
    m_asStart->setEnabled(rowChosen);
    m_asStop->setEnabled(rowChosen);
    const QString hint = hintText();
    m_hint->setText(hint);
    m_enter->setEnabled(hint.isEmpty());
    m_enter->setToolTip(hint);
}
