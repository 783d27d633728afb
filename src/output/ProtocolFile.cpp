#include "output/ProtocolFile.h"

#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "competition/Windows1252.h"
#include "output/AtomicFile.h"
#include "platform/RegularFile.h"

namespace ProtocolFile {

namespace {

constexpr char16_t kTab = u'\t';
constexpr char16_t kEndOfFile = 0x1A;
constexpr int kMeisterColumn = StageTables::Heat::Meister;
// Far beyond any competition (10,000 competitors take about 1 MB); a file chosen by mistake
// must not exhaust the memory.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

// A cell must not contain what the reader takes as a cell or line boundary.
void appendCell(QString& out, const QString& text) {
    if (text.isEmpty()) {
        out.append(u' ');
        return;
    }
    const qsizetype start = out.size();
    out.append(text);
    for (qsizetype i = start; i < out.size(); ++i) {
        const char16_t ch = out.at(i).unicode();
        if (ch == u'\t' || ch == u'\n' || ch == u'\r' || ch == kEndOfFile)
            out[i] = u' ';
    }
}

bool isBlankOrControl(QChar ch) {
    return ch.unicode() <= 0x20 || ch.unicode() == 0x7F;
}

// Blanks and control characters trimmed from both ends.
QStringView trimmedView(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text.at(begin)))
        ++begin;
    while (end > begin && isBlankOrControl(text.at(end - 1)))
        --end;
    return text.sliced(begin, end - begin);
}

// Runs of two or more tabs count as one.
QString foldTabs(QStringView line) {
    QString folded;
    folded.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == kTab && !folded.isEmpty() && folded.back() == kTab)
            continue;
        folded.append(line.at(i));
    }
    return folded;
}

// Fields of one line put into a row of colCount cells.
QStringList splitLine(QStringView rawLine, int colCount) {
    QStringList row(colCount);
    const QString line = rawLine.contains(kTab) ? foldTabs(rawLine) : rawLine.toString();
    const QChar separator = line.contains(kTab) ? QChar(kTab) : QChar(u';');
    int column = 0;
    qsizetype fieldStart = 0;
    while (column < colCount) {
        const qsizetype sep = line.indexOf(separator, fieldStart);
        if (sep < 0) {
            // Text after the last separator is a field only when there is some.
            if (fieldStart < line.size())
                row[column] = line.sliced(fieldStart);
            break;
        }
        const qsizetype length = sep - fieldStart;
        row[column++] = length > 0 ? line.sliced(fieldStart, length) : QStringLiteral(" ");
        fieldStart = sep + 1;
    }
    return row;
}

// Where the line that starts at `from` ends: at CR LF, LF or a lone CR (files from old Mac
// editors), or at the end of the text.
qsizetype lineEndFrom(const QString& text, qsizetype from) {
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text.at(i) == u'\n' || text.at(i) == u'\r')
            return i;
    }
    return text.size();
}

// Anything but blanks and line ends after the first line: rows that a save would have to keep.
bool hasContentAfterFirstLine(const QByteArray& bytes) {
    qsizetype i = 0;
    while (i < bytes.size() && bytes.at(i) != '\n' && bytes.at(i) != '\r')
        ++i;
    for (; i < bytes.size(); ++i) {
        const char ch = bytes.at(i);
        if (ch != '\n' && ch != '\r' && ch != '\t' && ch != ' ' && ch != char(kEndOfFile))
            return true;
    }
    return false;
}

} // namespace

QByteArray protocolBytes(const CompetitionTable& heatStartList) {
    const int rows = heatStartList.rowsWithHeader();
    const int cols = heatStartList.columns();
    QString text;
    text.reserve(qsizetype(rows) * cols * 8);
    for (int r = 0; r < rows; ++r) {
        if (heatStartList.cell(0, r).isEmpty())
            continue;
        for (int c = 0; c < cols; ++c) {
            appendCell(text, heatStartList.cell(c, r));
            text.append(kTab);
        }
        text.append(u"\r\n");
    }
    return Windows1252::encode(text);
}

