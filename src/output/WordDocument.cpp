#include "output/WordDocument.h"

#include "output/AtomicFile.h"
#include "output/ExportColumns.h"
#include "output/OfficeTemplate.h"
#include "output/XmlSplice.h"
#include "output/XmlText.h"
#include "output/ZipPackage.h"

#include <QXmlStreamReader>
#include <algorithm>

namespace WordDocument {

namespace {

const QString kDocumentPart = QStringLiteral("word/document.xml");
// A4 portrait with 2 cm margins, for a template whose page setup says nothing.
constexpr int kDefaultTextWidth = 9638;

// Builds markup in the namespace prefix the template uses for WordprocessingML.
class Markup {
public:
    explicit Markup(QString prefix) : m_p(prefix.isEmpty() ? QString() : prefix + u':') {}

    QString run(const QString& text, bool bold) const {
        QString r = open(u"r");
        if (bold)
            r += open(u"rPr") + empty(u"b") + close(u"rPr");
        r += u'<' + m_p + QStringLiteral("t xml:space=\"preserve\">") +
             XmlText::escape(XmlText::clean(text)) + close(u"t");
        return r + close(u"r");
    }
    QString paragraph(const QString& content) const {
        return content.isEmpty() ? empty(u"p") : open(u"p") + content + close(u"p");
    }
    QString open(QStringView name) const { return tag(u"<", name, u">"); }
    QString close(QStringView name) const { return tag(u"</", name, u">"); }
    QString empty(QStringView name, const QString& attributes = QString()) const {
        return tag(u"<", name, QString()).append(attributes).append(u"/>");
    }
    QString attr(QStringView name, const QString& value) const {
        return tag(u" ", name, u"=\"").append(value).append(u'"');
    }

private:
    QString tag(QStringView before, QStringView name, QStringView after) const {
        QString result;
        result.append(before).append(m_p).append(name).append(after);
        return result;
    }

    QString m_p;
};

QString tableXml(const Markup& m, const QList<QStringList>& rows, int textWidth) {
    const QString single =
        m.attr(u"val", QStringLiteral("single")) + m.attr(u"sz", QStringLiteral("4")) +
        m.attr(u"space", QStringLiteral("0")) + m.attr(u"color", QStringLiteral("auto"));
    QString borders = m.open(u"tblBorders");
    for (const char16_t* side : {u"top", u"left", u"bottom", u"right", u"insideH", u"insideV"})
        borders += m.empty(QStringView(side), single);
    borders += m.close(u"tblBorders");

    const QList<int> widths = columnWidths(rows, textWidth);
    QString xml = m.open(u"tbl") + m.open(u"tblPr") +
                  m.empty(u"tblW", m.attr(u"w", QString::number(textWidth)) +
                                       m.attr(u"type", QStringLiteral("dxa"))) +
                  borders + m.close(u"tblPr") + m.open(u"tblGrid");
    for (const int w : widths)
        xml += m.empty(u"gridCol", m.attr(u"w", QString::number(w)));
    xml += m.close(u"tblGrid");
    for (qsizetype r = 0; r < rows.size(); ++r) {
        xml += m.open(u"tr");
        // The header row repeats on every page of a long protocol.
        if (r == 0)
            xml += m.open(u"trPr") + m.empty(u"tblHeader") + m.close(u"trPr");
        for (qsizetype c = 0; c < widths.size(); ++c) {
            const QString text = c < rows.at(r).size() ? rows.at(r).at(c) : QString();
            xml += m.open(u"tc") + m.open(u"tcPr") +
                   m.empty(u"tcW", m.attr(u"w", QString::number(widths.at(c))) +
                                       m.attr(u"type", QStringLiteral("dxa"))) +
                   m.close(u"tcPr") + m.paragraph(m.run(text, r == 0)) + m.close(u"tc");
        }
        xml += m.close(u"tr");
    }
    return xml + m.close(u"tbl");
}

int attributeNumber(const QXmlStreamReader& reader, QStringView name) {
    for (const QXmlStreamAttribute& a : reader.attributes()) {
        if (a.name() == name)
            return a.value().toInt();
    }
    return 0;
}

// Twips a character takes in the template's body text (11 point), and a cell's own margins.
constexpr int kCharTwips = 130;
constexpr int kCellMarginTwips = 230;
// A text column may wrap, but not below words of this many characters.
constexpr int kShortestTextWrap = 12;

int twips(qsizetype characters) {
    return static_cast<int>(characters) * kCharTwips + kCellMarginTwips;
}

bool isNumber(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.isDigit() || c == u',' || c == u'.' || c == u'-' || c == u'+';
    });
}

} // namespace

