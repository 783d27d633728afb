#include "competition/CellSorter.h"

#include "competition/DecimalText.h"
#include "competition/Windows1252.h"

#include <QDateTime>
#include <cstring>
#include <vector>

namespace {

std::optional<double> readDateTime(QStringView text) {
    static const char* const formats[] = {"d.M.yyyy H:mm:ss", "d.M.yyyy H:mm", "d.M.yyyy",
                                          "d.M.yy"};
    const QString trimmed = text.trimmed().toString();
    for (const char* format : formats) {
        const QDateTime value = QDateTime::fromString(trimmed, QString::fromLatin1(format));
        if (value.isValid())
            return static_cast<double>(value.toMSecsSinceEpoch());
    }
    return std::nullopt;
}

std::optional<double> readTime(QStringView text) {
    static const char* const formats[] = {"H:mm:ss", "H:mm", "H:mm:ss.zzz"};
    const QString trimmed = text.trimmed().toString();
    for (const char* format : formats) {
        const QTime value = QTime::fromString(trimmed, QString::fromLatin1(format));
        if (value.isValid())
            return static_cast<double>(value.msecsSinceStartOfDay());
    }
    return std::nullopt;
}

std::optional<double> readKey(QStringView text, SortStyle style, QChar separator) {
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

int CellSorter::compare(const SortKey& a, const SortKey& b) {
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

QList<int> CellSorter::sortedPositions(const QStringList& texts, SortStyle style,
                                       const SortOptions& options, QChar decimalSeparator) {
    QList<QStringView> views;
    views.reserve(texts.size());
    for (const QString& text : texts)
        views.append(text);
    return sortedPositions(views, style, options, decimalSeparator);
}

QList<int> CellSorter::sortedPositions(const QList<QStringView>& texts, SortStyle style,
                                       const SortOptions& options, QChar decimalSeparator) {
    const int n = static_cast<int>(texts.size());
    const bool descending = options.direction == sdDescending;
    std::vector<std::optional<double>> numbers(static_cast<size_t>(n));
    bool allNumbers = true;
    for (int i = 0; i < n; ++i) {
        numbers[static_cast<size_t>(i)] = readKey(texts[i], style, decimalSeparator);
        allNumbers = allNumbers && numbers[static_cast<size_t>(i)].has_value();
    }
    if (allNumbers) {
        // Only numbers: a compact key array keeps the merge passes in the fast caches.
        std::vector<double> keys(static_cast<size_t>(n));
        for (size_t i = 0; i < keys.size(); ++i)
            keys[i] = *numbers[i];
        numbers = {};
        const double* const key = keys.data();
        return mergeOrder(n, [key, descending](int x, int y) {
            if (key[x] == key[y])
                return x < y; // the current position breaks ties, in both directions
            return descending ? key[x] > key[y] : key[x] < key[y];
        });
    }
    std::vector<SortKey> entries(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        SortKey& entry = entries[static_cast<size_t>(i)];
        entry.number = numbers[static_cast<size_t>(i)];
        entry.position = i;
        entry.bytes = Windows1252::encode(texts[i]);
        if (!options.caseSensitive) {
            for (char& ch : entry.bytes) {
                if (ch >= 'A' && ch <= 'Z')
                    ch = static_cast<char>(ch - 'A' + 'a');
            }
        }
    }
    const SortKey* const entry = entries.data();
    return mergeOrder(n, [entry, descending](int x, int y) {
        int result = compare(entry[x], entry[y]);
        if (result == 0)
            return x < y;
        if (descending)
            result = -result;
        return result < 0;
    });
}

template <typename Before> QList<int> CellSorter::mergeOrder(int n, Before before) {
    QList<int> order(n);
    int* current = order.data();
    for (int i = 0; i < n; ++i)
        current[i] = i;
    // Already in order (a second pass over the same key, a table sorted before): done.
    bool sorted = true;
    for (int i = 1; i < n && sorted; ++i)
        sorted = !before(i, i - 1);
    if (sorted)
        return order;

    // A plain bottom-up merge sort: the mixed numeric/text comparison need not be transitive,
    // and unlike the standard algorithms a merge never leaves its bounds on such input.
    std::vector<int> buffer(static_cast<size_t>(n));
    int* source = current;
    int* target = buffer.data();
    for (int width = 1; width < n; width *= 2) {
        for (int left = 0; left < n; left += 2 * width) {
            const int mid = qMin(left + width, n);
            const int right = qMin(left + 2 * width, n);
            int i = left, j = mid, k = left;
            while (i < mid && j < right)
                target[k++] = before(source[j], source[i]) ? source[j++] : source[i++];
            while (i < mid)
                target[k++] = source[i++];
            while (j < right)
                target[k++] = source[j++];
        }
        std::swap(source, target);
    }
    if (source != current)
        std::copy(source, source + n, current);
    return order;
}

SortStyle CellSorter::detectStyle(const QStringList& dataCells, QChar decimalSeparator) {
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
