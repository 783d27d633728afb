#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The single-byte code page of every file the program writes and reads. The converter
// substitutes the byte 0x1A for a character it cannot map, and 0x1A ends a protocol file when
// it is read, so characters outside the code page are replaced before conversion instead.
namespace Windows1252 {

// True when the character has a byte of its own in the code page.
bool isEncodable(QChar ch);

// Characters outside the code page become '?'.
QByteArray encode(QStringView text);

// Characters outside the code page become HTML numeric references ("&#321;").
QByteArray encodeForHtml(QStringView text);

QString decode(const QByteArray& bytes);

} // namespace Windows1252
