#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The parts of an office document (a zip of XML files) in their stored order, so that a
// template can be read, changed part by part and written out again as a whole. A part is
// unpacked only when it is asked for, within limits on its unpacked size, so a template
// whose parts unpack to gigabytes is refused instead of filling the memory; the parts nobody
// asked for are copied into the written archive as they were packed.
class ZipPackage {
public:
    struct Limits {
        // A part larger than this unpacked, or all of them together, is refused.
        qint64 partBytes = 32LL * 1024 * 1024;
        qint64 totalBytes = 128LL * 1024 * 1024;
        // Above the grace size a part (and the archive) may unpack to at most this multiple of
        // its packed size: XML packs well, a zip bomb packs a thousand times better.
        qint64 ratio = 100;
        qint64 ratioGraceBytes = 1024 * 1024;
        qint64 parts = 10000;
    };

    // nullopt with the reason in *error when the bytes are no readable zip or break a limit.
    static std::optional<ZipPackage> fromBytes(const QByteArray& bytes, QString* error,
                                               const Limits& limits);
    static std::optional<ZipPackage> fromBytes(const QByteArray& bytes, QString* error = nullptr);

    // The whole archive; nullopt with the reason when libzip fails or a part could not be read.
    std::optional<QByteArray> toBytes(QString* error = nullptr) const;

    // The names of the parts in their order, folders left out.
    QStringList names() const;
    bool contains(const QString& name) const { return indexOf(name) >= 0; }
    // The unpacked part; nullopt with the reason when it is missing or cannot be unpacked.
    std::optional<QByteArray> read(const QString& name, QString* error = nullptr) const;
    // The same, with an empty array for a part that is missing or cannot be unpacked; the
    // first such reason stays in error(), and the package can then no longer be written.
    QByteArray part(const QString& name) const;
    QString error() const { return m_error; }
    // Replaces the part of that name, or adds it at the end.
    void setPart(const QString& name, const QByteArray& data);
    void removePart(const QString& name);

private:
    struct Entry {
        QString name;
        qint64 index = -1; // in the source archive; -1 for an added part
        qint64 size = 0;   // unpacked, as the archive declares it
        std::optional<QByteArray> data;
        bool changed = false;
        bool removed = false;
    };

    qsizetype indexOf(const QString& name) const;
    std::optional<QByteArray> unpack(const Entry& entry, QString* error) const;

    QByteArray m_source;
    mutable QList<Entry> m_entries;
    mutable QString m_error;
};
