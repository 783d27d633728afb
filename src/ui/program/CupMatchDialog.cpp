#include "ui/program/CupMatchDialog.h"

#include "cup/CupDocument.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidget* pairTable(const QStringList& captions, QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(captions.size()), parent);
    table->setHorizontalHeaderLabels(captions);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return table;
}

void setRow(QTableWidget* table, int row, const QStringList& texts) {
    for (int column = 0; column < texts.size(); ++column)
        table->setItem(row, column, new QTableWidgetItem(texts[column]));
}

} // namespace

CupMatchDialog::CupMatchDialog(CupDocument& cup, QWidget* parent) : QDialog(parent), m_cup(cup) {
    setObjectName(QStringLiteral("CupMatchDialog"));
    setWindowTitle(QStringLiteral("Namensabgleich"));
    resize(760, 520);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Diese Teilnehmer sind in verschiedenen Rennen ähnlich geschrieben. "
                       "Sind sie dieselbe Person?"),
        this));
    m_proposals = pairTable(
        {QStringLiteral("Früher"), QStringLiteral("Später"), QStringLiteral("Unterschied")}, this);
    m_proposals->setObjectName(QStringLiteral("proposals"));
    layout->addWidget(m_proposals, 2);
    auto* answerRow = new QHBoxLayout;
    m_count = new QLabel(this);
    m_same = new QPushButton(QStringLiteral("Gleich"), this);
    m_same->setObjectName(QStringLiteral("same"));
    m_different = new QPushButton(QStringLiteral("Verschieden"), this);
    m_different->setObjectName(QStringLiteral("different"));
    answerRow->addWidget(m_count, 1);
    answerRow->addWidget(m_same);
    answerRow->addWidget(m_different);
    layout->addLayout(answerRow);

    layout->addWidget(new QLabel(QStringLiteral("Bisherige Antworten:"), this));
    m_answers = pairTable(
        {QStringLiteral("Teilnehmer"), QStringLiteral("Teilnehmer"), QStringLiteral("Antwort")},
        this);
    m_answers->setObjectName(QStringLiteral("answers"));
    layout->addWidget(m_answers, 1);
    auto* forgetRow = new QHBoxLayout;
    m_forget = new QPushButton(QStringLiteral("Antwort vergessen"), this);
    forgetRow->addStretch();
    forgetRow->addWidget(m_forget);
    layout->addLayout(forgetRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_same, &QPushButton::clicked, this, [this] { answer(true); });
    connect(m_different, &QPushButton::clicked, this, [this] { answer(false); });
    connect(m_forget, &QPushButton::clicked, this, &CupMatchDialog::forget);
    connect(m_proposals, &QTableWidget::itemSelectionChanged, this, [this] {
        const bool chosen = !m_proposals->selectedItems().isEmpty();
        m_same->setEnabled(chosen);
        m_different->setEnabled(chosen);
    });
    connect(m_answers, &QTableWidget::itemSelectionChanged, this,
            [this] { m_forget->setEnabled(!m_answers->selectedItems().isEmpty()); });
    // The proposals are found with the standings, after every answer.
    connect(&m_cup, &CupDocument::standingsChanged, this, &CupMatchDialog::refresh);
    refresh();
}

void CupMatchDialog::refresh() {
    const int kept = m_proposals->currentRow();
    const auto& proposals = m_cup.proposals();
    m_proposals->setRowCount(static_cast<int>(proposals.size()));
    for (int i = 0; i < proposals.size(); ++i)
        setRow(m_proposals, i,
               {proposals[i].earlier.display(), proposals[i].later.display(), proposals[i].reason});
    if (kept >= 0 && kept < m_proposals->rowCount())
        m_proposals->selectRow(kept);
    m_count->setText(proposals.isEmpty() ? QStringLiteral("Keine ähnlichen Schreibweisen offen.")
                                         : QStringLiteral("%1 offen").arg(proposals.size()));

    const CupMatches& matches = m_cup.definition().matches;
    m_answers->setRowCount(
        static_cast<int>(matches.confirmed().size() + matches.rejected().size()));
    int row = 0;
    for (const auto& pair : matches.confirmed())
        setRow(m_answers, row++,
               {pair.first.display(), pair.second.display(), QStringLiteral("gleich")});
    for (const auto& pair : matches.rejected())
        setRow(m_answers, row++,
               {pair.first.display(), pair.second.display(), QStringLiteral("verschieden")});
    m_same->setEnabled(!m_proposals->selectedItems().isEmpty());
    m_different->setEnabled(!m_proposals->selectedItems().isEmpty());
    m_forget->setEnabled(!m_answers->selectedItems().isEmpty());
}

void CupMatchDialog::answer(bool same) {
    const int row = m_proposals->currentRow();
    const auto& proposals = m_cup.proposals();
    if (row < 0 || row >= proposals.size())
        return;
    const MatchProposals::Proposal proposal = proposals[row];
    if (same)
        m_cup.confirmMatch(proposal.earlier, proposal.later);
    else
        m_cup.rejectMatch(proposal.earlier, proposal.later);
}

void CupMatchDialog::forget() {
    const int row = m_answers->currentRow();
    const CupMatches& matches = m_cup.definition().matches;
    const int confirmed = static_cast<int>(matches.confirmed().size());
    if (row < 0)
        return;
    const CupMatches::Pair pair = row < confirmed ? matches.confirmed().value(row)
                                                  : matches.rejected().value(row - confirmed);
    m_cup.forgetMatch(pair.first, pair.second);
    refresh();
}
