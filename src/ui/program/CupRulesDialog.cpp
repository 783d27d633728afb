#include "ui/program/CupRulesDialog.h"

#include "cup/PointsFormula.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

using Scoring = CupRules::Scoring;
using StatusRule = CupRules::StatusRule;
using TieBreak = CupRules::TieBreak;

QString tieBreakText(TieBreak tieBreak) {
    switch (tieBreak) {
    case TieBreak::CountedRaces:
        return QStringLiteral("Mehr gewertete Rennen");
    case TieBreak::Countback:
        return QStringLiteral("Mehr erste, zweite, … Plätze");
    case TieBreak::LatestRace:
        return QStringLiteral("Besserer Platz im letzten Rennen");
    }
    return {};
}

// Points and times are typed as decimals and kept as whole hundredths.
qint64 hundredths(double value) {
    return static_cast<qint64>(std::llround(value * 100.0));
}

} // namespace

CupRulesDialog::CupRulesDialog(const QString& name, const CupRules& rules, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CupRulesDialog"));
    setWindowTitle(QStringLiteral("Wertungsregeln"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    m_name = new QLineEdit(name, this);
    m_name->setObjectName(QStringLiteral("cupName"));
    form->addRow(QStringLiteral("Name des Cups:"), m_name);

    m_scoring = new QComboBox(this);
    m_scoring->setObjectName(QStringLiteral("scoring"));
    m_scoring->addItem(QStringLiteral("Punkte nach Platz"), int(Scoring::PointsTable));
    m_scoring->addItem(QStringLiteral("Punkte nach Formel aus der G-Zeit"), int(Scoring::Formula));
    m_scoring->addItem(QStringLiteral("Summe der Zeiten (G-Zeit)"), int(Scoring::TimeSum));
    m_scoring->addItem(QStringLiteral("Summe der Plätze"), int(Scoring::PlaceSum));
    form->addRow(QStringLiteral("Wertung:"), m_scoring);

    m_scoringPages = new QStackedWidget(this);
    auto* tablePage = new QWidget(m_scoringPages);
    auto* tableForm = new QFormLayout(tablePage);
    tableForm->setContentsMargins(0, 0, 0, 0);
    m_readyTable = new QComboBox(tablePage);
    m_readyTable->addItem(QStringLiteral("100-80-60-50-45-40-36-32-29-26-24-22-20-18-16-15 … 1"));
    m_readyTable->addItem(QStringLiteral("100-85-70-60-55-50-46-42-39-36-34-32-30-28-26-25 … 1"));
    m_readyTable->addItem(QStringLiteral("Eigene Tabelle"));
    tableForm->addRow(QStringLiteral("Punktetabelle:"), m_readyTable);
    m_table = new QLineEdit(tableText(rules.pointsTable), tablePage);
    m_table->setObjectName(QStringLiteral("pointsTable"));
    m_table->setToolTip(QStringLiteral("Punkte für Platz 1, 2, 3, … durch Komma getrennt"));
    tableForm->addRow(QStringLiteral("Punkte je Platz:"), m_table);
    m_scoringPages->addWidget(tablePage);

    auto* formulaPage = new QWidget(m_scoringPages);
    auto* formulaForm = new QFormLayout(formulaPage);
    formulaForm->setContentsMargins(0, 0, 0, 0);
    m_formula = new QLineEdit(rules.formula.isEmpty() ? QStringLiteral("550 - 250 * t / best")
                                                      : rules.formula,
                              formulaPage);
    m_formula->setObjectName(QStringLiteral("formula"));
    formulaForm->addRow(QStringLiteral("Formel:"), m_formula);
    formulaForm->addRow(new QLabel(QStringLiteral("t: G-Zeit des Teilnehmers in s, best: beste "
                                                  "G-Zeit seiner Klasse in s"),
                                   formulaPage));
    m_scoringPages->addWidget(formulaPage);
    m_scoringPages->addWidget(new QWidget(m_scoringPages));
    form->addRow(QString(), m_scoringPages);

    auto* cutOffRow = new QHBoxLayout;
    m_cutOff = new QCheckBox(QStringLiteral("keine Punkte ab"), this);
    m_cutOffPercent = new QDoubleSpinBox(this);
    m_cutOffPercent->setRange(0.1, 1000);
    m_cutOffPercent->setDecimals(1);
    m_cutOffPercent->setSuffix(QStringLiteral(" % hinter dem Besten"));
    m_cutOff->setChecked(rules.cutOffPercent.has_value());
    m_cutOffPercent->setValue(rules.cutOffPercent.value_or(20.0));
    cutOffRow->addWidget(m_cutOff);
    cutOffRow->addWidget(m_cutOffPercent, 1);
    form->addRow(QStringLiteral("Abstand:"), cutOffRow);

    auto* statusRow = new QHBoxLayout;
    m_statusRule = new QComboBox(this);
    m_statusRule->setObjectName(QStringLiteral("statusRule"));
    m_statusRule->addItem(QStringLiteral("keine Wertung"), int(StatusRule::NoPoints));
    m_statusRule->addItem(QStringLiteral("feste Punkte"), int(StatusRule::FixedPoints));
    m_statusRule->addItem(QStringLiteral("wie der Platz nach dem Letzten"),
                          int(StatusRule::AfterLast));
    m_statusRule->setCurrentIndex(m_statusRule->findData(int(rules.statusRule)));
    m_statusValue = new QDoubleSpinBox(this);
    m_statusValue->setRange(0, 1e7);
    m_statusValue->setDecimals(2);
    m_statusValue->setValue(double(rules.statusValue) / 100.0);
    statusRow->addWidget(m_statusRule, 1);
    statusRow->addWidget(m_statusValue);
    form->addRow(QStringLiteral("DNS, DNF, DSQ:"), statusRow);

    m_bestOf = new QSpinBox(this);
    m_bestOf->setObjectName(QStringLiteral("bestOf"));
    m_bestOf->setRange(0, 999);
    m_bestOf->setSpecialValueText(QStringLiteral("alle"));
    m_bestOf->setValue(rules.bestOf);
    form->addRow(QStringLiteral("Es zählen die besten:"), m_bestOf);
    m_minStarts = new QSpinBox(this);
    m_minStarts->setObjectName(QStringLiteral("minStarts"));
    m_minStarts->setRange(0, 999);
    m_minStarts->setValue(rules.minStarts);
    form->addRow(QStringLiteral("Mindestens Starts:"), m_minStarts);
    m_plannedRaces = new QSpinBox(this);
    m_plannedRaces->setRange(0, 999);
    m_plannedRaces->setSpecialValueText(QStringLiteral("wie eingetragen"));
    m_plannedRaces->setValue(rules.plannedRaces);
    form->addRow(QStringLiteral("Geplante Rennen:"), m_plannedRaces);

    auto* ties =
        new QGroupBox(QStringLiteral("Bei Gleichstand entscheidet, in dieser Reihenfolge"), this);
    auto* tiesLayout = new QHBoxLayout(ties);
    m_tieBreaks = new QListWidget(ties);
    m_tieBreaks->setObjectName(QStringLiteral("tieBreaks"));
    QList<TieBreak> order = rules.tieBreaks;
    for (TieBreak tieBreak : {TieBreak::CountedRaces, TieBreak::Countback, TieBreak::LatestRace}) {
        if (!order.contains(tieBreak))
            order.append(tieBreak);
    }
    for (TieBreak tieBreak : order) {
        auto* item = new QListWidgetItem(tieBreakText(tieBreak), m_tieBreaks);
        item->setData(Qt::UserRole, int(tieBreak));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(rules.tieBreaks.contains(tieBreak) ? Qt::Checked : Qt::Unchecked);
    }
    m_tieBreaks->setMaximumHeight(m_tieBreaks->sizeHintForRow(0) * 4);
    auto* moves = new QVBoxLayout;
    auto* up = new QPushButton(QStringLiteral("Nach oben"), ties);
    auto* down = new QPushButton(QStringLiteral("Nach unten"), ties);
    moves->addWidget(up);
    moves->addWidget(down);
    moves->addStretch();
    tiesLayout->addWidget(m_tieBreaks, 1);
    tiesLayout->addLayout(moves);
    const auto move = [this](int by) {
        const int row = m_tieBreaks->currentRow();
        const int to = row + by;
        if (row < 0 || to < 0 || to >= m_tieBreaks->count())
            return;
        QListWidgetItem* item = m_tieBreaks->takeItem(row);
        m_tieBreaks->insertItem(to, item);
        m_tieBreaks->setCurrentRow(to);
    };
    connect(up, &QPushButton::clicked, this, [move] { move(-1); });
    connect(down, &QPushButton::clicked, this, [move] { move(1); });
    layout->addWidget(ties);
    layout->addWidget(new QLabel(QStringLiteral("Was danach noch gleich ist, teilt sich den Platz; "
                                                "auf dem Podest heißt das „Stechen“."),
                                 this));

    auto* clubs = new QGroupBox(QStringLiteral("Vereinswertung"), this);
    auto* clubForm = new QFormLayout(clubs);
    m_clubMembers = new QSpinBox(clubs);
    m_clubMembers->setRange(1, 99);
    m_clubMembers->setValue(qMax(1, rules.clubMembers));
    clubForm->addRow(QStringLiteral("Es zählen die besten Mitglieder:"), m_clubMembers);
    m_clubScope = new QComboBox(clubs);
    m_clubScope->addItem(QStringLiteral("je Klasse"), int(CupRules::ClubScope::PerClass));
    m_clubScope->addItem(QStringLiteral("über alle Klassen"), int(CupRules::ClubScope::AllClasses));
    m_clubScope->setCurrentIndex(m_clubScope->findData(int(rules.clubScope)));
    clubForm->addRow(QStringLiteral("Wertung:"), m_clubScope);
    layout->addWidget(clubs);

    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("rulesError"));
    m_error->setStyleSheet(QStringLiteral("color: #c00000"));
    m_error->setWordWrap(true);
    layout->addWidget(m_error);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CupRulesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CupRulesDialog::reject);
    layout->addWidget(buttons);

    m_scoring->setCurrentIndex(m_scoring->findData(int(rules.scoring)));
    if (rules.pointsTable == CupRules::worldCupTable())
        m_readyTable->setCurrentIndex(0);
    else if (rules.pointsTable == CupRules::classicTable())
        m_readyTable->setCurrentIndex(1);
    else
        m_readyTable->setCurrentIndex(2);
    connect(m_scoring, &QComboBox::currentIndexChanged, this, &CupRulesDialog::scoringChosen);
    connect(m_readyTable, &QComboBox::currentIndexChanged, this, &CupRulesDialog::tableChosen);
    m_table->setReadOnly(m_readyTable->currentIndex() != 2);
    m_table->setCursorPosition(0);
    connect(m_cutOff, &QCheckBox::toggled, m_cutOffPercent, &QWidget::setEnabled);
    connect(m_statusRule, &QComboBox::currentIndexChanged, this, [this] {
        m_statusValue->setEnabled(m_statusRule->currentData().toInt() ==
                                  int(StatusRule::FixedPoints));
    });
    m_cutOffPercent->setEnabled(m_cutOff->isChecked());
    m_statusValue->setEnabled(rules.statusRule == StatusRule::FixedPoints);
    scoringChosen();
}

