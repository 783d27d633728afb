#include "competition/Windows1252.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <bitset>
#include <memory>

namespace Windows1252 {

namespace {

constexpr const char* kCodecName = "windows-1252";

// Every UTF-16 unit that one of the 256 bytes decodes to, learnt from the converter itself.
const std::bitset<65536>& encodableUnits() {
    static const std::unique_ptr<std::bitset<65536>> units = [] {
        auto set = std::make_unique<std::bitset<65536>>();
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = static_cast<char>(b);
        QStringDecoder decoder(kCodecName);
        const QString decoded = decoder.decode(all);
        for (const QChar ch : decoded) {
            if (ch != QChar::ReplacementCharacter)
                set->set(ch.unicode());
        }
        return set;
    }();
    return *units;
}

template <typename Replace> QString replaceUnencodable(QStringView text, Replace replace) {
    const auto& units = encodableUnits();
    qsizetype first = 0;
    while (first < text.size() && units.test(text.at(first).unicode()))
        ++first;
    if (first == text.size())
        return text.toString();
    QString result = text.left(first).toString();
    result.reserve(text.size() + 16);
    for (qsizetype i = first; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (units.test(ch.unicode())) {
            result.append(ch);
            continue;
        }
        char32_t codePoint = ch.unicode();
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(ch, text.at(i + 1));
            ++i;
        }
        result.append(replace(codePoint));
    }
    return result;
}

QByteArray convert(const QString& text) {
    QStringEncoder encoder(kCodecName);
    return encoder.encode(text);
}

} // namespace

bool isEncodable(QChar ch) {
    return encodableUnits().test(ch.unicode());
}

QByteArray encode(QStringView text) {
    // The code page agrees with Latin-1 outside 0x80..0x9F, so most texts need no converter,
    // which is far too slow to build for every cell of a large table that is sorted.
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        if (unit >= 0x100 || (unit >= 0x80 && unit < 0xA0))
            return convert(replaceUnencodable(text, [](char32_t) { return QStringLiteral("?"); }));
        *out++ = static_cast<char>(unit);
    }
    return bytes;
}

QByteArray encodeForHtml(QStringView text) {
    return convert(replaceUnencodable(text, [](char32_t codePoint) {
        return QStringLiteral("&#%1;").arg(static_cast<uint>(codePoint));
    }));
}

QString decode(const QByteArray& bytes) {
    QStringDecoder decoder(kCodecName);
    return decoder.decode(bytes);
}

} // namespace Windows1252
