#pragma once

#include <QByteArray>
#include <QString>

// The character encoding of a text file from elsewhere: a byte order mark says it, otherwise
// text that is valid UTF-8 is UTF-8, and anything else is taken as Windows-1252, which every
// byte decodes in.
class TextEncoding {
public:
    enum class Kind { Utf8, Utf8WithBom, Utf16LE, Utf16BE, Windows1252 };

    static Kind detect(const QByteArray& bytes);
    // The whole text, without its byte order mark.
    static QString decode(const QByteArray& bytes, Kind kind);
    // For the operator: "UTF-8", "Windows-1252", ...
    static QString name(Kind kind);
};
