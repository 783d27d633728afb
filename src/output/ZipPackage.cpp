#include "output/ZipPackage.h"

#include <limits>
#include <zip.h>

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;

QString errorText(zip_error_t* error) {
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

void setError(QString* target, const QString& text) {
    if (target)
        *target = text;
}

QString megabytes(qint64 bytes) {
    return QString::number((bytes + kMegabyte - 1) / kMegabyte);
}

qint64 clamped(zip_uint64_t value) {
    const auto largest = static_cast<zip_uint64_t>(std::numeric_limits<qint64>::max());
    return static_cast<qint64>(value > largest ? largest : value);
}

// Whether unpacked bytes from packed bytes pack better than any office file does.
bool packsTooWell(qint64 unpacked, qint64 packed, const ZipPackage::Limits& limits) {
    return unpacked > limits.ratioGraceBytes && (unpacked - 1) / limits.ratio >= packed;
}

// Opens the archive held in bytes, which must outlive it.
zip_t* openArchive(const QByteArray& bytes, QString* error) {
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(
        bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &zipError);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &zipError) : nullptr;
    if (!archive) {
        setError(error, errorText(&zipError));
        if (source)
            zip_source_free(source);
    }
    zip_error_fini(&zipError);
    return archive;
}

// Reads the finished archive back out of libzip's memory source.
std::optional<QByteArray> sourceBytes(zip_source_t* source, QString* error) {
    if (zip_source_open(source) < 0) {
        setError(error, errorText(zip_source_error(source)));
        return std::nullopt;
    }
    QByteArray bytes;
    char buffer[65536];
    zip_int64_t n = 0;
    while ((n = zip_source_read(source, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, static_cast<qsizetype>(n));
    const bool failed = n < 0;
    if (failed)
        setError(error, errorText(zip_source_error(source)));
    zip_source_close(source);
    if (failed)
        return std::nullopt;
    return bytes;
}

} // namespace

std::optional<ZipPackage> ZipPackage::fromBytes(const QByteArray& bytes, QString* error) {
    return fromBytes(bytes, error, Limits());
}

std::optional<ZipPackage> ZipPackage::fromBytes(const QByteArray& bytes, QString* error,
                                                const Limits& limits) {
    zip_t* archive = openArchive(bytes, error);
    if (!archive)
        return std::nullopt;
    const auto refuse = [archive, error](const QString& reason) {
        setError(error, reason);
        zip_discard(archive);
        return std::nullopt;
    };
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count > limits.parts)
        return refuse(QStringLiteral("das Archiv hat %1 Teile (erlaubt sind %2)")
                          .arg(count)
                          .arg(limits.parts));

    ZipPackage package;
    package.m_source = bytes;
    qint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0 ||
            !(stat.valid & ZIP_STAT_NAME))
            return refuse(errorText(zip_get_error(archive)));
        Entry entry;
        entry.name = QString::fromUtf8(stat.name);
        entry.index = i;
        entry.size = (stat.valid & ZIP_STAT_SIZE) ? clamped(stat.size) : 0;
        const qint64 packed = (stat.valid & ZIP_STAT_COMP_SIZE) ? clamped(stat.comp_size) : 0;
        if (entry.size > limits.partBytes)
            return refuse(
                QStringLiteral("der Teil %1 wäre entpackt %2 MB groß (erlaubt sind %3 MB)")
                    .arg(entry.name, megabytes(entry.size), megabytes(limits.partBytes)));
        if (packsTooWell(entry.size, packed, limits))
            return refuse(QStringLiteral("der Teil %1 wäre entpackt mehr als %2-mal so groß wie "
                                         "gepackt")
                              .arg(entry.name)
                              .arg(limits.ratio));
        total += entry.size;
        package.m_entries.append(entry);
    }
    if (total > limits.totalBytes)
        return refuse(QStringLiteral("die Teile wären entpackt zusammen %1 MB groß (erlaubt sind "
                                     "%2 MB)")
                          .arg(megabytes(total), megabytes(limits.totalBytes)));
    if (packsTooWell(total, bytes.size(), limits))
        return refuse(QStringLiteral("die Teile wären entpackt mehr als %1-mal so groß wie das "
                                     "Archiv")
                          .arg(limits.ratio));
    zip_discard(archive);
    return package;
}

