#include "live/LivePublishing.h"

#include "live/LiveServer.h"
#include "live/LiveSnapshotSource.h"

#include <algorithm>

namespace {

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

LivePublishing::LivePublishing(LiveInputs inputs, QObject* parent)
    : QObject(parent), m_in(std::move(inputs)), m_server(std::make_unique<LiveServer>(m_in.ticks)),
      m_source(new LiveSnapshotSource(m_in, this)), m_interfaces(&LanAddress::ofThisMachine) {
    m_coalesce.setSingleShot(true);
    connect(&m_coalesce, &QTimer::timeout, this, &LivePublishing::publishNow);
    m_networkCheck.setInterval(networkCheckMs);
    connect(&m_networkCheck, &QTimer::timeout, this, &LivePublishing::checkNetwork);
    connect(m_server.get(), &LiveServer::started, this, &LivePublishing::started);
    connect(m_server.get(), &LiveServer::failed, this, &LivePublishing::failed);
    connectSources();
}

LivePublishing::~LivePublishing() = default;

void LivePublishing::connectSources() {
    connect(m_source, &LiveSnapshotSource::changed, this, [this] {
        schedule();
        Q_EMIT contentChanged(false);
    });
    // The pages run the time themselves; the clock's news goes out at once.
    connect(m_source, &LiveSnapshotSource::clockChanged, this, [this] {
        QTimer::singleShot(0, this, &LivePublishing::publishNow);
        Q_EMIT contentChanged(true);
    });
}

void LivePublishing::sourcesChanged() {
    schedule();
    Q_EMIT contentChanged(false);
}

void LivePublishing::protocolRestarted() {
    m_source->forgetLastResult();
    schedule();
    Q_EMIT contentChanged(false);
}

void LivePublishing::resultEntered(const QString& competitor, const QString& club,
                                   const QString& time) {
    m_source->resultEntered(competitor, club, time);
}

void LivePublishing::startUp() {
    if (m_in.on)
        setLive(true);
    else
        Q_EMIT stateChanged();
}

bool LivePublishing::isRunning() const {
    return m_port != 0 && m_server->isRunning();
}

bool LivePublishing::isSwitchedOn() const {
    return m_server->isRunning();
}

void LivePublishing::setCup(std::optional<LiveSnapshot::Cup> cup) {
    m_source->setCup(std::move(cup));
}

LiveSnapshot LivePublishing::snapshot() const {
    return m_source->snapshot();
}

void LivePublishing::schedule() {
    if (!m_server->isRunning() || m_coalesce.isActive())
        return;
    const qint64 since =
        m_lastPublish.isValid() ? m_lastPublish.elapsed() : qint64(minPublishIntervalMs);
    m_coalesce.start(static_cast<int>(qMax<qint64>(coalesceMs, minPublishIntervalMs - since)));
}

void LivePublishing::publishNow() {
    m_coalesce.stop();
    if (!m_server->isRunning())
        return;
    m_lastPublish.start();
    m_server->publish(snapshot());
}

QHostAddress LivePublishing::listenAddress() const {
    if (m_listenOverride)
        return *m_listenOverride;
    const QHostAddress chosen(m_in.address);
    return m_in.addressOnly && !chosen.isNull() ? chosen : QHostAddress(QHostAddress::Any);
}

void LivePublishing::setLive(bool on) {
    m_port = 0;
    m_address.clear();
    m_wanted = on;
    if (!on) {
        m_server->stop();
        m_networkCheck.stop();
        m_in.on = false;
        m_statusText.clear();
        Q_EMIT stateChanged();
        return;
    }
    const auto port = static_cast<quint16>(m_in.port);
    m_statusText = QStringLiteral("Live-Ergebnisse starten auf Port %1 ...").arg(port);
    m_server->publish(snapshot());
    m_server->start(port, listenAddress(), m_limits);
    m_networkCheck.start();
    Q_EMIT stateChanged();
}

void LivePublishing::setPort(int port) {
    if (port < 1 || port > 65535 || port == m_in.port)
        return;
    m_in.port = port;
    if (m_server->isRunning())
        setLive(true);
}

void LivePublishing::started(quint16 port, int connectionCap) {
    m_port = port;
    m_connectionCap = connectionCap;
    m_in.on = true;
    m_networkKnown = false;
    checkNetwork();
    publishNow();
    Q_EMIT stateChanged();
}

void LivePublishing::failed(const QString& reason) {
    m_port = 0;
    m_address.clear();
    m_in.on = false;
    if (listenAddress() != QHostAddress(QHostAddress::Any) && !m_listenOverride)
        m_statusText =
            QStringLiteral("Live-Ergebnisse aus: Adresse %1 Port %2 nicht verfügbar (%3)")
                .arg(m_in.address)
                .arg(m_in.port)
                .arg(reason);
    else
        m_statusText = QStringLiteral("Live-Ergebnisse aus: Port %1 nicht verfügbar (%2)")
                           .arg(m_in.port)
                           .arg(reason);
    Q_EMIT stateChanged();
}

void LivePublishing::checkNetwork() {
    const QList<LanAddress::Candidate> all = m_interfaces();
    const QList<LanAddress::Candidate> reachable = LanAddress::reachable(all);
    const bool changed = !m_networkKnown || !sameAddresses(reachable, m_reachable);
    m_reachable = reachable;
    m_networkKnown = true;
    const QHostAddress chosen(m_in.address);
    // Served on the chosen address alone, the server stays bound to it when it goes away, and
    // answers again on it when it comes back; another address would show phones a dead end.
    const bool chosenGone = m_in.addressOnly && !chosen.isNull() &&
                            std::none_of(reachable.cbegin(), reachable.cend(),
                                         [&chosen](const LanAddress::Candidate& c) {
                                             return c.address.isEqual(chosen);
                                         });
    const QHostAddress shown = chosenGone ? chosen : LanAddress::choose(all, chosen);
    Q_EMIT addressesChecked(reachable, shown, m_in.addressOnly);
    if (!changed)
        return;
    // An address served on alone that came back (the Wi-Fi joined again) brings the server back.
    if (m_wanted && !m_server->isRunning()) {
        setLive(true);
        return;
    }
    if (!isRunning())
        return;
    if (chosenGone) {
        m_address.clear();
        m_statusText = QStringLiteral("Live-Ergebnisse: gewählte Adresse %1 nicht mehr vorhanden")
                           .arg(chosen.toString());
        if (!reachable.isEmpty())
            m_statusText += QStringLiteral(", unter \"Live-Adresse\" eine andere wählen");
    } else if (reachable.isEmpty()) {
        m_address = LanAddress::url(shown, m_port);
        m_statusText =
            QStringLiteral("Live-Ergebnisse nur auf diesem Computer erreichbar: ") + m_address;
    } else {
        m_address = LanAddress::url(shown, m_port);
        m_statusText = QStringLiteral("Live: ") + m_address;
    }
    Q_EMIT stateChanged();
}

void LivePublishing::chooseAddress(const QHostAddress& address) {
    m_in.address = address.toString();
    m_networkKnown = false;
    // Served on the chosen address alone, the server moves to the new one.
    if (m_in.addressOnly)
        restartIfRunning();
    else
        checkNetwork();
}

void LivePublishing::serveOnChosenAddressOnly(bool on) {
    m_in.addressOnly = on;
    if (on && QHostAddress(m_in.address).isNull()) {
        const QList<LanAddress::Candidate> reachable = LanAddress::reachable(m_interfaces());
        if (!reachable.isEmpty())
            m_in.address = reachable.first().address.toString();
    }
    m_networkKnown = false;
    restartIfRunning();
}

void LivePublishing::restartIfRunning() {
    if (m_server->isRunning())
        setLive(true);
    else
        checkNetwork();
}
