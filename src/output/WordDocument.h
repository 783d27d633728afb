#pragma once

#include "output/FileWriteResult.h"
#include "platform/PosixFileSystem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class CompetitionTable;

// The Word protocol: the template document with the event title, an empty paragraph and the
// stage table as a real Word table put in front of its body. Styles, page setup, headers,
// footers and the rest of the body stay as the template has them.
namespace WordDocument {

// Widths in twips of the table's columns on a text width: each as wide as its longest text when
// all fit; otherwise numbers and captions keep their width and the names wrap at their blanks.
QList<int> columnWidths(const QList<QStringList>& rows, int textWidth);

// The document's bytes, or nullopt with the reason when the template is no Word document.
std::optional<QByteArray> build(const QByteArray& templateBytes, const QString& title,
                                const QList<QStringList>& rows, QString* error = nullptr);
// The same with a note in the paragraph between title and table (whether the results are
// official); an empty note leaves it empty.
std::optional<QByteArray> build(const QByteArray& templateBytes, const QString& title,
                                const QString& note, const QList<QStringList>& rows,
                                QString* error = nullptr);

// Reads the template, builds the document from the rows (header row first) and writes it
// atomically; a template that is missing or cannot be used writes nothing and says why, a
// failed write keeps the older file and says "Der Schreibfehler der Datei: " + fileName.
FileWriteResult exportToWord(const QString& templatePath, const QString& fileName,
                             const QString& title, const QList<QStringList>& rows,
                             FileSystem& system = PosixFileSystem::instance());
// The same with a note between title and table.
FileWriteResult exportToWord(const QString& templatePath, const QString& fileName,
                             const QString& title, const QString& note,
                             const QList<QStringList>& rows,
                             FileSystem& system = PosixFileSystem::instance());
// The same with the table's shown columns.
FileWriteResult exportToWord(const QString& templatePath, const QString& fileName,
                             const QString& title, const CompetitionTable& table,
                             FileSystem& system = PosixFileSystem::instance());

} // namespace WordDocument
