#include "mock/CertificateSample.h"

#include "competition/StageDerivation.h"

#include <QProcess>
#include <QStandardPaths>

namespace CertificateSample {

void fill(Competition& c) {
    struct Row {
        QStringList person; // Nr., Name, Vorname, Verein/Ort, Kl.
        QList<int> runs;    // hundredths; 0 leaves the cell empty, -1 writes "-"
    };
    const QList<Row> rows{
        {{"1", "Müller", "Jürgen", "SC Rutsch & Co", "1"}, {1000, 1000, 1000, 1000, 1000}},
        {{"2", "<Weber>", "Anna", "SC Rutsch & Co", "1"}, {1000, 1100, 1000, 1000, 1050}},
        {{"3", "Groß", "Ömer", "TV Nord", "1"}, {1100, 1200, 1100, 900, 900}},
        {{"4", "Fehler", "Fritz", "TV Nord", "1"}, {1200, -1, 0, 0, 0}},
        {{"5", "Klein", "Karl", "TV Nord", "2"}, {1300, 1300, 1300, 1300, 1300}},
        {{"6", "Sommer", "Sina", "SC Rutsch & Co", "1"}, {1200, 1200, 1200, 1200, 0}},
    };
    for (const Row& row : rows) {
        QStringList cells = row.person;
        cells.append(QString()); // "Meister"
        for (const int run : row.runs)
            cells.append(run > 0 ? c.timeFormat().formatTime(run)
                                 : (run < 0 ? QStringLiteral("-") : QString()));
        c.heatStartList().appendRow(cells);
    }
    StageDerivation(c).deriveAll();
}

std::optional<QStringList> pdfPageTexts(const QString& fileName) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(tool,
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), fileName, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringList();
    // pdftotext ends every page with a form feed.
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

} // namespace CertificateSample