FileWriteResult SaveProtocolText(const CompetitionTable& heatStartList, const QString& fileName,
                                 const QByteArray& trailer) {
    if (const auto failure = AtomicFile::write(fileName, protocolBytes(heatStartList) + trailer)) {
        return FileWriteResult::failure(QStringLiteral("Der Schreibfehler der Datei: ") + fileName,
                                        failure->text());
    }
    return FileWriteResult::success();
}

QList<QStringList> parseProtocolBytes(const QByteArray& bytes, const QStringList& currentHeader,
                                      const QStringList& defaultCaptions, int colCount) {
    colCount = qMax(1, colCount);
    const qsizetype endOfFile = bytes.indexOf(char(kEndOfFile));
    const QString text = Windows1252::decode(endOfFile < 0 ? bytes : bytes.left(endOfFile));

    QList<QStringList> rows;
    QStringList header = currentHeader;
    header.resize(colCount);
    rows.append(header);
    rows.append(QStringList(colCount));

    qsizetype lineStart = 0;
    int index = 0;
    while (lineStart < text.size()) {
        const qsizetype lineEnd = lineEndFrom(text, lineStart);
        qsizetype next = lineEnd + 1;
        if (lineEnd + 1 < text.size() && text.at(lineEnd) == u'\r' && text.at(lineEnd + 1) == u'\n')
            ++next;
        const QStringView line = QStringView(text).sliced(lineStart, lineEnd - lineStart);
        if (index < rows.size())
            rows[index] = splitLine(line, colCount);
        else
            rows.append(splitLine(line, colCount));
        ++index;
        lineStart = next;
    }

    QStringList& head = rows[0];
    for (int c = 0; c < colCount; ++c) {
        if (trimmedView(head[c]).isEmpty())
            head[c] = c < defaultCaptions.size() ? defaultCaptions[c] : QString();
    }
    if (kMeisterColumn < colCount) {
        for (qsizetype r = 1; r < rows.size(); ++r) {
            QString& cell = rows[r][kMeisterColumn];
            if (trimmedView(cell) != u"+")
                cell.clear();
        }
    }
    return rows;
}

bool rowsHaveData(const QList<QStringList>& rows) {
    for (qsizetype r = 1; r < rows.size(); ++r) {
        if (!rows[r].isEmpty() && !rows[r].constFirst().isEmpty())
            return true;
    }
    return false;
}

std::optional<QList<QStringList>> readProtocolFile(const QString& fileName,
                                                   const CompetitionTable& heatStartList,
                                                   QByteArray* trailer) {
    const RegularFile::Content content = RegularFile::read(fileName, kMaxFileBytes);
    if (!content.ok())
        return std::nullopt;
    QList<QStringList> rows = parseProtocolBytes(
        content.bytes, heatStartList.rowCells(0),
        StageTables::defaultCaptions(StageTables::HeatStartList), heatStartList.columns());
    // Loaded as a header alone, the next save would empty the file.
    if (!rowsHaveData(rows) && hasContentAfterFirstLine(content.bytes))
        return std::nullopt;
    if (trailer) {
        const qsizetype end = content.bytes.indexOf(char(kEndOfFile));
        *trailer = end < 0 ? QByteArray() : content.bytes.sliced(end);
    }
    return rows;
}

void replaceRows(CompetitionTable& heatStartList, const QList<QStringList>& rows) {
    // Cut to two rows and grow again, as the table's row-count rule for the modified flag
    // expects of a load; all inside one update so that views see a single reset.
    heatStartList.beginUpdate();
    heatStartList.setRowsWithHeader(2);
    heatStartList.setRowsWithHeader(static_cast<int>(qMax<qsizetype>(2, rows.size())));
    for (int r = 0; r < rows.size(); ++r)
        heatStartList.setRowCells(r, rows[r]);
    heatStartList.endUpdate();
}

} // namespace ProtocolFile
