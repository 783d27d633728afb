#include "output/registration/TextEncoding.h"

#include "competition/Windows1252.h"

#include <QStringDecoder>

namespace {

bool startsWith(const QByteArray& bytes, const char* mark, int length) {
    return bytes.size() >= length && std::equal(mark, mark + length, bytes.constData());
}

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

TextEncoding::Kind TextEncoding::detect(const QByteArray& bytes) {
    if (startsWith(bytes, "\xEF\xBB\xBF", 3))
        return Kind::Utf8WithBom;
    if (startsWith(bytes, "\xFF\xFE", 2))
        return Kind::Utf16LE;
    if (startsWith(bytes, "\xFE\xFF", 2))
        return Kind::Utf16BE;
    return isValidUtf8(bytes) ? Kind::Utf8 : Kind::Windows1252;
}

QString TextEncoding::decode(const QByteArray& bytes, Kind kind) {
    switch (kind) {
    case Kind::Utf8:
        return QString::fromUtf8(bytes);
    case Kind::Utf8WithBom:
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    case Kind::Utf16LE: {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder.decode(QByteArrayView(bytes).sliced(2));
    }
    case Kind::Utf16BE: {
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        return decoder.decode(QByteArrayView(bytes).sliced(2));
    }
    case Kind::Windows1252:
        break;
    }
    return Windows1252::decode(bytes);
}

QString TextEncoding::name(Kind kind) {
    switch (kind) {
    case Kind::Utf8:
        return QStringLiteral("UTF-8");
    case Kind::Utf8WithBom:
        return QStringLiteral("UTF-8 mit BOM");
    case Kind::Utf16LE:
    case Kind::Utf16BE:
        return QStringLiteral("UTF-16");
    case Kind::Windows1252:
        break;
    }
    return QStringLiteral("Windows-1252");
}
