// Importing a registration list of 5,000 rows from each kind of file (CSV, Excel, LibreOffice):
// reading, the first mapping proposal and the checked plan together should stay under 2 s.
#include "competition/TimeFormat.h"
#include "output/ExcelWorkbook.h"
#include "output/ZipPackage.h"
#include "output/registration/ImportGuess.h"
#include "output/registration/ImportMemory.h"
#include "output/registration/RegistrationFileReader.h"
#include "output/registration/StartListImport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

constexpr int kRows = 5000;
constexpr int kRepeats = 3;
constexpr double kGoalMs = 2000.0;
const QStringList kHeader{"Startnummer", "Nachname", "Vorname",     "Verein",
                          "Klasse",      "Meister",  "Geburtsjahr", "Bemerkung"};

QStringList registration(int i) {
    return {QString::number(i),
            QStringLiteral("Müller-Lüdenscheidt %1").arg(i),
            QStringLiteral("Jörg"),
            QStringLiteral("SV Süd Großhausen %1").arg(i % 40),
            QString::number(i % 4 + 1),
            i % 7 == 0 ? QStringLiteral("x") : QString(),
            QString::number(1950 + i % 60),
            QStringLiteral("bezahlt; \"bar\"")};
}

QByteArray csvFile() {
    QString text = kHeader.join(u';') + QStringLiteral("\r\n");
    for (int i = 1; i <= kRows; ++i) {
        QStringList cells = registration(i);
        cells.last() = QStringLiteral("\"bezahlt; \"\"bar\"\"\"");
        text += cells.join(u';') + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

QByteArray xlsxFile() {
    ExcelWorkbook::Sheet sheet{QStringLiteral("Meldeliste"), {kHeader}};
    for (int i = 1; i <= kRows; ++i)
        sheet.rows.append(registration(i));
    return ExcelWorkbook::buildNew({sheet}, {}, TimeFormat(0, u',')).value_or(QByteArray());
}

QString xmlEscaped(QString text) {
    return text.replace(u'&', QStringLiteral("&amp;"))
        .replace(u'<', QStringLiteral("&lt;"))
        .replace(u'"', QStringLiteral("&quot;"));
}

QByteArray odsFile() {
    QString rows;
    auto addRow = [&rows](const QStringList& cells) {
        rows += QStringLiteral("<table:table-row>");
        for (const QString& cell : cells) {
            bool number = false;
            cell.toInt(&number);
            rows += number ? QStringLiteral("<table:table-cell office:value-type=\"float\" "
                                            "office:value=\"%1\"><text:p>%1</text:p>"
                                            "</table:table-cell>")
                                 .arg(cell)
                           : QStringLiteral("<table:table-cell office:value-type=\"string\">"
                                            "<text:p>%1</text:p></table:table-cell>")
                                 .arg(xmlEscaped(cell));
        }
        rows += QStringLiteral("<table:table-cell table:number-columns-repeated=\"1016\"/>"
                               "</table:table-row>");
    };
    addRow(kHeader);
    for (int i = 1; i <= kRows; ++i)
        addRow(registration(i));
    ZipPackage package;
    package.setPart("mimetype", "application/vnd.oasis.opendocument.spreadsheet");
    package.setPart(
        "content.xml",
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content "
            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
            "<office:spreadsheet><table:table table:name=\"Meldeliste\">%1<table:table-row "
            "table:number-rows-repeated=\"1043000\"><table:table-cell "
            "table:number-columns-repeated=\"1024\"/></table:table-row></table:table>"
            "</office:spreadsheet></office:body></office:document-content>")
            .arg(rows)
            .toUtf8());
    return package.toBytes().value_or(QByteArray());
}

// Read, propose, check: what the operator waits for between choosing the file and the dialog.
double importMs(const QByteArray& bytes, const QString& name, int* taken) {
    double best = 1e12;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        QElapsedTimer clock;
        clock.start();
        const ImportReadResult result = RegistrationFileReader::readBytes(bytes, name);
        if (!result.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(result.error));
            return -1;
        }
        const ImportMapping mapping = ImportGuess::initialMapping(*result.workbook, 0, {});
        const ImportPlan plan = StartListImport::plan({}, result.workbook->sheets.first(), mapping);
        best = qMin(best, clock.nsecsElapsed() / 1e6);
        *taken = plan.added;
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {{"meldeliste.csv", csvFile()},
                 {"meldeliste.xlsx", xlsxFile()},
                 {"meldeliste.ods", odsFile()}};
    bool met = true;
    for (const auto& file : files) {
        int taken = 0;
        const double ms = importMs(file.bytes, QString::fromLatin1(file.name), &taken);
        const bool ok = ms >= 0 && ms < kGoalMs && taken == kRows;
        met = met && ok;
        std::printf("%-16s %7lld bytes  %5d rows taken  %8.1f ms  %s\n", file.name,
                    static_cast<long long>(file.bytes.size()), taken, ms,
                    ok ? "ok" : "TOO SLOW OR WRONG");
    }
    std::printf("goal: %d rows under %.0f ms each\n", kRows, kGoalMs);
    return met ? 0 : 1;
}
