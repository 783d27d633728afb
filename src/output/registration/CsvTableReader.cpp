#include "output/registration/CsvTableReader.h"

#include "output/registration/SheetBuilder.h"
#include "output/registration/TextEncoding.h"

#include <QHash>
#include <csv.h>

namespace {

constexpr qsizetype kSampleBytes = 64 * 1024;
constexpr int kSampleRecords = 50;

// Follows the parser's callbacks: which line a record starts on, counting line breaks both
// between records and inside quoted cells, CR LF as one.
struct ParseState {
    SheetBuilder* builder = nullptr;
    QList<int>* widths = nullptr; // separator detection: fields per record
    int line = 1;
    int recordLine = 1;
    int embeddedBreaks = 0;
    int column = 0;
    bool anyField = false;
    bool lastWasCr = false;
    bool failed = false;
};

void onField(void* data, size_t length, void* context) {
    auto* state = static_cast<ParseState*>(context);
    const char* text = static_cast<const char*>(data);
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == length || text[i + 1] != '\n')))
            ++state->embeddedBreaks;
    }
    if (state->builder && !state->failed) {
        const QString cell = QString::fromUtf8(text, static_cast<qsizetype>(length));
        state->failed = !state->builder->setCell(state->recordLine, state->column, cell);
    }
    ++state->column;
    state->anyField = true;
    state->lastWasCr = false;
}

void onRecordEnd(int terminator, void* context) {
    auto* state = static_cast<ParseState*>(context);
    if (state->anyField && state->widths)
        state->widths->append(state->column);
    state->line += state->embeddedBreaks;
    state->embeddedBreaks = 0;
    state->column = 0;
    state->anyField = false;
    if (terminator == '\r') {
        ++state->line;
        state->lastWasCr = true;
    } else if (terminator == '\n') {
        if (!state->lastWasCr)
            ++state->line;
        state->lastWasCr = false;
    }
    state->recordLine = state->line;
}

// Only the blank is trimmed around unquoted cells: a tab may be the separator.
int isBlank(unsigned char c) {
    return c == ' ';
}

// Runs libcsv over the bytes; false when it ran out of memory.
bool parse(const QByteArray& utf8, char separator, ParseState& state) {
    csv_parser parser;
    if (csv_init(&parser, CSV_REPALL_NL) != 0)
        return false;
    csv_set_delim(&parser, static_cast<unsigned char>(separator));
    csv_set_space_func(&parser, isBlank);
    const auto length = static_cast<size_t>(utf8.size());
    const bool complete =
        csv_parse(&parser, utf8.constData(), length, onField, onRecordEnd, &state) == length;
    csv_fini(&parser, onField, onRecordEnd, &state);
    csv_free(&parser);
    return complete;
}

// Rows that are no text: a NUL, or more control characters than a text file ever has.
bool looksLikeText(const QString& text) {
    qsizetype controls = 0;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == 0)
            return false;
        if (u < 0x20 && u != u'\t' && u != u'\r' && u != u'\n' && u != 0x1A)
            ++controls;
    }
    return controls * 200 <= text.size();
}

QString separatorName(char separator) {
    if (separator == '\t')
        return QStringLiteral("Tabulator");
    return QStringLiteral("„%1“").arg(QLatin1Char(separator));
}

} // namespace

char CsvTableReader::detectSeparator(const QByteArray& utf8) {
    QByteArray sample = utf8.left(kSampleBytes);
    if (sample.size() < utf8.size()) {
        const qsizetype lastBreak = sample.lastIndexOf('\n');
        if (lastBreak > 0)
            sample.truncate(lastBreak + 1);
    }
    char best = ';';
    int bestScore = 0;
    for (const char candidate : {';', '\t', ','}) {
        QList<int> widths;
        ParseState state;
        state.widths = &widths;
        parse(sample, candidate, state);
        widths = widths.mid(0, kSampleRecords);
        QHash<int, int> frequency;
        int modal = 0;
        for (int width : std::as_const(widths)) {
            const int count = ++frequency[width];
            if (count > frequency.value(modal) ||
                (count == frequency.value(modal) && width > modal))
                modal = width;
        }
        const int score = modal > 1 ? frequency.value(modal) : 0;
        if (score > bestScore) {
            best = candidate;
            bestScore = score;
        }
    }
    return best;
}

ImportReadResult CsvTableReader::read(const QByteArray& bytes, const QString& sheetName) {
    const TextEncoding::Kind encoding = TextEncoding::detect(bytes);
    const QString text = TextEncoding::decode(bytes, encoding);
    if (!looksLikeText(text))
        return ImportReadResult::failure(
            QStringLiteral("Sie ist weder eine Tabelle noch eine Textdatei."));
    const QByteArray utf8 = text.toUtf8();
    const char separator = detectSeparator(utf8);

    SheetBuilder builder(sheetName);
    ParseState state;
    state.builder = &builder;
    if (!parse(utf8, separator, state))
        return ImportReadResult::failure(QStringLiteral("Zu wenig Speicher für eine Zelle."));
    if (state.failed)
        return ImportReadResult::failure(builder.error());

    ImportWorkbook workbook;
    workbook.kind = QStringLiteral("Text mit Trennzeichen %1, %2")
                        .arg(separatorName(separator), TextEncoding::name(encoding));
    auto sheet = builder.finish();
    if (!sheet)
        return ImportReadResult::failure(builder.error());
    workbook.sheets.append(std::move(*sheet));
    return {workbook, {}};
}
