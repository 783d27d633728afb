#include "live/widgets/LiveAddressMenu.h"

#include <QActionGroup>

LiveAddressMenu::LiveAddressMenu(QWidget* parent) : QMenu(QStringLiteral("Live-Adresse"), parent) {
    setObjectName(QStringLiteral("LiveAddressMenu"));
    menuAction()->setObjectName(QStringLiteral("mLiveAddressChoice"));
    m_group = new QActionGroup(this);
    m_group->setExclusive(true);
    m_none = addAction(QStringLiteral("Keine Adresse im lokalen Netzwerk"));
    m_none->setEnabled(false);
    m_separator = addSeparator();
    m_only = addAction(QStringLiteral("Nur unter dieser Adresse anbieten"));
    m_only->setObjectName(QStringLiteral("mLiveAddressOnly"));
    m_only->setCheckable(true);
    connect(m_only, &QAction::toggled, this, &LiveAddressMenu::onlyThisAddressToggled);
}

QList<QAction*> LiveAddressMenu::addressEntries() const {
    return m_group->actions();
}

void LiveAddressMenu::setAddresses(const QList<LanAddress::Candidate>& reachable,
                                   const QHostAddress& shown, bool onlyThisAddress) {
    for (QAction* entry : m_group->actions()) {
        m_group->removeAction(entry);
        delete entry;
    }
    for (const LanAddress::Candidate& candidate : reachable) {
        auto* entry = new QAction(LanAddress::label(candidate), this);
        entry->setCheckable(true);
        entry->setChecked(candidate.address.isEqual(shown));
        const QHostAddress address = candidate.address;
        connect(entry, &QAction::triggered, this,
                [this, address] { Q_EMIT addressChosen(address); });
        m_group->addAction(entry);
        insertAction(m_separator, entry);
    }
    m_none->setVisible(reachable.isEmpty());
    const QSignalBlocker quiet(m_only);
    m_only->setChecked(onlyThisAddress);
    m_only->setEnabled(!reachable.isEmpty() || onlyThisAddress);
    const QString hint = reachable.isEmpty() && !onlyThisAddress
                             ? QStringLiteral("Erst mit einem Netzwerk verbinden")
                             : QString();
    m_only->setToolTip(hint);
    m_only->setStatusTip(hint);
}
