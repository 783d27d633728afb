#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// The released classes carried in a protocol or backup file. They follow the table behind the
// end-of-file byte 0x1A, where every reader of the table stops, so older programs and the cup
// read such a file as before:
//
//     <0x1A>[Freigabe]<CR LF>
//     <class><TAB><fingerprint><CR LF>   one line per released class
//
// Nothing is written while no class is released, so such a file is byte for byte the old one.
namespace ReleaseSection {

// The section, starting with the end-of-file byte; empty for no classes.
QByteArray bytes(const QMap<QString, QByteArray>& released);

// The released classes of a file's bytes (or of what follows its end-of-file byte); lines that
// are not of the section's form are left out, a file without the section gives none.
QMap<QString, QByteArray> parse(const QByteArray& fileBytes);

} // namespace ReleaseSection
