#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Hostile zip archives for the template tests, written byte by byte: a part of many zero bytes
// is one packed mebibyte of zeros repeated, so a gigabyte costs a megabyte on disk and no time
// to make, and the size the archive declares for a part can be a lie.
namespace ZipBomb {

struct Part {
    QString name;
    QByteArray data;                     // packed as it is, unless zeros is set
    qint64 zeroMebibytes = 0;            // instead of data: this many MiB of zero bytes
    std::optional<quint32> declaredSize; // what the archive claims instead of the true size
};

QByteArray archive(const QList<Part>& parts);

// The parts of a template with one part added or replaced.
QByteArray withPart(const QByteArray& templateBytes, const Part& part);

} // namespace ZipBomb
