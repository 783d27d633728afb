#include "live/LiveRequest.h"

namespace {

// tchar of RFC 9110: what a method or a field name may consist of.
bool isToken(const QByteArray& text) {
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        const bool alnum =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum && !QByteArray("!#$%&'*+-.^_`|~").contains(c))
            return false;
    }
    return true;
}

bool hasControl(const QByteArray& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7f)
            return true;
    }
    return false;
}

bool hasToken(const QByteArray& list, const QByteArray& token) {
    for (const QByteArray& item : list.split(','))
        if (item.trimmed().toLower() == token)
            return true;
    return false;
}

} // namespace

std::optional<LiveRequest> LiveRequest::parse(const QByteArray& head) {
    QList<QByteArray> lines = head.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    const QList<QByteArray> parts = lines.value(0).split(' ');
    if (parts.size() != 3 || !isToken(parts.at(0)) || !parts.at(1).startsWith('/') ||
        hasControl(parts.at(1)))
        return std::nullopt;
    const QByteArray& version = parts.at(2);
    if (version != "HTTP/1.1" && version != "HTTP/1.0")
        return std::nullopt;
    LiveRequest request;
    request.method = parts.at(0);
    request.minorVersion = version.back() - '0';
    const QByteArray& target = parts.at(1);
    const qsizetype question = target.indexOf('?');
    request.path = question < 0 ? target : target.left(question);
    request.query = question < 0 ? QByteArray() : target.mid(question + 1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        const qsizetype colon = line.indexOf(':');
        // Folded lines and names with spaces before the colon are refused, as RFC 9112 asks.
        if (colon <= 0 || !isToken(line.left(colon)))
            return std::nullopt;
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (hasControl(value))
            return std::nullopt;
        request.headers.append({line.left(colon).toLower(), value});
    }
    // Two different lengths leave the body's end open; such a head is no request to answer.
    const QByteArray length = request.header("content-length");
    for (const auto& [name, value] : std::as_const(request.headers)) {
        if (name == "content-length" && value != length)
            return std::nullopt;
    }
    if (!length.isEmpty()) {
        bool ok = false;
        length.toLongLong(&ok);
        if (!ok || length.startsWith('-') || length.startsWith('+'))
            return std::nullopt;
    }
    return request;
}

QByteArray LiveRequest::header(const QByteArray& lowerCaseName) const {
    for (const auto& [name, value] : headers) {
        if (name == lowerCaseName)
            return value;
    }
    return {};
}

bool LiveRequest::hasHeader(const QByteArray& lowerCaseName) const {
    for (const auto& [name, value] : headers) {
        if (name == lowerCaseName)
            return true;
    }
    return false;
}

bool LiveRequest::keepAlive() const {
    const QByteArray connection = header("connection");
    if (minorVersion == 0)
        return false;
    return !hasToken(connection, "close");
}

bool LiveRequest::announcesBody() const {
    return hasHeader("transfer-encoding") || header("content-length").toLongLong() > 0;
}

bool LiveRequest::asksUpgrade() const {
    return hasHeader("upgrade") || hasToken(header("connection"), "upgrade");
}

std::optional<QByteArray> LiveRequest::queryValue(const QByteArray& name) const {
    for (const QByteArray& pair : query.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        if ((equals < 0 ? pair : pair.left(equals)) == name)
            return equals < 0 ? QByteArray() : pair.mid(equals + 1);
    }
    return std::nullopt;
}
