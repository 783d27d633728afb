#pragma once

#include "live/Gzip.h"

#include <QByteArray>

// One event of the stream as every client gets it: written once, and compressed once for all
// the clients that take the stream compressed.
class LiveEvent {
public:
    LiveEvent(qint64 version, QByteArray plain) : m_version(version), m_plain(std::move(plain)) {}

    // The state's version after this event.
    qint64 version() const { return m_version; }
    const QByteArray& plain() const { return m_plain; }
    const QByteArray& packed() const {
        if (m_packed.isEmpty())
            m_packed = Gzip::streamSegment(m_plain);
        return m_packed;
    }
    const QByteArray& bytes(bool gzip) const { return gzip ? packed() : plain(); }

private:
    qint64 m_version;
    QByteArray m_plain;
    mutable QByteArray m_packed; // the server thread alone reads events
};
