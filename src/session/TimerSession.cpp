#include "session/TimerSession.h"

#include "journal/JournalRecorder.h"
#include "journal/TimerJournalEntry.h"
#include "settings/Settings.h"
#include "timing/TickSource.h"
#include "timing/TimerPort.h"

TimerSession::TimerSession(RunClock& clock, BackupStopLogic& backup,
                           std::shared_ptr<SerialSystem> system,
                           std::shared_ptr<const TickSource> ticks, QObject* parent)
    : QObject(parent) {
    m_port = new TimerPort(
        std::move(system), [ticks] { return ticks->nowMicroseconds(); }, this);
    m_input = new TimerInput(clock, backup, this);
    // Read and journaled on the port's thread; the clock acts on this one.
    connect(m_port, &TimerPort::lineReceived, m_input, &TimerInput::takeLine, Qt::DirectConnection);
    connect(m_input, &TimerInput::impulseRead, this, &TimerSession::impulseRead,
            Qt::DirectConnection);
    connect(m_input, &TimerInput::lineUnreadable, this,
            [this](const QByteArray& line, const QString& reason, qint64 arrival) {
                journal(TimerJournalEntry::unreadable(line, reason, arrival));
                Q_EMIT notice(unreadableText(++m_unreadable, reason));
            });
    connect(m_input, &TimerInput::driftChanged, this, [this](qint64 drift, bool beyond) {
        if (m_journal && beyond)
            m_journal->note(driftText(drift));
        if (!m_lost)
            setLasting(beyond ? driftText(drift) : QString());
    });
    connect(m_port, &TimerPort::connectionLost, this,
            [this](const QString& device, const QString& reason) {
                m_lost = true;
                if (m_journal)
                    m_journal->note(lostText(device), reason);
                setLasting(lostText(device));
            });
    connect(m_port, &TimerPort::connectionRestored, this, [this](const QString& device) {
        m_lost = false;
        if (m_journal)
            m_journal->note(restoredText(), device);
        setLasting(m_input->driftBeyondLimit() ? driftText(m_input->drift().value_or(0))
                                               : QString());
        Q_EMIT notice(restoredText());
    });
}

TimerSession::~TimerSession() = default;

bool TimerSession::apply(const Settings& settings) {
    const TimerLineProfile* profile = TimerLineProfile::find(settings.timerProfile);
    if (!profile)
        profile = &TimerLineProfile::builtIn().front();
    m_input->configure(
        *profile, settings.timerDevice,
        {settings.timerStart, settings.timerSplit, settings.timerStop, settings.timerBackup},
        qint64(settings.timerDriftLimit) * 1000);
    // Reopening flushes the input: only a changed line is opened again.
    const bool same = m_device == settings.timerDevice &&
                      m_baudRate == quint32(settings.timerBaud) && m_profileId == profile->id;
    m_device = settings.timerDevice;
    m_baudRate = quint32(settings.timerBaud);
    m_profileId = profile->id;
    if (same && (m_port->isOpen() || m_port->isReconnecting()))
        return m_port->isOpen();
    m_lost = false;
    setLasting(QString());
    if (settings.timerDevice.isEmpty()) {
        m_port->close();
        return false;
    }
    const bool opened =
        m_port->open(settings.timerDevice, quint32(settings.timerBaud), profile->terminators);
    if (!opened) {
        m_lost = true;
        setLasting(lostText(settings.timerDevice) + QStringLiteral(" (") + m_port->lastError() +
                   u')');
    }
    return opened;
}

void TimerSession::close() {
    m_port->close();
    m_device.clear();
    m_lost = false;
    setLasting(QString());
}

bool TimerSession::isOpen() const {
    return m_port->isOpen();
}

QString TimerSession::lastError() const {
    return m_port->lastError();
}

QString TimerSession::driftText(qint64 microseconds) {
    return QStringLiteral("Uhr des Zeitmessgeräts weicht um %1%2 s ab")
        .arg(QChar(microseconds < 0 ? u'-' : u'+'))
        .arg(QString::number(double(std::llabs(microseconds)) / 1e6, 'f', 3).replace(u'.', u','));
}

QString TimerSession::memoryText(int impulses) {
    return QStringLiteral("Zeitmessgerät: %1 Impuls(e) aus dem Speicher, nicht gestoppt – "
                          "im Zeitprotokoll eintragen")
        .arg(impulses);
}

QString TimerSession::unreadableText(int lines, const QString& reason) {
    return QStringLiteral("Zeitmessgerät: Zeile unlesbar (%1), %2 bisher").arg(reason).arg(lines);
}

void TimerSession::setLasting(const QString& text) {
    if (text == m_lasting)
        return;
    m_lasting = text;
    Q_EMIT lastingNoticeChanged(text);
}

void TimerSession::journal(const JournalEntry& entry) {
    if (m_journal)
        m_journal->add(entry);
}

void TimerSession::impulseRead(const TimerImpulse& impulse, TimerInput::Role role,
                               TimerInput::Arrival arrival, qint64 programStamp,
                               qint64 arrivalStamp) {
    journal(TimerJournalEntry::impulse(impulse, role, arrival, programStamp, arrivalStamp));
    if (arrival == TimerInput::Arrival::FromMemory)
        Q_EMIT notice(memoryText(++m_fromMemory));
}
