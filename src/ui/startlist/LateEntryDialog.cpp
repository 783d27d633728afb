#include "ui/startlist/LateEntryDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

LateEntryDialog::LateEntryDialog(const QList<QStringList>& currentRows, QWidget* parent)
    : QDialog(parent), m_rows(currentRows) {
    setObjectName(QStringLiteral("LateEntryDialog"));
    setWindowTitle(QStringLiteral("Nachmeldung"));
    const LateEntry proposal = LateEntry::proposal(m_rows);

    m_nr = new QLineEdit(proposal.nr, this);
    m_nr->setObjectName(QStringLiteral("LateNr"));
    m_nr->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), m_nr));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("LateName"));
    m_vorname = new QLineEdit(this);
    m_vorname->setObjectName(QStringLiteral("LateVorname"));
    m_verein = new QLineEdit(this);
    m_verein->setObjectName(QStringLiteral("LateVerein"));
    auto* clubs = new QCompleter(LateEntry::clubs(m_rows), m_verein);
    clubs->setCaseSensitivity(Qt::CaseInsensitive);
    clubs->setFilterMode(Qt::MatchContains);
    m_verein->setCompleter(clubs);
    m_kl = new QComboBox(this);
    m_kl->setObjectName(QStringLiteral("LateKl"));
    m_kl->addItems({"1", "2", "3", "4"});
    m_kl->setCurrentText(proposal.kl);
    m_meister = new QCheckBox(this);
    m_meister->setObjectName(QStringLiteral("LateMeister"));
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("LateProblem"));
    m_problem->setWordWrap(true);
    // Room for a two-line message from the start, so the buttons do not jump when one appears.
    m_problem->setMinimumHeight(m_problem->fontMetrics().lineSpacing() * 2);

    auto* buttons = new QDialogButtonBox(this);
    m_accept = buttons->addButton(QStringLiteral("Übernehmen"), QDialogButtonBox::AcceptRole);
    m_accept->setObjectName(QStringLiteral("bUebernehmen"));
    m_accept->setDefault(true);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("bAbbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Nr."), m_nr);
    form->addRow(QStringLiteral("Name"), m_name);
    form->addRow(QStringLiteral("Vorname"), m_vorname);
    form->addRow(QStringLiteral("Verein/Ort"), m_verein);
    form->addRow(QStringLiteral("Kl."), m_kl);
    form->addRow(QStringLiteral("Meister"), m_meister);
    form->addRow(m_problem);
    form->addRow(buttons);

    for (QLineEdit* edit : {m_nr, m_name, m_vorname, m_verein})
        connect(edit, &QLineEdit::textChanged, this, &LateEntryDialog::check);
    connect(m_kl, &QComboBox::currentIndexChanged, this, &LateEntryDialog::check);
    check();
    m_name->setFocus();
    setMinimumWidth(fontMetrics().averageCharWidth() * 50);
}

LateEntry LateEntryDialog::entry() const {
    LateEntry entry;
    entry.nr = m_nr->text();
    entry.name = m_name->text();
    entry.vorname = m_vorname->text();
    entry.verein = m_verein->text();
    entry.kl = m_kl->currentText();
    entry.meister = m_meister->isChecked();
    return entry;
}

void LateEntryDialog::check() {
    const QString problem = entry().problem(m_rows);
    // An empty name is the form's starting state, not a mistake worth a message yet.
    m_problem->setText(m_name->text().trimmed().isEmpty() ? QString() : problem);
    m_accept->setEnabled(problem.isEmpty());
    // A window's minimum size does not follow the height a wrapped text needs at its width;
    // grow it so that a longer message is not cut.
    if (QLayout* form = layout(); isVisible() && form && form->hasHeightForWidth()) {
        const int needed = form->totalHeightForWidth(width());
        if (needed > height())
            resize(width(), needed);
    }
}
