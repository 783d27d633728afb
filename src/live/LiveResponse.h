#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// An HTTP/1.1 answer of the live server as bytes: the status line, the fields every answer
// carries (length, no sniffing, no referrer), the given ones, and the body.
class LiveResponse {
public:
    using Fields = QList<QPair<QByteArray, QByteArray>>;

    static QByteArray build(int status, const Fields& fields, const QByteArray& body,
                            bool closeAfter);
    static QByteArray reason(int status);
    // True when an If-None-Match value names the tag (weakly compared) or is "*".
    static bool matches(const QByteArray& ifNoneMatch, const QByteArray& etag);
};
