#pragma once

#include "output/ZipPackage.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// Reads written Word and Excel files back the way an office program would: the zip with
// libzip, every part as XML that must be well-formed.
class OfficeReader {
public:
    struct Cell {
        QString type;  // the t attribute: "inlineStr", "s", "n" or empty (a number)
        QString value; // the text, or the number as written
        int style = 0;
    };
    struct Sheet {
        QString name;
        QMap<QString, Cell> cells; // by reference, "A1"
        QMap<int, double> widths;  // by column from 1
    };

    static std::optional<OfficeReader> open(const QString& fileName);
    static std::optional<OfficeReader> fromBytes(const QByteArray& bytes);

    const ZipPackage& package() const { return m_package; }
    // A part parses as XML without error.
    bool wellFormed(const QString& part) const;
    bool allXmlWellFormed() const;

    // Word: the body's paragraphs' texts before the first table, and the first table's rows.
    QStringList paragraphsBeforeTable() const;
    QList<QStringList> tableRows() const;
    int gridColumns() const;

    // Excel: the sheets in workbook order.
    QList<Sheet> sheets() const;
    // Whether the cell format of that index uses a bold font.
    bool styleIsBold(int style) const;
    // The number format id of the cell format (2 is "0.00").
    int styleNumberFormat(int style) const;
    // A document property from docProps/core.xml ("title", "subject", "creator").
    QString coreProperty(const QString& name) const;

private:
    ZipPackage m_package;
};
