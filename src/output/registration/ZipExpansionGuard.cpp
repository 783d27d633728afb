#include "output/registration/ZipExpansionGuard.h"

#include <memory>
#include <zip.h>

namespace {

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

// libzip's own reason is English and names no remedy; the operator learns that the file is
// broken.
QString damaged() {
    return QStringLiteral("Das Zip-Archiv ist beschädigt.");
}

} // namespace

std::optional<QString> ZipExpansionGuard::check(const QByteArray& archive, qint64 maxUnpackedBytes,
                                                int maxEntries) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(
        archive.constData(), static_cast<zip_uint64_t>(archive.size()), 0, &error);
    std::unique_ptr<zip_t, ArchiveCloser> zip;
    if (source) {
        zip.reset(zip_open_from_source(source, ZIP_RDONLY, &error));
        if (!zip)
            zip_source_free(source);
    }
    if (!zip) {
        const QString reason = damaged();
        zip_error_fini(&error);
        return reason;
    }
    zip_error_fini(&error);

    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    if (count > maxEntries)
        return QStringLiteral("Das Zip-Archiv hat mehr als %1 Teile.").arg(maxEntries);
    qint64 unpacked = 0;
    auto buffer = std::make_unique<char[]>(65536);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_file_t* file = zip_fopen_index(zip.get(), static_cast<zip_uint64_t>(i), 0);
        if (!file)
            return damaged();
        zip_int64_t n = 0;
        while ((n = zip_fread(file, buffer.get(), 65536)) > 0) {
            unpacked += n;
            if (unpacked > maxUnpackedBytes) {
                zip_fclose(file);
                return QStringLiteral("Die Datei entpackt sich zu mehr als %1 MB; so groß ist "
                                      "keine Teilnehmerliste.")
                    .arg(maxUnpackedBytes / (1024 * 1024));
            }
        }
        const QString failure = n < 0 ? damaged() : QString();
        zip_fclose(file);
        if (!failure.isEmpty())
            return failure;
    }
    return std::nullopt;
}
