#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and writes for tests that compare what a writer left on disk.
namespace FileBytes {

// The file's bytes, or "<unreadable>" so that a missing file never equals an expected content.
QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& bytes);
// A backup of two competitors as the program writes it: Windows-1252, tab-terminated cells,
// CR LF.
QByteArray twoCompetitorBackup();

} // namespace FileBytes
