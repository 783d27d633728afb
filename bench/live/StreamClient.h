#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTcpSocket>

#include <zlib.h>

// One phone on the event stream, as the page behaves: it asks for the stream compressed, reads
// the whole state and then the changes, and after a refusal or a lost connection tries again
// after the time the server asks for. It prints "R <run> <ns> <competitor>" when a new result
// arrives and counts what it received on the wire. A refusal is any attempt that ends without
// a stream: a 503, a connection closed or reset before any answer, or one that never came up.
class StreamClient : public QObject {
public:
    struct Totals {
        int errors = 0;     // lost connections and refusals
        int refused = 0;    // attempts that got no stream, among them
        int refused503 = 0; // those told 503
        qint64 wireBytes = 0;
        qint64 connectBytes = 0; // up to the end of the first whole state
    };

    StreamClient(quint16 port, const QHostAddress& from, Totals& totals);
    ~StreamClient() override;

private:
    void connectNow();
    void read();
    void readBody(const QByteArray& bytes);
    void takeEvent(const QByteArray& name, const QByteArray& data);
    void lost();
    void failed();

    quint16 m_port;
    QHostAddress m_from;
    Totals& m_totals;
    QTcpSocket m_socket;
    QByteArray m_head;
    bool m_inBody = false;
    bool m_told503 = false;
    bool m_ended = false;
    bool m_gzip = false;
    bool m_stateSeen = false;
    qint64 m_wireBytes = 0;
    z_stream m_inflate{};
    QByteArray m_text;
    QString m_competitor;
    int m_run = -1;
};
