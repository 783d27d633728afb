#include "output/ExcelWorkbook.h"

#include "output/AtomicFile.h"
#include "output/ExcelTemplate.h"
#include "output/OfficeTemplate.h"
#include "output/SpreadsheetCell.h"
#include "output/XmlText.h"
#include "platform/CNumberLocale.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <xlsxwriter.h>

namespace ExcelWorkbook {

namespace {

constexpr double kMinimumWidth = 4;
constexpr double kMaximumWidth = 80;

QString failureText(lxw_error error) {
    return QString::fromUtf8(lxw_strerror(error));
}

// libxlsxwriter keeps pointers into these until the workbook is closed.
struct Utf8Properties {
    QByteArray title, subject, author;
};

} // namespace

QString creditText() {
    return QStringLiteral("Velmora - Quarnek, www.quarnek.de");
}

QString sheetName(const QString& caption, int index) {
    QString name = XmlText::clean(caption).trimmed();
    for (QChar& c : name) {
        if (QStringView(u"[]:*?/\\").contains(c))
            c = u'_';
    }
    name = name.left(31).trimmed();
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\''))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("Tabelle%1").arg(index + 1) : name;
}

QList<double> columnWidths(const QList<QStringList>& rows) {
    QList<double> widths;
    for (const QStringList& row : rows) {
        if (widths.size() < row.size())
            widths.resize(row.size(), kMinimumWidth);
        for (qsizetype c = 0; c < row.size(); ++c) {
            // One character of air, as Excel's own fitting leaves.
            const double width = static_cast<double>(row.at(c).trimmed().size()) + 1.5;
            widths[c] = qBound(widths[c], width, kMaximumWidth);
        }
    }
    return widths;
}

std::optional<QByteArray> buildNew(const QList<Sheet>& sheets, const Properties& properties,
                                   const TimeFormat& format, QString* error) {
    const CNumberLocale cNumbers;
    QTemporaryDir folder;
    if (!folder.isValid()) {
        if (error)
            *error = folder.errorString();
        return std::nullopt;
    }
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral("protocol.xlsx")));
    lxw_workbook_options options{};
    const QByteArray tmpdir = QFile::encodeName(folder.path());
    options.tmpdir = const_cast<char*>(tmpdir.constData());
    lxw_workbook* workbook = workbook_new_opt(path.constData(), &options);
    if (!workbook) {
        if (error)
            *error = QStringLiteral("libxlsxwriter");
        return std::nullopt;
    }
    const Utf8Properties utf8{properties.title.toUtf8(), properties.subject.toUtf8(),
                              properties.author.toUtf8()};
    lxw_doc_properties docProperties{};
    docProperties.title = const_cast<char*>(utf8.title.constData());
    docProperties.subject = const_cast<char*>(utf8.subject.constData());
    docProperties.author = const_cast<char*>(utf8.author.constData());
    workbook_set_properties(workbook, &docProperties);

    lxw_format* bold = workbook_add_format(workbook);
    format_set_bold(bold);
    lxw_format* hundredths = workbook_add_format(workbook);
    // Excel's built-in "0.00".
    format_set_num_format_index(hundredths, 2);

    QStringList used;
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        QString name = sheetName(sheets.at(i).name, static_cast<int>(i));
        // Two sheets of one name would make the workbook unreadable.
        while (used.contains(name, Qt::CaseInsensitive))
            name = name.left(28) + QStringLiteral(" %1").arg(i + 1);
        used.append(name);
        const QByteArray utf8Name = name.toUtf8();
        lxw_worksheet* sheet = workbook_add_worksheet(workbook, utf8Name.constData());
        const QList<QStringList>& rows = sheets.at(i).rows;
        for (qsizetype r = 0; sheet && r < rows.size(); ++r) {
            for (qsizetype c = 0; c < rows.at(r).size(); ++c) {
                const auto row = static_cast<lxw_row_t>(r);
                const auto col = static_cast<lxw_col_t>(c);
                const SpreadsheetCell cell = SpreadsheetCell::classify(rows.at(r).at(c), format);
                lxw_format* style = r == 0 ? bold : nullptr;
                if (cell.kind == SpreadsheetCell::Kind::Text) {
                    if (!cell.text.isEmpty())
                        worksheet_write_string(sheet, row, col, cell.text.toUtf8().constData(),
                                               style);
                } else {
                    worksheet_write_number(sheet, row, col, cell.number,
                                           cell.kind == SpreadsheetCell::Kind::Decimal ? hundredths
                                                                                       : style);
                }
            }
        }
        const QList<double> widths = columnWidths(rows);
        for (qsizetype c = 0; sheet && c < widths.size(); ++c)
            worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 widths.at(c), nullptr);
    }
    const lxw_error closed = workbook_close(workbook);
    if (closed != LXW_NO_ERROR) {
        if (error)
            *error = failureText(closed);
        return std::nullopt;
    }
    QFile written(QString::fromLocal8Bit(path));
    if (!written.open(QIODevice::ReadOnly)) {
        if (error)
            *error = written.errorString();
        return std::nullopt;
    }
    return written.readAll();
}

FileWriteResult exportToExcel(const std::optional<QString>& templatePath, const QString& fileName,
                              const QList<Sheet>& sheets, const Properties& properties,
                              const TimeFormat& format, FileSystem& system) {
    QString reason;
    std::optional<QByteArray> bytes;
    if (templatePath) {
        const OfficeTemplate::Content content =
            OfficeTemplate::read(OfficeTemplate::Kind::Excel, *templatePath);
        if (!content.bytes)
            return FileWriteResult::failure(content.message, content.reason);
        const ExcelTemplate::Result filled = ExcelTemplate::fill(*content.bytes, sheets, format);
        if (!filled.bytes)
            return FileWriteResult::failure(
                ExcelTemplate::problemText(filled.problem, *templatePath), filled.reason);
        bytes = filled.bytes;
    } else {
        bytes = buildNew(sheets, properties, format, &reason);
        if (!bytes)
            return FileWriteResult::failure(
                QStringLiteral("Der Schreibfehler der Datei: ") + fileName, reason);
    }
    if (const auto failure = AtomicFile::write(fileName, *bytes, system))
        return FileWriteResult::failure(QStringLiteral("Der Schreibfehler der Datei: ") + fileName,
                                        failure->text());
    return FileWriteResult::success();
}

} // namespace ExcelWorkbook
