#include "ZipBomb.h"

#include "output/ZipPackage.h"

#include <QtEndian>
#include <zlib.h>

namespace ZipBomb {

namespace {

constexpr qint64 kMebibyte = 1024 * 1024;

struct Packed {
    QByteArray bytes;
    quint32 crc = 0;
    quint32 size = 0;
};

// Raw deflate of input, ended with flush (Z_FULL_FLUSH leaves a piece that can be repeated).
QByteArray deflated(const QByteArray& input, int flush) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<qsizetype>(deflateBound(&stream, input.size()) + 64), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.constData()));
    stream.avail_in = static_cast<uInt>(input.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, flush);
    out.resize(static_cast<qsizetype>(stream.total_out));
    deflateEnd(&stream);
    return out;
}

Packed pack(const Part& part) {
    Packed p;
    if (part.zeroMebibytes == 0) {
        p.bytes = deflated(part.data, Z_FINISH);
        p.crc = static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef*>(part.data.constData()),
                                           static_cast<uInt>(part.data.size())));
        p.size = static_cast<quint32>(part.data.size());
    } else {
        const QByteArray zeros(kMebibyte, '\0');
        const QByteArray piece = deflated(zeros, Z_FULL_FLUSH);
        const uLong pieceCrc =
            crc32(0, reinterpret_cast<const Bytef*>(zeros.constData()), kMebibyte);
        uLong crc = 0;
        for (qint64 i = 0; i < part.zeroMebibytes; ++i) {
            p.bytes += piece;
            crc = crc32_combine(crc, pieceCrc, kMebibyte);
        }
        p.bytes += deflated(QByteArray(), Z_FINISH);
        p.crc = static_cast<quint32>(crc);
        p.size = static_cast<quint32>(part.zeroMebibytes * kMebibyte);
    }
    if (part.declaredSize)
        p.size = *part.declaredSize;
    return p;
}

void put16(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

// The fields local and central headers share: version, flags, method, time, date, crc, sizes,
// name length.
void common(QByteArray& out, const Packed& p, const QByteArray& name) {
    put16(out, 20);
    put16(out, 0x0800); // UTF-8 names
    put16(out, 8);      // deflate
    put16(out, 0);
    put16(out, 0x21); // 1980-01-01
    put32(out, p.crc);
    put32(out, static_cast<quint32>(p.bytes.size()));
    put32(out, p.size);
    put16(out, static_cast<quint16>(name.size()));
}

} // namespace

QByteArray archive(const QList<Part>& parts) {
    QByteArray out;
    QByteArray central;
    for (const Part& part : parts) {
        const Packed p = pack(part);
        const QByteArray name = part.name.toUtf8();
        const auto offset = static_cast<quint32>(out.size());
        put32(out, 0x04034b50);
        common(out, p, name);
        put16(out, 0); // extra
        out += name + p.bytes;
        put32(central, 0x02014b50);
        put16(central, 20); // made by
        common(central, p, name);
        put16(central, 0); // extra
        put16(central, 0); // comment
        put16(central, 0); // disk
        put16(central, 0); // internal attributes
        put32(central, 0); // external attributes
        put32(central, offset);
        central += name;
    }
    const auto centralOffset = static_cast<quint32>(out.size());
    out += central;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<quint16>(parts.size()));
    put16(out, static_cast<quint16>(parts.size()));
    put32(out, static_cast<quint32>(central.size()));
    put32(out, centralOffset);
    put16(out, 0);
    return out;
}

QByteArray withPart(const QByteArray& templateBytes, const Part& part) {
    const auto package = ZipPackage::fromBytes(templateBytes);
    QList<Part> parts;
    bool replaced = false;
    for (const QString& name : package->names()) {
        if (name == part.name) {
            parts.append(part);
            replaced = true;
        } else {
            parts.append({name, package->part(name), 0, std::nullopt});
        }
    }
    if (!replaced)
        parts.append(part);
    return archive(parts);
}

} // namespace ZipBomb
