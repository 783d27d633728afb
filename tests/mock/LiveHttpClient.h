#pragma once

#include "mock/LiveStateMirror.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPair>

// Talks to the live server on 127.0.0.1 the way browsers do: GET through
// QNetworkAccessManager, an open event stream read as it arrives, and raw bytes for requests
// no well-behaved client would send.
class LiveHttpClient {
public:
    struct Reply {
        int status = 0;
        QByteArray contentType;
        QByteArray body;
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
    };

    explicit LiveHttpClient(quint16 port) : m_port(port) {}

    QUrl url(const QString& path) const;
    Reply get(const QString& path, const QList<QPair<QByteArray, QByteArray>>& headers = {});
    Reply post(const QString& path, const QByteArray& body);
    // Opens /events; the reply's bytes collect in stream() as they come, and the state they
    // carry in mirror().
    QNetworkReply* openStream();
    QByteArray stream() const { return m_stream; }
    const LiveStateMirror& mirror() const { return m_mirror; }
    // The state the stream has brought so far.
    QJsonObject state() const { return m_mirror.state(); }
    // Sends the bytes on a fresh connection (from the given local address, 127.0.0.1 when
    // none) and returns what came back before the server closed it or the time ran out.
    QByteArray raw(const QByteArray& request, int waitMs = 3000,
                   const QHostAddress& from = QHostAddress()) const;

private:
    Reply wait(QNetworkReply* reply);

    quint16 m_port;
    QNetworkAccessManager m_manager;
    QByteArray m_stream;
    LiveStateMirror m_mirror;
};
