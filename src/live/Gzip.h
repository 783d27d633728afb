#pragma once

#include <QByteArray>

// gzip for the live server's answers. Whole answers are compressed as one gzip member. An
// event stream is one gzip member that never ends: after the header come segments that are
// each compressed on their own and flushed to a byte boundary, so one compressed event can be
// sent to every client of the stream, whatever each of them received before.
class Gzip {
public:
    // True when an Accept-Encoding value allows gzip ("gzip", "x-gzip" or "*" without q=0).
    static bool accepted(const QByteArray& acceptEncoding);
    static QByteArray compress(const QByteArray& data);
    // The ten bytes that open a gzip member.
    static QByteArray streamHeader();
    // Deflate blocks of the data that depend on nothing before them and end on a byte
    // boundary, so a reader can decode them as soon as they arrive.
    static QByteArray streamSegment(const QByteArray& data);
};
