#include "live/widgets/LiveResultsControl.h"

#include "live/LiveServer.h"
#include "live/LiveSnapshotSource.h"
#include "live/widgets/LiveAddressMenu.h"
#include "live/widgets/LiveAddressWindow.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

namespace {

const QString AddressHint = QStringLiteral("Erst \"Live-Ergebnisse im Netzwerk\" einschalten");

bool sameAddresses(const QList<LanAddress::Candidate>& a, const QList<LanAddress::Candidate>& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!a.at(i).address.isEqual(b.at(i).address) ||
            a.at(i).interfaceName != b.at(i).interfaceName)
            return false;
    }
    return true;
}

} // namespace

LiveResultsControl::LiveResultsControl(LiveInputs inputs, Menu menu, QWidget& window,
                                       QStatusBar& statusBar, QObject* parent)
    : QObject(parent), m_in(std::move(inputs)), m_menu(menu), m_window(window),
      m_server(std::make_unique<LiveServer>(m_in.ticks)),
      m_source(new LiveSnapshotSource(m_in, this)), m_interfaces(&LanAddress::ofThisMachine) {
    m_coalesce.setSingleShot(true);
    connect(&m_coalesce, &QTimer::timeout, this, &LiveResultsControl::publishNow);
    m_networkCheck.setInterval(networkCheckMs);
    connect(&m_networkCheck, &QTimer::timeout, this, &LiveResultsControl::checkNetwork);
    connect(m_server.get(), &LiveServer::started, this, &LiveResultsControl::started);
    connect(m_server.get(), &LiveServer::failed, this, &LiveResultsControl::failed);

    m_status = new QLabel(&window);
    m_status->setObjectName(QStringLiteral("LiveStatus"));
    statusBar.addPermanentWidget(m_status);
    m_status->hide();

    connect(m_menu.live, &QAction::triggered, this, &LiveResultsControl::setLive);
    connect(m_menu.port, &QAction::triggered, this, &LiveResultsControl::askPort);
    connect(m_menu.address, &QAction::triggered, this, &LiveResultsControl::showAddressWindow);
    m_addressMenu = new LiveAddressMenu(&window);
    m_menu.programm->insertMenu(m_menu.before, m_addressMenu);
    connect(m_addressMenu, &LiveAddressMenu::addressChosen, this,
            &LiveResultsControl::chooseAddress);
    connect(m_addressMenu, &LiveAddressMenu::onlyThisAddressToggled, this,
            &LiveResultsControl::serveOnChosenAddressOnly);
    // Opening the menu is a good moment to look again: a Wi-Fi joined a second ago is listed.
    connect(m_addressMenu, &QMenu::aboutToShow, this, &LiveResultsControl::checkNetwork);

    m_portQuestion = [this](int current) -> std::optional<int> {
        bool ok = false;
        const int port =
            QInputDialog::getInt(&m_window, QStringLiteral("Live-Ergebnisse"),
                                 QStringLiteral("Port (1 bis 65535):"), current, 1, 65535, 1, &ok);
        return ok ? std::optional<int>(port) : std::nullopt;
    };
    connectSources();
    showState();
}

LiveResultsControl::~LiveResultsControl() {
    delete m_addressWindow;
}

void LiveResultsControl::connectSources() {
    connect(m_source, &LiveSnapshotSource::changed, this, &LiveResultsControl::schedule);
    // The pages run the time themselves; the clock's news goes out at once.
    connect(m_source, &LiveSnapshotSource::clockChanged, this,
            [this] { QTimer::singleShot(0, this, &LiveResultsControl::publishNow); });
}

void LiveResultsControl::sourcesChanged() {
    schedule();
}

void LiveResultsControl::protocolRestarted() {
    m_source->forgetLastResult();
    schedule();
}

void LiveResultsControl::startUp() {
    if (m_in.on)
        setLive(true);
    else
        showState();
}

bool LiveResultsControl::isRunning() const {
    return m_port != 0 && m_server->isRunning();
}

LiveSnapshot LiveResultsControl::snapshot() const {
    return m_source->snapshot();
}

void LiveResultsControl::schedule() {
    if (!m_server->isRunning() || m_coalesce.isActive())
        return;
    const qint64 since =
        m_lastPublish.isValid() ? m_lastPublish.elapsed() : qint64(minPublishIntervalMs);
    m_coalesce.start(static_cast<int>(qMax<qint64>(coalesceMs, minPublishIntervalMs - since)));
}

void LiveResultsControl::publishNow() {
    m_coalesce.stop();
    if (!m_server->isRunning())
        return;
    m_lastPublish.start();
    m_server->publish(snapshot());
}