std::optional<QByteArray> ZipPackage::unpack(const Entry& entry, QString* error) const {
    zip_t* archive = openArchive(m_source, error);
    if (!archive)
        return std::nullopt;
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(entry.index), 0);
    if (!file) {
        setError(error, errorText(zip_get_error(archive)));
        zip_discard(archive);
        return std::nullopt;
    }
    // The declared size was checked against the limits; one byte more than it is a lie
    // and ends the unpacking there.
    QByteArray data;
    data.reserve(static_cast<qsizetype>(entry.size));
    char buffer[65536];
    QString failure;
    for (;;) {
        const qint64 wanted = qMin<qint64>(sizeof buffer, entry.size + 1 - data.size());
        const zip_int64_t n = zip_fread(file, buffer, static_cast<zip_uint64_t>(wanted));
        if (n < 0)
            failure = errorText(zip_file_get_error(file));
        if (n <= 0)
            break;
        data.append(buffer, static_cast<qsizetype>(n));
        if (data.size() > entry.size) {
            failure =
                QStringLiteral("der Teil %1 ist entpackt größer als angegeben").arg(entry.name);
            break;
        }
    }
    zip_fclose(file);
    zip_discard(archive);
    if (!failure.isEmpty()) {
        setError(error, failure);
        return std::nullopt;
    }
    return data;
}

std::optional<QByteArray> ZipPackage::toBytes(QString* error) const {
    if (!m_error.isEmpty()) {
        setError(error, m_error);
        return std::nullopt;
    }
    // The parts left as they were are copied packed from the template, never unpacked.
    zip_t* original = nullptr;
    if (!m_source.isEmpty() && !(original = openArchive(m_source, error)))
        return std::nullopt;
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    zip_t* archive = nullptr;
    if (target) {
        // The archive frees its source when closed; the bytes are read from it afterwards.
        zip_source_keep(target);
        archive = zip_open_from_source(target, ZIP_TRUNCATE, &zipError);
    }
    if (!archive) {
        setError(error, errorText(&zipError));
        zip_error_fini(&zipError);
        if (target)
            zip_source_free(target);
        if (original)
            zip_discard(original);
        return std::nullopt;
    }
    zip_error_fini(&zipError);
    bool ok = true;
    for (const Entry& entry : m_entries) {
        if (entry.removed)
            continue;
        zip_source_t* data =
            entry.changed
                ? zip_source_buffer(archive, entry.data->constData(),
                                    static_cast<zip_uint64_t>(entry.data->size()), 0)
                : zip_source_zip(archive, original, static_cast<zip_uint64_t>(entry.index),
                                 ZIP_FL_COMPRESSED, 0, 0);
        const QByteArray name = entry.name.toUtf8();
        if (!data || zip_file_add(archive, name.constData(), data, ZIP_FL_ENC_UTF_8) < 0) {
            if (data)
                zip_source_free(data);
            ok = false;
            break;
        }
    }
    if (ok && zip_close(archive) < 0)
        ok = false;
    if (!ok) {
        setError(error, errorText(zip_get_error(archive)));
        zip_discard(archive);
    }
    std::optional<QByteArray> bytes = ok ? sourceBytes(target, error) : std::nullopt;
    zip_source_free(target);
    if (original)
        zip_discard(original);
    return bytes;
}

QStringList ZipPackage::names() const {
    QStringList result;
    for (const Entry& entry : m_entries)
        if (!entry.removed && !entry.name.endsWith(u'/'))
            result.append(entry.name);
    return result;
}

std::optional<QByteArray> ZipPackage::read(const QString& name, QString* error) const {
    const qsizetype i = indexOf(name);
    if (i < 0) {
        setError(error, QStringLiteral("der Teil %1 fehlt").arg(name));
        return std::nullopt;
    }
    Entry& entry = m_entries[i];
    if (!entry.data)
        entry.data = unpack(entry, error);
    return entry.data;
}

QByteArray ZipPackage::part(const QString& name) const {
    if (!contains(name))
        return QByteArray();
    QString reason;
    const auto data = read(name, &reason);
    if (!data && m_error.isEmpty())
        m_error = reason;
    return data.value_or(QByteArray());
}

void ZipPackage::setPart(const QString& name, const QByteArray& data) {
    // A part removed and set again replaces the stored one.
    for (Entry& entry : m_entries) {
        if (entry.name == name) {
            entry.data = data;
            entry.changed = true;
            entry.removed = false;
            return;
        }
    }
    Entry entry;
    entry.name = name;
    entry.data = data;
    entry.changed = true;
    m_entries.append(entry);
}

void ZipPackage::removePart(const QString& name) {
    const qsizetype i = indexOf(name);
    if (i < 0)
        return;
    if (m_entries[i].index >= 0)
        m_entries[i].removed = true;
    else
        m_entries.removeAt(i);
}

qsizetype ZipPackage::indexOf(const QString& name) const {
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (!m_entries.at(i).removed && m_entries.at(i).name == name)
            return i;
    }
    return -1;
}
