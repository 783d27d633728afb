#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTcpSocket>

#include <zlib.h>

// One phone on the event stream, as the page behaves: it asks for the stream compressed, reads
// the whole state and then the changes, and after a refusal or a lost connection tries again
// after the time the server asks for. It prints "R <run> <ns> <competitor>" when a new result
// arrives and counts what it received on the wire.
class StreamClient : public QObject {
public:
    struct Totals {
        int errors = 0;  // lost connections and refusals
        int refused = 0; // 503 answers among them
        qint64 wireBytes = 0;
        qint64 connectBytes = 0; // up to the end of the first whole state
    };

    StreamClient(quint16 port, const QHostAddress& from, Totals& totals);
    ~StreamClient() override;

private:
    void connectNow();
    void read();
    void readBody(const QByteArray& bytes);
    void event(const QByteArray& name, const QByteArray& data);
    void lost();

    quint16 m_port;
    QHostAddress m_from;
    Totals& m_totals;
    QTcpSocket m_socket;
    QByteArray m_head;
    bool m_inBody = false;
    bool m_gzip = false;
    bool m_stateSeen = false;
    qint64 m_wireBytes = 0;
    z_stream m_inflate{};
    QByteArray m_text;
    QString m_competitor;
    int m_run = -1;
};
