#include "ui/startlist/ResultReleaseDialog.h"

#include "competition/Competition.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

namespace {

constexpr int ClassRole = Qt::UserRole;
constexpr int ReleasedRole = Qt::UserRole + 1;

} // namespace

ResultReleaseDialog::ResultReleaseDialog(const Competition& competition, QWidget* parent)
    : QDialog(parent), m_competition(competition) {
    setObjectName(QStringLiteral("ResultReleaseDialog"));
    setWindowTitle(QStringLiteral("Ergebnisse freigeben"));
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("releaseState"));
    QFont bold = m_state->font();
    bold.setBold(true);
    m_state->setFont(bold);
    auto* hint = new QLabel(QStringLiteral("Freigegebene Ergebnisse gelten als offiziell. Ändert "
                                           "sich danach ein Ergebnis der Klasse, ist sie wieder "
                                           "vorläufig. Die Zeiten bleiben, wie sie sind."),
                            this);
    hint->setWordWrap(true);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("releaseClasses"));
    m_list->setMinimumSize(320, 180);
    connect(m_list, &QListWidget::itemChanged, this, &ResultReleaseDialog::updateButtons);

    m_release = new QPushButton(QStringLiteral("Freigeben"), this);
    m_release->setObjectName(QStringLiteral("ButtonRelease"));
    m_releaseAll = new QPushButton(QStringLiteral("Alle freigeben"), this);
    m_releaseAll->setObjectName(QStringLiteral("ButtonReleaseAll"));
    m_withdraw = new QPushButton(QStringLiteral("Freigabe zurücknehmen"), this);
    m_withdraw->setObjectName(QStringLiteral("ButtonWithdraw"));
    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(QStringLiteral("ButtonClose"));
    for (QPushButton* button : {m_release, m_releaseAll, m_withdraw, close})
        button->setAutoDefault(false);
    connect(m_release, &QPushButton::clicked, this,
            [this] { Q_EMIT releaseRequested(checkedClasses()); });
    connect(m_releaseAll, &QPushButton::clicked, this, &ResultReleaseDialog::releaseAllRequested);
    connect(m_withdraw, &QPushButton::clicked, this,
            [this] { Q_EMIT withdrawRequested(checkedClasses()); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_release);
    buttons->addWidget(m_releaseAll);
    buttons->addWidget(m_withdraw);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_state);
    layout->addWidget(hint);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    // The state follows every change: a time entered meanwhile makes its class preliminary.
    connect(&competition, &Competition::releaseChanged, this, &ResultReleaseDialog::refresh);
    const CompetitionTable* table = &competition.heatStartList();
    connect(table, &QAbstractItemModel::dataChanged, this, &ResultReleaseDialog::refresh);
    connect(table, &QAbstractItemModel::modelReset, this, &ResultReleaseDialog::refresh);
    connect(table, &QAbstractItemModel::rowsInserted, this, &ResultReleaseDialog::refresh);
    connect(table, &QAbstractItemModel::rowsRemoved, this, &ResultReleaseDialog::refresh);
    refresh();
}

QString ResultReleaseDialog::itemText(const QString& klass, bool hasResults, bool released) {
    const QString state =
        !hasResults ? QStringLiteral("noch keine Ergebnisse") : ResultRelease::word(released);
    return ResultRelease::caption(klass) + QStringLiteral(": ") + state;
}

QStringList ResultReleaseDialog::checkedClasses() const {
    QStringList classes;
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem* item = m_list->item(i);
        if (item->checkState() == Qt::Checked)
            classes.append(item->data(ClassRole).toString());
    }
    return classes;
}

void ResultReleaseDialog::refresh() {
    const QStringList checked = checkedClasses();
    const QSet<QString> keep(checked.cbegin(), checked.cend());
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (const ResultRelease::ClassState& state :
         m_competition.release().classes(m_competition.heatStartList())) {
        auto* item =
            new QListWidgetItem(itemText(state.klass, state.hasResults, state.released), m_list);
        item->setData(ClassRole, state.klass);
        item->setData(ReleasedRole, state.released);
        if (!state.hasResults) {
            item->setFlags(Qt::ItemIsEnabled);
            item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            continue;
        }
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(keep.contains(state.klass) ? Qt::Checked : Qt::Unchecked);
        item->setForeground(state.released ? QColor(0, 110, 0) : QColor(150, 70, 0));
    }
    const QString text = m_competition.releaseText();
    m_state->setText(text.isEmpty() ? QStringLiteral("Noch keine Ergebnisse") : text);
    updateButtons();
}

void ResultReleaseDialog::updateButtons() {
    bool preliminaryChecked = false;
    bool releasedChecked = false;
    bool anyPreliminary = false;
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem* item = m_list->item(i);
        const bool released = item->data(ReleasedRole).toBool();
        const bool releasable = item->flags().testFlag(Qt::ItemIsUserCheckable);
        anyPreliminary = anyPreliminary || (releasable && !released);
        if (item->checkState() != Qt::Checked)
            continue;
        (released ? releasedChecked : preliminaryChecked) = true;
    }
    m_release->setEnabled(preliminaryChecked);
    m_release->setToolTip(preliminaryChecked ? QString()
                                             : QStringLiteral("Erst vorläufige Klassen ankreuzen"));
    m_releaseAll->setEnabled(anyPreliminary);
    m_releaseAll->setToolTip(anyPreliminary ? QString()
                                            : QStringLiteral("Alle Klassen sind freigegeben"));
    m_withdraw->setEnabled(releasedChecked);
    m_withdraw->setToolTip(releasedChecked ? QString()
                                           : QStringLiteral("Erst freigegebene Klassen ankreuzen"));
}
