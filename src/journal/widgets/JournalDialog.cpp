#include "journal/widgets/JournalDialog.h"

#include "journal/JournalRecorder.h"
#include "journal/JournalRecovery.h"
#include "journal/JournalRuns.h"
#include "journal/widgets/JournalImpulseModel.h"
#include "timing/RunClock.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

JournalDialog::JournalDialog(JournalImpulseModel* model, const TimeFormat& format, QWidget* parent)
    : QDialog(parent), m_model(model), m_format(format) {
    setObjectName(QStringLiteral("JournalDialog"));
    setWindowTitle(QStringLiteral("Zeitprotokoll"));
    m_model->setParent(this);
    auto* layout = new QVBoxLayout(this);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("JournalTable"));
    m_table->setModel(m_model);
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
    m_substitute =
        buttons->addButton(QStringLiteral("Ersatzzeit berechnen..."), QDialogButtonBox::ActionRole);
    m_substitute->setObjectName(QStringLiteral("JournalSubstitute"));
    m_handTime =
        buttons->addButton(QStringLiteral("Handzeit eintragen..."), QDialogButtonBox::ActionRole);
    m_handTime->setObjectName(QStringLiteral("JournalHandTime"));
    setSubstituteOffered(false);
    buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    // Return acts only through the default button, which is "Eintragen" while the marked run
    // can be entered and is not in the table yet; no other button takes its place.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_asStart, &QPushButton::clicked, this,
            [this] { markStart(m_table->currentIndex().row()); });
    connect(m_asStop, &QPushButton::clicked, this,
            [this] { markStop(m_table->currentIndex().row()); });
    connect(m_enter, &QPushButton::clicked, this, [this] {
        if (hintText().isEmpty())
            Q_EMIT enterRequested(*startStamp(), *stopStamp());
    });
    connect(m_substitute, &QPushButton::clicked, this, [this] {
        if (const auto start = chosenRunStart())
            Q_EMIT substituteRequested(*start, false);
    });
    connect(m_handTime, &QPushButton::clicked, this, [this] {
        if (const auto start = chosenRunStart())
            Q_EMIT substituteRequested(*start, true);
    });
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QWidget::customContextMenuRequested, this, &JournalDialog::showRunMenu);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { refresh(); });
    connect(m_model, &JournalImpulseModel::runEntered, this, &JournalDialog::runEntered);
    // A stop coming in makes its run one a substitute can be had for.
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] { refresh(); });
    markNewestOpenRun();
    m_table->resizeColumnsToContents();
    // Rows added later bring the longer sources.
    const int sourceWidth = m_table->fontMetrics().horizontalAdvance(
        JournalRecorder::fromJournalSource() + QStringLiteral("  "));
    if (m_table->columnWidth(JournalImpulseModel::Source) < sourceWidth)
        m_table->setColumnWidth(JournalImpulseModel::Source, sourceWidth);
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

void JournalDialog::setTarget(const QString& description, const QString& whyNot) {
    m_target = description;
    m_whyNoTarget = whyNot;
    refresh();
}

void JournalDialog::setOutcome(const QString& text) {
    m_outcome->setText(text);
}

std::optional<qint64> JournalDialog::startStamp() const {
    const auto row = m_model->startRow();
    return row ? m_model->entry(*row).stamp : std::nullopt;
}

std::optional<qint64> JournalDialog::stopStamp() const {
    const auto row = m_model->stopRow();
    return row ? m_model->entry(*row).stamp : std::nullopt;
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

QString JournalDialog::enteredText() const {
    return startStamp() && stopStamp() ? m_model->enteredText(*startStamp(), *stopStamp())
                                       : QString();
}

void JournalDialog::markStart(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    m_model->setStartRow(row);
    refresh();
}

void JournalDialog::markStop(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    m_model->setStopRow(row);
    refresh();
}

void JournalDialog::markNewestOpenRun() {
    const auto run = m_model->newestOpenRun();
    m_model->setStartRow(run ? std::optional<int>(run->first) : std::nullopt);
    m_model->setStopRow(run ? std::optional<int>(run->second) : std::nullopt);
    if (run)
        m_table->scrollTo(m_model->index(run->second, 0));
    refresh();
}

void JournalDialog::setSubstituteOffered(bool offered, Refusal refusal) {
    m_refusal = std::move(refusal);
    m_substitute->setVisible(offered);
    m_handTime->setVisible(offered);
    refresh();
}

std::optional<qint64> JournalDialog::chosenRunStart() const {
    const int row = m_table->currentIndex().row();
    if (row < 0 || row >= m_model->rowCount())
        return std::nullopt;
    return JournalRuns::runStartOf(m_model->entry(row));
}

void JournalDialog::showRunMenu(const QPoint& position) {
    const QModelIndex index = m_table->indexAt(position);
    if (!index.isValid() || !m_substitute->isVisible())
        return;
    m_table->setCurrentIndex(index);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("JournalRunMenu"));
    for (QPushButton* button : {m_substitute, m_handTime}) {
        QAction* entry = menu.addAction(button->text(), button, &QPushButton::click);
        entry->setEnabled(button->isEnabled());
    }
    menu.exec(m_table->viewport()->mapToGlobal(position));
}

void JournalDialog::runEntered(qint64 startStamp, qint64 stopStamp) {
    // The marked run went into the table: the marks move on to the next run not entered.
    const auto marked = [&](const std::optional<qint64>& stamp) {
        return stamp && (*stamp == startStamp || *stamp == stopStamp);
    };
    if (marked(this->startStamp()) || marked(this->stopStamp()))
        markNewestOpenRun();
    else
        refresh();
}

QString JournalDialog::entryText(std::optional<int> row) const {
    if (!row)
        return QStringLiteral("–");
    const JournalEntry& e = m_model->entry(*row);
    return e.wallClock.toString(QStringLiteral("HH:mm:ss.zzz")) + QStringLiteral("  ") + e.name +
           QStringLiteral(" (") + e.source + QStringLiteral(")");
}

void JournalDialog::refresh() {
    const QString none = QStringLiteral("–");
    m_startLabel->setText(entryText(m_model->startRow()));
    m_stopLabel->setText(entryText(m_model->stopRow()));
    const auto run = runTimeMs();
    m_timeLabel->setText(run ? m_format.formatTime(*run / 10) : none);
    m_targetLabel->setText(m_target.isEmpty() ? none : m_target);
    const bool rowChosen = m_table->currentIndex().isValid();
    m_asStart->setEnabled(rowChosen);
    m_asStop->setEnabled(rowChosen);
    const QString hint = hintText();
    const QString entered = enteredText();
    m_hint->setText(hint.isEmpty() && !entered.isEmpty()
                        ? QStringLiteral("Dieser Lauf ist schon eingetragen: ") + entered
                        : hint);
    m_enter->setEnabled(hint.isEmpty());
    m_enter->setToolTip(hint);
    // Return enters the marked run, unless it is in the table already.
    m_enter->setDefault(hint.isEmpty() && entered.isEmpty());
    const std::optional<qint64> chosen = chosenRunStart();
    QString why;
    if (!chosen)
        why =
            QStringLiteral("Eine Zeile eines Laufs wählen (Start, Stopp, Stopp B, Nicht im Ziel)");
    else if (m_refusal)
        why = m_refusal(*chosen);
    for (QPushButton* button : {m_substitute, m_handTime}) {
        button->setEnabled(why.isEmpty());
        button->setToolTip(why);
    }
}
