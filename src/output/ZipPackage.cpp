#include "output/ZipPackage.h"

#include <zip.h>

namespace {

QString errorText(zip_error_t* error) {
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

void setError(QString* target, const QString& text) {
    if (target)
        *target = text;
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
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(
        bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &zipError);
    if (!source) {
        setError(error, errorText(&zipError));
        zip_error_fini(&zipError);
        return std::nullopt;
    }
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &zipError);
    if (!archive) {
        setError(error, errorText(&zipError));
        zip_source_free(source);
        zip_error_fini(&zipError);
        return std::nullopt;
    }
    zip_error_fini(&zipError);

    ZipPackage package;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        zip_stat_init(&stat);
        zip_file_t* file = nullptr;
        if (zip_stat_index(archive, index, 0, &stat) == 0)
            file = zip_fopen_index(archive, index, 0);
        if (!file) {
            setError(error, errorText(zip_get_error(archive)));
            zip_discard(archive);
            return std::nullopt;
        }
        Part part{QString::fromUtf8(stat.name), QByteArray()};
        char buffer[65536];
        zip_int64_t n = 0;
        while ((n = zip_fread(file, buffer, sizeof buffer)) > 0)
            part.data.append(buffer, static_cast<qsizetype>(n));
        const bool failed = n < 0;
        if (failed)
            setError(error, errorText(zip_file_get_error(file)));
        zip_fclose(file);
        if (failed) {
            zip_discard(archive);
            return std::nullopt;
        }
        // Folder entries carry no content of their own.
        if (!part.name.endsWith(u'/'))
            package.m_parts.append(part);
    }
    zip_discard(archive);
    return package;
}

std::optional<QByteArray> ZipPackage::toBytes(QString* error) const {
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    if (!target) {
        setError(error, errorText(&zipError));
        zip_error_fini(&zipError);
        return std::nullopt;
    }
    // The archive frees its source when closed; the bytes are read from it afterwards.
    zip_source_keep(target);
    zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &zipError);
    zip_error_fini(&zipError);
    if (!archive) {
        setError(error, QStringLiteral("zip"));
        zip_source_free(target);
        return std::nullopt;
    }
    for (const Part& part : m_parts) {
        zip_source_t* data = zip_source_buffer(archive, part.data.constData(),
                                               static_cast<zip_uint64_t>(part.data.size()), 0);
        const QByteArray name = part.name.toUtf8();
        if (!data || zip_file_add(archive, name.constData(), data, ZIP_FL_ENC_UTF_8) < 0) {
            if (data)
                zip_source_free(data);
            setError(error, errorText(zip_get_error(archive)));
            zip_discard(archive);
            zip_source_free(target);
            return std::nullopt;
        }
    }
    if (zip_close(archive) < 0) {
        setError(error, errorText(zip_get_error(archive)));
        zip_discard(archive);
        zip_source_free(target);
        return std::nullopt;
    }
    auto bytes = sourceBytes(target, error);
    zip_source_free(target);
    return bytes;
}

QByteArray ZipPackage::part(const QString& name) const {
    const qsizetype i = indexOf(name);
    return i >= 0 ? m_parts.at(i).data : QByteArray();
}

void ZipPackage::setPart(const QString& name, const QByteArray& data) {
    const qsizetype i = indexOf(name);
    if (i >= 0)
        m_parts[i].data = data;
    else
        m_parts.append(Part{name, data});
}

void ZipPackage::removePart(const QString& name) {
    const qsizetype i = indexOf(name);
    if (i >= 0)
        m_parts.removeAt(i);
}

qsizetype ZipPackage::indexOf(const QString& name) const {
    for (qsizetype i = 0; i < m_parts.size(); ++i) {
        if (m_parts.at(i).name == name)
            return i;
    }
    return -1;
}
