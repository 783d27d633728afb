#include "live/LiveResponse.h"

namespace {

QByteArray opaque(QByteArray tag) {
    tag = tag.trimmed();
    return tag.startsWith("W/") ? tag.mid(2) : tag;
}

} // namespace

QByteArray LiveResponse::reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 304:
        return "Not Modified";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Payload Too Large";
    case 417:
        return "Expectation Failed";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

QByteArray LiveResponse::build(int status, const Fields& fields, const QByteArray& body,
                               bool closeAfter) {
    QByteArray bytes;
    bytes.reserve(body.size() + 512);
    bytes += "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
    for (const auto& [name, value] : fields)
        bytes += name + ": " + value + "\r\n";
    bytes += "X-Content-Type-Options: nosniff\r\nReferrer-Policy: no-referrer\r\n";
    // A 304 says nothing of the length of the body it stands for.
    if (status != 304)
        bytes += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (closeAfter)
        bytes += "Connection: close\r\n";
    bytes += "\r\n";
    bytes += body;
    return bytes;
}

bool LiveResponse::matches(const QByteArray& ifNoneMatch, const QByteArray& etag) {
    if (ifNoneMatch.trimmed() == "*")
        return true;
    for (const QByteArray& tag : ifNoneMatch.split(',')) {
        if (opaque(tag) == opaque(etag))
            return true;
    }
    return false;
}
