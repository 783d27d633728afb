#include "mock/LiveHttpClient.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkRequest>
#include <QTcpSocket>
#include <QTimer>

QUrl LiveHttpClient::url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path));
}

LiveHttpClient::Reply LiveHttpClient::wait(QNetworkReply* reply) {
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    Reply result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.contentType = reply->rawHeader("Content-Type");
    result.body = reply->readAll();
    result.error = reply->error();
    reply->deleteLater();
    return result;
}

LiveHttpClient::Reply LiveHttpClient::get(const QString& path,
                                          const QList<QPair<QByteArray, QByteArray>>& headers) {
    QNetworkRequest request(url(path));
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    return wait(m_manager.get(request));
}

LiveHttpClient::Reply LiveHttpClient::post(const QString& path, const QByteArray& body) {
    QNetworkRequest request(url(path));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("text/plain"));
    return wait(m_manager.post(request, body));
}

QNetworkReply* LiveHttpClient::openStream() {
    QNetworkRequest request(url(QStringLiteral("/events")));
    request.setRawHeader("Accept", "text/event-stream");
    QNetworkReply* reply = m_manager.get(request);
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [this, reply] {
        const QByteArray bytes = reply->readAll();
        m_stream += bytes;
        m_mirror.feed(bytes);
    });
    return reply;
}

QByteArray LiveHttpClient::raw(const QByteArray& request, int waitMs,
                               const QHostAddress& from) const {
    QTcpSocket socket;
    if (!from.isNull())
        socket.bind(from);
    socket.connectToHost(QStringLiteral("127.0.0.1"), m_port);
    if (!socket.waitForConnected(2000))
        return {};
    socket.write(request);
    QByteArray answer;
    QElapsedTimer time;
    time.start();
    while (time.elapsed() < waitMs && socket.state() == QAbstractSocket::ConnectedState) {
        if (socket.waitForReadyRead(50))
            answer += socket.readAll();
        // A complete answer with a length is enough; the server need not close.
        const qsizetype headEnd = answer.indexOf("\r\n\r\n");
        const qsizetype lengthAt = answer.toLower().indexOf("content-length:");
        if (headEnd >= 0 && lengthAt >= 0 && lengthAt < headEnd) {
            const qsizetype lineEnd = answer.indexOf("\r\n", lengthAt);
            const qsizetype length =
                answer.mid(lengthAt + 15, lineEnd - lengthAt - 15).trimmed().toLongLong();
            if (answer.size() >= headEnd + 4 + length)
                break;
        }
    }
    answer += socket.readAll();
    return answer;
}
