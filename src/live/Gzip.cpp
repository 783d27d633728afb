#include "live/Gzip.h"

#include <QList>
#include <zlib.h>

namespace {

constexpr int GzipWindowBits = 15 + 16;
constexpr int RawWindowBits = -15;

QByteArray deflateAll(const QByteArray& data, int windowBits, int flush) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out;
    out.resize(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(data.size()))) + 64);
    // zlib's interface takes non-const input it never writes to.
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, flush);
    const bool ok = flush == Z_FINISH ? result == Z_STREAM_END : result == Z_OK;
    out.resize(static_cast<qsizetype>(stream.total_out));
    deflateEnd(&stream);
    return ok && stream.avail_in == 0 && stream.avail_out > 0 ? out : QByteArray();
}

} // namespace

bool Gzip::accepted(const QByteArray& acceptEncoding) {
    for (const QByteArray& item : acceptEncoding.split(',')) {
        const QList<QByteArray> parts = item.split(';');
        const QByteArray coding = parts.first().trimmed().toLower();
        if (coding != "gzip" && coding != "x-gzip" && coding != "*")
            continue;
        bool refused = false;
        for (qsizetype i = 1; i < parts.size(); ++i) {
            const QByteArray parameter = parts.at(i).trimmed().toLower();
            if (parameter.startsWith("q=") && parameter.mid(2).toDouble() <= 0.0)
                refused = true;
        }
        if (!refused)
            return true;
    }
    return false;
}

QByteArray Gzip::compress(const QByteArray& data) {
    return deflateAll(data, GzipWindowBits, Z_FINISH);
}

QByteArray Gzip::streamHeader() {
    // Magic, deflate, no flags, no time, no extra flags, unknown system.
    return QByteArray("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\xff", 10);
}

QByteArray Gzip::streamSegment(const QByteArray& data) {
    return deflateAll(data, RawWindowBits, Z_SYNC_FLUSH);
}
