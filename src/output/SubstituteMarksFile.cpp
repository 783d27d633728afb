#include "output/SubstituteMarksFile.h"

#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "competition/Windows1252.h"
#include "output/AtomicFile.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QHash>

namespace {

constexpr int RunCount = 5;
// A few hundred bytes per competitor at most; anything larger is not a companion file.
constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

QString writeError(const QString& fileName) {
    return QStringLiteral("Der Schreibfehler der Datei: ") + fileName;
}

// One line: "Nr", run 1..5 and the time, each ended by a tab.
std::optional<SubstituteMarks::Mark> parseLine(QStringView line) {
    const QList<QStringView> fields = line.split(u'\t');
    if (fields.size() != 4 || !fields[3].trimmed().isEmpty())
        return std::nullopt;
    bool ok = false;
    const int run = fields[1].trimmed().toInt(&ok);
    const QString number = fields[0].trimmed().toString();
    const QString time = fields[2].trimmed().toString();
    if (!ok || run < 1 || run > RunCount || number.isEmpty() || time.isEmpty())
        return std::nullopt;
    return SubstituteMarks::Mark{number, run - 1, time};
}

} // namespace

QString SubstituteMarksFile::companionPath(const QString& protocolPath) {
    QString base = protocolPath;
    if (base.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
        base.chop(4);
    return base + QStringLiteral("-Ersatzzeiten.txt");
}

SubstituteMarks SubstituteMarksFile::shownIn(const SubstituteMarks& marks,
                                             const CompetitionTable& heatStartList) {
    using StageTables::Heat::Nr;
    using StageTables::Heat::Zeit1;
    SubstituteMarks shown;
    if (marks.isEmpty())
        return shown;
    // One walk over the list, not one per mark: a file may hold many thousands of them.
    QHash<QString, int> rows;
    for (int row = heatStartList.rowsWithHeader() - 1; row > 0; --row)
        rows.insert(heatStartList.cell(Nr, row).trimmed(), row);
    for (const SubstituteMarks::Mark& mark : marks.marks()) {
        const int row = rows.value(mark.number, 0);
        if (row > 0 &&
            marks.isSubstitute(mark.number, mark.run, heatStartList.cell(Zeit1 + mark.run, row)))
            shown.add(mark);
    }
    return shown;
}

QByteArray SubstituteMarksFile::bytes(const SubstituteMarks& marks) {
    QString text;
    for (const SubstituteMarks::Mark& mark : marks.marks())
        text += mark.number + u'\t' + QString::number(mark.run + 1) + u'\t' + mark.timeText +
                QStringLiteral("\t\r\n");
    return Windows1252::encode(text);
}

SubstituteMarksFile::ReadResult SubstituteMarksFile::parse(const QByteArray& bytes) {
    ReadResult result;
    const QString text = Windows1252::decode(bytes);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        if (const auto mark = parseLine(line))
            result.marks.add(*mark);
        else
            ++result.damagedLines;
    }
    return result;
}

SubstituteMarksFile::ReadResult SubstituteMarksFile::read(const QString& fileName) {
    const RegularFile::Content content = RegularFile::read(fileName, MaxFileBytes);
    switch (content.status) {
    case RegularFile::Status::Read:
        return parse(content.bytes);
    case RegularFile::Status::Missing:
        return {};
    case RegularFile::Status::NotRegular:
        return {{}, 0, QStringLiteral("keine gewöhnliche Datei")};
    case RegularFile::Status::TooLarge:
        return {{}, 0, QStringLiteral("zu groß")};
    case RegularFile::Status::Failed:
        break;
    }
    return {{}, 0, QStringLiteral("nicht lesbar")};
}

FileWriteResult SubstituteMarksFile::write(const QString& fileName, const SubstituteMarks& marks) {
    if (marks.isEmpty()) {
        if (!RegularFile::entryExists(fileName) || QFile::remove(fileName))
            return FileWriteResult::success();
        // What cannot be removed must at least no longer name a mark.
        if (const auto failure = AtomicFile::write(fileName, QByteArray()))
            return FileWriteResult::failure(writeError(fileName), failure->text());
        return FileWriteResult::success();
    }
    if (const auto failure = AtomicFile::write(fileName, bytes(marks)))
        return FileWriteResult::failure(writeError(fileName), failure->text());
    return FileWriteResult::success();
}

QString SubstituteMarksFile::damagedText(const QString& fileName, const ReadResult& result) {
    if (!result.error.isEmpty())
        return QStringLiteral("Ersatzzeiten nicht gelesen (") + result.error +
               QStringLiteral("): ") + fileName;
    if (result.damagedLines > 0)
        return QStringLiteral("Ersatzzeiten: %1 unlesbare Zeile(n) übergangen in ")
                   .arg(result.damagedLines) +
               fileName;
    return QString();
}
