#include "competition/TSortedList.h"

#include "competition/DecimalText.h"

#include <QDateTime>
#include <QStringEncoder>
#include <cstring>

namespace {

std::optional<double> readDateTime(const QString& text) {
    static const char* const formats[] = {"d.M.yyyy H:mm:ss", "d.M.yyyy H:mm", "d.M.yyyy",
                                          "d.M.yy"};
    const QString trimmed = text.trimmed();
    for (const char* format : formats) {
        const QDateTime value = QDateTime::fromString(trimmed, QString::fromLatin1(format));
        if (value.isValid())
            return static_cast<double>(value.toMSecsSinceEpoch());
    }
    return std::nullopt;
}

std::optional<double> readTime(const QString& text) {
    static const char* const formats[] = {"H:mm:ss", "H:mm", "H:mm:ss.zzz"};
    const QString trimmed = text.trimmed();
    for (const char* format : formats) {
        const QTime value = QTime::fromString(trimmed, QString::fromLatin1(format));
        if (value.isValid())
            return static_cast<double>(value.msecsSinceStartOfDay());
    }
    return std::nullopt;
}

std::optional<double> readKey(const QString& text, TSortStyle style, QChar separator) {
    switch (style) {
    case ssNumeric:
    case ssNumericExtended:
        return parseDecimalNumber(text, separator);
    case ssDateTime:
        return readDateTime(text);
    case ssTime:
        return readTime(text);
    default:
        return std::nullopt;
    }
}

} // namespace

QByteArray TSortedList::windows1252(const QString& text) {
    // Windows-1252 agrees with Latin-1 outside 0x80..0x9F; only other characters need the
    // encoder, which is far too slow to build for every cell of a large table.
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x100 || (u >= 0x80 && u < 0xA0))
            return encodeSlowly(text);
        *out++ = static_cast<char>(u);
    }
    return bytes;
}

QByteArray TSortedList::encodeSlowly(const QString& text) {
    QStringEncoder encoder("windows-1252", QStringConverter::Flag::Default);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError() || !encoder.isValid()) {
        // Keep one byte per character so that unknown characters still order sensibly.
        bytes.clear();
        for (QChar c : text) {
            QStringEncoder single("windows-1252");
            const QByteArray b = single.encode(QString(c));
            bytes.append(single.hasError() || b.size() != 1 ? QByteArray("?") : b);
        }
    }
    return bytes;
}

int TSortedList::compare(const TSortedListEntry& a, const TSortedListEntry& b) {
    if (a.number && b.number) {
        if (*a.number < *b.number)
            return -1;
        if (*a.number > *b.number)
            return 1;
        return 0;
    }
    const qsizetype common = qMin(a.bytes.size(), b.bytes.size());
    const int diff = common > 0 ? std::memcmp(a.bytes.constData(), b.bytes.constData(),
                                              static_cast<size_t>(common))
                                : 0;
    if (diff != 0)
        return diff;
    if (a.bytes.size() == b.bytes.size())
        return 0;
    return a.bytes.size() < b.bytes.size() ? -1 : 1;
}

QList<int> TSortedList::sortedPositions(const QStringList& texts, TSortStyle style,
                                        const TSortOptions& options, QChar decimalSeparator) {
    const int n = static_cast<int>(texts.size());
    QList<TSortedListEntry> entries(n);
    bool allNumbers = true;
    for (int i = 0; i < n; ++i) {
        entries[i].number = readKey(texts[i], style, decimalSeparator);
        entries[i].position = i;
        allNumbers = allNumbers && entries[i].number.has_value();
    }
    // The texts are compared only when some cell is not a number.
    if (!allNumbers) {
        for (int i = 0; i < n; ++i) {
            QByteArray bytes = windows1252(texts[i]);
            if (!options.SortCaseSensitive) {
                for (char& ch : bytes) {
                    if (ch >= 'A' && ch <= 'Z')
                        ch = static_cast<char>(ch - 'A' + 'a');
                }
            }
            entries[i].bytes = std::move(bytes);
        }
    }
    const bool descending = options.SortDirection == sdDescending;
    auto before = [&](int x, int y) {
        int result = compare(entries[x], entries[y]);
        if (result == 0)
            return entries[x].position < entries[y].position;
        if (descending)
            result = -result;
        return result < 0;
    };
    // A plain bottom-up merge sort: the mixed numeric/text comparison need not be transitive,
    // and unlike the standard algorithms a merge never leaves its bounds on such input.
    QList<int> order(n);
    for (int i = 0; i < n; ++i)
        order[i] = i;
    QList<int> buffer(n);
    for (int width = 1; width < n; width *= 2) {
        for (int left = 0; left < n; left += 2 * width) {
            const int mid = qMin(left + width, n);
            const int right = qMin(left + 2 * width, n);
            int i = left, j = mid, k = left;
            while (i < mid && j < right)
                buffer[k++] = before(order[j], order[i]) ? order[j++] : order[i++];
            while (i < mid)
                buffer[k++] = order[i++];
            while (j < right)
                buffer[k++] = order[j++];
        }
        order.swap(buffer);
    }
    return order;
}

TSortStyle TSortedList::detectStyle(const QStringList& dataCells, QChar decimalSeparator) {
    auto all = [&](auto reader) {
        for (const QString& text : dataCells) {
            if (!reader(text))
                return false;
        }
        return true;
    };
    if (all([&](const QString& t) { return parseDecimalNumber(t, decimalSeparator).has_value(); }))
        return ssNumeric;
    if (all([](const QString& t) { return readDateTime(t).has_value(); }))
        return ssDateTime;
    if (all([](const QString& t) { return readTime(t).has_value(); }))
        return ssTime;
    return ssNormal;
}