QHostAddress LiveResultsControl::listenAddress() const {
    if (m_listenOverride)
        return *m_listenOverride;
    const QHostAddress chosen(m_in.address);
    return m_in.addressOnly && !chosen.isNull() ? chosen : QHostAddress(QHostAddress::Any);
}

void LiveResultsControl::setLive(bool on) {
    m_port = 0;
    m_address.clear();
    m_wanted = on;
    if (!on) {
        m_server->stop();
        m_networkCheck.stop();
        m_in.on = false;
        m_status->setText(QString());
        showState();
        return;
    }
    const auto port = static_cast<quint16>(m_in.port);
    m_status->setText(QStringLiteral("Live-Ergebnisse starten auf Port %1 ...").arg(port));
    m_server->publish(snapshot());
    m_server->start(port, listenAddress(), m_limits);
    m_networkCheck.start();
    showState();
}

void LiveResultsControl::started(quint16 port, int connectionCap) {
    m_port = port;
    m_connectionCap = connectionCap;
    m_in.on = true;
    m_reachable.clear();
    checkNetwork();
    publishNow();
    showState();
}

void LiveResultsControl::failed(const QString& reason) {
    m_port = 0;
    m_address.clear();
    m_in.on = false;
    if (listenAddress() != QHostAddress(QHostAddress::Any) && !m_listenOverride)
        m_status->setText(
            QStringLiteral("Live-Ergebnisse aus: Adresse %1 Port %2 nicht verfügbar (%3)")
                .arg(m_in.address)
                .arg(m_in.port)
                .arg(reason));
    else
        m_status->setText(QStringLiteral("Live-Ergebnisse aus: Port %1 nicht verfügbar (%2)")
                              .arg(m_in.port)
                              .arg(reason));
    showState();
}

void LiveResultsControl::checkNetwork() {
    const QList<LanAddress::Candidate> all = m_interfaces();
    const QList<LanAddress::Candidate> reachable = LanAddress::reachable(all);
    const bool changed = !sameAddresses(reachable, m_reachable);
    m_reachable = reachable;
    const QHostAddress shown = LanAddress::choose(all, QHostAddress(m_in.address));
    m_addressMenu->setAddresses(reachable, shown, m_in.addressOnly);
    if (!changed)
        return;
    // An address served on alone that came back (the Wi-Fi joined again) brings the server back.
    if (m_wanted && !m_server->isRunning()) {
        setLive(true);
        return;
    }
    if (!isRunning())
        return;
    m_address = LanAddress::url(shown, m_port);
    m_status->setText(QStringLiteral("Live: ") + m_address);
    if (m_addressWindow)
        m_addressWindow->setAddress(m_address);
    showState();
}

void LiveResultsControl::chooseAddress(const QHostAddress& address) {
    m_in.address = address.toString();
    m_reachable.clear();
    // Served on the chosen address alone, the server moves to the new one.
    if (m_in.addressOnly)
        restartIfRunning();
    else
        checkNetwork();
}

void LiveResultsControl::serveOnChosenAddressOnly(bool on) {
    m_in.addressOnly = on;
    if (on && QHostAddress(m_in.address).isNull()) {
        const QList<LanAddress::Candidate> reachable = LanAddress::reachable(m_interfaces());
        if (!reachable.isEmpty())
            m_in.address = reachable.first().address.toString();
    }
    m_reachable.clear();
    restartIfRunning();
}

void LiveResultsControl::restartIfRunning() {
    if (m_server->isRunning())
        setLive(true);
    else
        checkNetwork();
}

void LiveResultsControl::showState() {
    const bool running = isRunning();
    m_menu.live->setChecked(running || m_server->isRunning());
    m_menu.address->setEnabled(running);
    m_menu.address->setToolTip(running ? m_address : AddressHint);
    m_menu.address->setStatusTip(running ? m_address : AddressHint);
    m_status->setVisible(!m_status->text().isEmpty());
    if (m_addressWindow && !running)
        m_addressWindow->hide();
}

LiveAddressWindow* LiveResultsControl::addressWindow() const {
    return m_addressWindow;
}

QString LiveResultsControl::statusText() const {
    return m_status->text();
}

void LiveResultsControl::askPort() {
    const std::optional<int> port = m_portQuestion(m_in.port);
    if (!port || *port < 1 || *port > 65535 || *port == m_in.port)
        return;
    m_in.port = *port;
    if (m_server->isRunning())
        setLive(true);
}

void LiveResultsControl::showAddressWindow() {
    if (!isRunning())
        return;
    if (!m_addressWindow)
        m_addressWindow = new LiveAddressWindow();
    m_addressWindow->setAddress(m_address);
    m_addressWindow->show();
    m_addressWindow->raise();
}
