#include "FileBytes.h"

#include <QFile>

namespace FileBytes {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray twoCompetitorBackup() {
    return "Nr.\tName\tVorname\tVerein/Ort\tKl.\tMeister\tZeit1\tZeit2\tZeit3\tZeit4\tZeit5\t\r\n"
           "1\tM\xFCller\tAnna\tSV Nord\t1\t+\t1024\t1100\t1200\t \t \t\r\n"
           "2\tMeier\tBernd\tTV S\xFC"
           "d\t2\t \t2000\t2100\t2050\t \t \t\r\n";
}

} // namespace FileBytes