void CupRulesDialog::scoringChosen() {
    const auto scoring = Scoring(m_scoring->currentData().toInt());
    m_scoringPages->setCurrentIndex(scoring == Scoring::PointsTable ? 0
                                    : scoring == Scoring::Formula   ? 1
                                                                    : 2);
    const bool points = scoring == Scoring::PointsTable || scoring == Scoring::Formula;
    m_cutOff->setEnabled(points);
    m_cutOffPercent->setEnabled(points && m_cutOff->isChecked());
}

void CupRulesDialog::tableChosen() {
    const int ready = m_readyTable->currentIndex();
    if (ready == 0)
        m_table->setText(tableText(CupRules::worldCupTable()));
    else if (ready == 1)
        m_table->setText(tableText(CupRules::classicTable()));
    m_table->setReadOnly(ready != 2);
    // The first places are what the organiser checks.
    m_table->setCursorPosition(0);
}

QString CupRulesDialog::tableText(const QList<int>& table) {
    QStringList parts;
    for (int points : table)
        parts.append(QString::number(points));
    return parts.join(QStringLiteral(", "));
}

std::optional<QList<int>> CupRulesDialog::parseTable(const QString& text, QString* error) {
    QList<int> table;
    const QStringList parts =
        text.split(QRegularExpression(QStringLiteral("[,;\\s-]+")), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        bool ok = false;
        const int points = part.toInt(&ok);
        if (!ok || points < 0 || points > 100000) {
            if (error)
                *error = QStringLiteral("Die Punktetabelle enthält „%1“; erlaubt sind ganze "
                                        "Punkte von 0 bis 100000.")
                             .arg(part);
            return std::nullopt;
        }
        table.append(points);
    }
    if (table.isEmpty()) {
        if (error)
            *error = QStringLiteral("Die Punktetabelle ist leer.");
        return std::nullopt;
    }
    return table;
}

