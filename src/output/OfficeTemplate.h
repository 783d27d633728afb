#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reading the organisers' Word and Excel templates, and what the operator is told when one
// cannot be used: a missing template is named missing, any other refusal names its reason
// (a link to nothing, not a regular file, too large, the old .xls format, a damaged zip).
namespace OfficeTemplate {

enum class Kind { Word, Excel };

// Larger templates are refused before they could fill the memory.
constexpr qint64 SizeLimit = 64 * 1024 * 1024;

struct Content {
    std::optional<QByteArray> bytes; // the whole file when it can be used
    QString message;                 // otherwise what the operator is told
    QString reason;                  // and why
};

// The template's bytes, or the message and its reason.
Content read(Kind kind, const QString& path);

// "Die Wordvorlage <path> fehlt; es wurde nichts gespeichert."
QString missingText(Kind kind, const QString& path);
// "Die Wordvorlage <path> kann nicht gelesen werden; es wurde nichts gespeichert."
QString unreadableText(Kind kind, const QString& path);

} // namespace OfficeTemplate
