#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The parts of an office document (a zip of XML files) held in memory in their stored order, so
// that a template can be read, changed part by part and written out again as a whole.
class ZipPackage {
public:
    struct Part {
        QString name;
        QByteArray data;
    };

    // nullopt with the reason in *error when the bytes are no readable zip.
    static std::optional<ZipPackage> fromBytes(const QByteArray& bytes, QString* error = nullptr);

    // The whole archive, compressed; nullopt with the reason when libzip fails.
    std::optional<QByteArray> toBytes(QString* error = nullptr) const;

    const QList<Part>& parts() const { return m_parts; }
    bool contains(const QString& name) const { return indexOf(name) >= 0; }
    // An empty array for a part that is not there.
    QByteArray part(const QString& name) const;
    // Replaces the part of that name, or adds it at the end.
    void setPart(const QString& name, const QByteArray& data);
    void removePart(const QString& name);

private:
    qsizetype indexOf(const QString& name) const;

    QList<Part> m_parts;
};
