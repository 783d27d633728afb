#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Unpacks every entry of a zip archive into nothing, counting the bytes that really come out,
// before the archive is read into memory. libzip trusts the sizes the archive declares only for
// its statistics, not while unpacking, so a small file that unpacks to gigabytes is caught here
// by what it yields, whatever it claims.
class ZipExpansionGuard {
public:
    // nullopt when the archive stays within the import limits, else the reason for the operator.
    static std::optional<QString> check(const QByteArray& archive, qint64 maxUnpackedBytes,
                                        int maxEntries);
};
