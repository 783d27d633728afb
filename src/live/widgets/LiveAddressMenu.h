#pragma once

#include "live/LanAddress.h"

#include <QMenu>

class QActionGroup;

// The submenu "Live-Adresse": the machine's addresses on the local networks to choose the one
// the status bar and the QR code show, and whether the live results are served on that
// address only (not, say, on the network of a second card or a virtual machine's bridge).
class LiveAddressMenu : public QMenu {
    Q_OBJECT
public:
    explicit LiveAddressMenu(QWidget* parent = nullptr);

    // The reachable addresses, best first, with the shown one checked.
    void setAddresses(const QList<LanAddress::Candidate>& reachable, const QHostAddress& shown,
                      bool onlyThisAddress);
    QAction* onlyThisAddressEntry() const { return m_only; }
    QList<QAction*> addressEntries() const;

Q_SIGNALS:
    void addressChosen(const QHostAddress& address);
    void onlyThisAddressToggled(bool on);

private:
    QActionGroup* m_group = nullptr;
    QAction* m_none = nullptr;
    QAction* m_separator = nullptr;
    QAction* m_only = nullptr;
};
