#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <optional>

// One HTTP/1.x request head as the live server reads it: the request line and the header
// fields, nothing of a body. Header names are kept in lower case.
struct LiveRequest {
    QByteArray method;
    QByteArray path;  // the target up to '?', still encoded
    QByteArray query; // after '?', without it
    int minorVersion = 1;
    QList<QPair<QByteArray, QByteArray>> headers;

    // The head without its closing empty line; nothing when it is not a request head.
    static std::optional<LiveRequest> parse(const QByteArray& head);

    // The field's value (the first one of that name), or nothing.
    QByteArray header(const QByteArray& lowerCaseName) const;
    bool hasHeader(const QByteArray& lowerCaseName) const;
    // True when the connection may carry another request after this one.
    bool keepAlive() const;
    // A body follows the head (a length above 0 or a transfer coding).
    bool announcesBody() const;
    // The connection ends with the answer: the client asked for that, or a body that is never
    // read would follow.
    bool closesAfterAnswer() const { return !keepAlive() || announcesBody(); }
    bool asksUpgrade() const;
    // A value of the query such as "v" in "/events?v=12"; nothing when absent.
    std::optional<QByteArray> queryValue(const QByteArray& name) const;
};
