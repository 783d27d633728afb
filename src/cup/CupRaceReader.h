#pragma once

#include "cup/CupEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Reads a race's results from its protocol file as this program derives them: per class the
// finalists in the order of the final results, then the others of the class in the order of
// the heat results, then the competitors without a place (states and rows whose runs are
// incomplete). Times are read in whichever notation the file was written.
class CupRaceReader {
public:
    // Entries class by class (ClassKey order). Empty for a file without competitors.
    static QList<CupEntry> fromProtocolBytes(const QByteArray& bytes);

    struct Read {
        QList<CupEntry> entries;
        QByteArray sha256; // hex
    };
    // Reads the file as the program opens protocol files (regular files of at most 64 MiB);
    // nullopt with the reason in error.
    static std::optional<Read> fromFile(const QString& fileName, QString* error = nullptr);
    // The bytes of a protocol file under the same rule, nullopt with the reason in error
    // ("Datei nicht gefunden: /a/b.txt"). tooLarge names what a larger file cannot be ("kein
    // Protokoll"), for the cup file read under the same rule.
    static std::optional<QByteArray>
    fileBytes(const QString& fileName, QString* error = nullptr,
              const QString& tooLarge = QStringLiteral("kein Protokoll"));
    static QByteArray sha256Hex(const QByteArray& bytes);
};
