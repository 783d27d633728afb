#pragma once

#include "cup/CupDefinition.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The cup file ("Velmora-Cup"), UTF-8 text, described in docs/cup-file.md. Race files are kept
// relative to the cup file's folder where they lie below it.
namespace CupFile {

QByteArray bytes(const CupDefinition& cup, const QString& cupFileName);
// nullopt with the line and reason in error ("Zeile 12: unbekannte Wertung „x“").
std::optional<CupDefinition> parse(const QByteArray& bytes, QString* error = nullptr);

// Written atomically; the message on failure names the file and the step.
std::optional<QString> save(const CupDefinition& cup, const QString& fileName);
// Regular files of at most 64 MiB.
std::optional<CupDefinition> load(const QString& fileName, QString* error = nullptr);

// The race's file as an absolute path.
QString racePath(const CupRace& race, const QString& cupFileName);
// Every race's file as an absolute path: before the cup is saved into another folder, whose
// relative paths would name other files.
void makeAbsolute(CupDefinition& cup, const QString& cupFileName);

} // namespace CupFile