bool CupRulesDialog::check(QString* error) const {
    const auto scoring = Scoring(m_scoring->currentData().toInt());
    if (scoring == Scoring::PointsTable && !parseTable(m_table->text(), error))
        return false;
    if (scoring == Scoring::Formula) {
        QString reason;
        if (!PointsFormula::parse(m_formula->text(), &reason)) {
            *error = QStringLiteral("Die Formel ist nicht lesbar: ") + reason;
            return false;
        }
    }
    return true;
}

void CupRulesDialog::accept() {
    QString error;
    if (!check(&error)) {
        m_error->setText(error);
        return;
    }
    QDialog::accept();
}

QString CupRulesDialog::name() const {
    return m_name->text().trimmed();
}

CupRules CupRulesDialog::rules() const {
    CupRules rules;
    rules.scoring = Scoring(m_scoring->currentData().toInt());
    rules.pointsTable = parseTable(m_table->text(), nullptr).value_or(CupRules::worldCupTable());
    rules.formula = m_formula->text().trimmed();
    if (m_cutOff->isChecked())
        rules.cutOffPercent = m_cutOffPercent->value();
    rules.statusRule = StatusRule(m_statusRule->currentData().toInt());
    rules.statusValue = hundredths(m_statusValue->value());
    rules.bestOf = m_bestOf->value();
    rules.minStarts = m_minStarts->value();
    rules.tieBreaks.clear();
    for (int i = 0; i < m_tieBreaks->count(); ++i) {
        const QListWidgetItem* item = m_tieBreaks->item(i);
        if (item->checkState() == Qt::Checked)
            rules.tieBreaks.append(TieBreak(item->data(Qt::UserRole).toInt()));
    }
    rules.clubMembers = m_clubMembers->value();
    rules.clubScope = CupRules::ClubScope(m_clubScope->currentData().toInt());
    rules.plannedRaces = m_plannedRaces->value();
    return rules;
}
