#include "live/widgets/LiveResultsControl.h"

#include "live/LivePublishing.h"
#include "live/widgets/LiveAddressMenu.h"
#include "live/widgets/LiveAddressWindow.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

namespace {

const QString AddressHint = QStringLiteral("Erst \"Live-Ergebnisse im Netzwerk\" einschalten");

} // namespace

LiveResultsControl::LiveResultsControl(LivePublishing& publishing, Menu menu, QWidget& window,
                                       QStatusBar& statusBar, QObject* parent)
    : QObject(parent), m_live(publishing), m_menu(menu), m_window(window) {
    m_status = new QLabel(&window);
    m_status->setObjectName(QStringLiteral("LiveStatus"));
    statusBar.addPermanentWidget(m_status);
    m_status->hide();

    connect(m_menu.live, &QAction::triggered, &m_live, &LivePublishing::setLive);
    connect(m_menu.port, &QAction::triggered, this, &LiveResultsControl::askPort);
    connect(m_menu.address, &QAction::triggered, this, &LiveResultsControl::showAddressWindow);
    m_addressMenu = new LiveAddressMenu(&window);
    m_menu.programm->insertMenu(m_menu.before, m_addressMenu);
    connect(m_addressMenu, &LiveAddressMenu::addressChosen, &m_live,
            &LivePublishing::chooseAddress);
    connect(m_addressMenu, &LiveAddressMenu::onlyThisAddressToggled, &m_live,
            &LivePublishing::serveOnChosenAddressOnly);
    // Opening the menu is a good moment to look again: a Wi-Fi joined a second ago is listed.
    connect(m_addressMenu, &QMenu::aboutToShow, &m_live, &LivePublishing::checkNetwork);
    connect(&m_live, &LivePublishing::addressesChecked, m_addressMenu,
            &LiveAddressMenu::setAddresses);
    connect(&m_live, &LivePublishing::stateChanged, this, &LiveResultsControl::showState);

    m_portQuestion = [this](int current) -> std::optional<int> {
        bool ok = false;
        const int port =
            QInputDialog::getInt(&m_window, QStringLiteral("Live-Ergebnisse"),
                                 QStringLiteral("Port (1 bis 65535):"), current, 1, 65535, 1, &ok);
        return ok ? std::optional<int>(port) : std::nullopt;
    };
    showState();
}

LiveResultsControl::~LiveResultsControl() {
    delete m_addressWindow;
}

void LiveResultsControl::showState() {
    const bool running = m_live.isRunning();
    // Nothing to show while the address served on alone is gone; the status bar says why.
    const bool reachable = running && !m_live.address().isEmpty();
    m_status->setText(m_live.statusText());
    if (m_addressWindow && reachable)
        m_addressWindow->setAddress(m_live.address());
    m_menu.live->setChecked(running || m_live.isSwitchedOn());
    m_menu.address->setEnabled(reachable);
    const QString hint =
        reachable ? m_live.address() : (running ? m_live.statusText() : AddressHint);
    m_menu.address->setToolTip(hint);
    m_menu.address->setStatusTip(hint);
    m_status->setVisible(!m_status->text().isEmpty());
    if (m_addressWindow && !reachable)
        m_addressWindow->hide();
}

LiveAddressWindow* LiveResultsControl::addressWindow() const {
    return m_addressWindow;
}

QString LiveResultsControl::statusText() const {
    return m_status->text();
}

void LiveResultsControl::askPort() {
    if (const std::optional<int> port = m_portQuestion(m_live.storedPort()))
        m_live.setPort(*port);
}

void LiveResultsControl::showAddressWindow() {
    if (!m_live.isRunning() || m_live.address().isEmpty())
        return;
    if (!m_addressWindow)
        m_addressWindow = new LiveAddressWindow();
    m_addressWindow->setAddress(m_live.address());
    m_addressWindow->show();
    m_addressWindow->raise();
}