QList<int> columnWidths(const QList<QStringList>& rows, int textWidth) {
    const qsizetype columns = rows.isEmpty() ? 0 : rows.first().size();
    QList<int> natural(columns, twips(1));
    QList<int> minimum(columns, twips(1));
    for (qsizetype c = 0; c < columns; ++c) {
        qsizetype longest = 0;
        qsizetype longestWord = 0;
        bool numbers = true;
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const QString text = rows.at(r).value(c).trimmed();
            longest = std::max(longest, text.size());
            for (const QString& word : text.split(u' ', Qt::SkipEmptyParts))
                longestWord = std::max(longestWord, word.size());
            if (r > 0 && !isNumber(text))
                numbers = false;
        }
        natural[c] = twips(longest);
        // Numbers and captions never wrap inside a word; a long name wraps at its blanks.
        minimum[c] =
            twips(numbers ? longestWord : std::min<qsizetype>(longestWord, kShortestTextWrap));
    }
    int naturalSum = 0;
    int minimumSum = 0;
    for (qsizetype c = 0; c < columns; ++c) {
        naturalSum += natural[c];
        minimumSum += minimum[c];
    }
    QList<int> widths(columns, 0);
    if (columns == 0)
        return widths;
    if (naturalSum <= textWidth || minimumSum >= textWidth) {
        // Everything fits, or not even the minimums do: shared in proportion to what each needs.
        const QList<int>& basis = naturalSum <= textWidth ? natural : minimum;
        const int sum = naturalSum <= textWidth ? naturalSum : minimumSum;
        for (qsizetype c = 0; c < columns; ++c)
            widths[c] = static_cast<int>(qint64(textWidth) * basis[c] / sum);
    } else {
        // Each column gets its minimum; the rest goes to the columns that would wrap, by how
        // much more they would need.
        const int rest = textWidth - minimumSum;
        const int wanted = naturalSum - minimumSum;
        for (qsizetype c = 0; c < columns; ++c)
            widths[c] = minimum[c] + static_cast<int>(qint64(rest) * (natural[c] - minimum[c]) /
                                                      std::max(1, wanted));
    }
    return widths;
}

std::optional<QByteArray> build(const QByteArray& templateBytes, const QString& title,
                                const QList<QStringList>& rows, QString* error) {
    return build(templateBytes, title, QString(), rows, error);
}

std::optional<QByteArray> build(const QByteArray& templateBytes, const QString& title,
                                const QString& note, const QList<QStringList>& rows,
                                QString* error) {
    auto package = ZipPackage::fromBytes(templateBytes, error);
    if (!package)
        return std::nullopt;
    if (!package->contains(kDocumentPart)) {
        if (error)
            *error = QStringLiteral("kein Word-Dokument");
        return std::nullopt;
    }
    const std::optional<QByteArray> documentXml = package->read(kDocumentPart, error);
    if (!documentXml)
        return std::nullopt;
    XmlSplice document(QString::fromUtf8(*documentXml));
    QXmlStreamReader reader(document.text());
    std::optional<XmlSplice::Span> body;
    QString prefix;
    int pageWidth = 0;
    int margins = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!body && reader.name() == u"body") {
            body = document.currentTag(reader);
            prefix = reader.prefix().toString();
        } else if (reader.name() == u"pgSz" && pageWidth == 0) {
            pageWidth = attributeNumber(reader, u"w");
        } else if (reader.name() == u"pgMar" && margins == 0) {
            margins = attributeNumber(reader, u"left") + attributeNumber(reader, u"right");
        }
    }
    if (reader.hasError() || !body) {
        if (error)
            *error = reader.hasError() ? reader.errorString()
                                       : QStringLiteral("das Dokument hat keinen Textkörper");
        return std::nullopt;
    }
    const int textWidth = pageWidth - margins > 1000 ? pageWidth - margins : kDefaultTextWidth;
    const Markup m(prefix);
    const QString inserted = m.paragraph(m.run(title, true)) +
                             m.paragraph(note.isEmpty() ? QString() : m.run(note, true)) +
                             tableXml(m, rows, textWidth) +
                             // Word wants a paragraph between a table and what follows.
                             m.paragraph(QString());
    if (document.isEmptyElement(*body))
        document.replace(*body, m.open(u"body") + inserted + m.close(u"body"));
    else
        document.insert(body->end, inserted);
    package->setPart(kDocumentPart, document.result().toUtf8());
    return package->toBytes(error);
}

FileWriteResult exportToWord(const QString& templatePath, const QString& fileName,
                             const QString& title, const QList<QStringList>& rows,
                             FileSystem& system) {
    return exportToWord(templatePath, fileName, title, QString(), rows, system);
}

FileWriteResult exportToWord(const QString& templatePath, const QString& fileName,
                             const QString& title, const QString& note,
                             const QList<QStringList>& rows, FileSystem& system) {
    const OfficeTemplate::Content content =
        OfficeTemplate::read(OfficeTemplate::Kind::Word, templatePath);
    if (!content.bytes)
        return FileWriteResult::failure(content.message, content.reason);
    QString reason;
    const std::optional<QByteArray> bytes = build(*content.bytes, title, note, rows, &reason);
    if (!bytes)
        return FileWriteResult::failure(
            OfficeTemplate::unreadableText(OfficeTemplate::Kind::Word, templatePath), reason);
    if (const auto failure = AtomicFile::write(fileName, *bytes, system))
        return FileWriteResult::failure(QStringLiteral("Der Schreibfehler der Datei: ") + fileName,
                                        failure->text());
    return FileWriteResult::success();
}

FileWriteResult exportToWord(const QString& templatePath, const QString& fileName,
                             const QString& title, const CompetitionTable& table,
                             FileSystem& system) {
    return exportToWord(templatePath, fileName, title,
                        ExportColumns::rows(table, ExportColumns::wordColumns(table)), system);
}

} // namespace WordDocument
