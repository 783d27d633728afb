#include "journal/JournalReader.h"

#include "journal/JournalLineFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

JournalReader::Result JournalReader::readFile(const QString& path) {
    Result result;
    if (!QFileInfo::exists(path))
        return result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.fileExists = true;
        result.error = file.errorString();
        return result;
    }
    result = readBytes(file.readAll());
    result.fileExists = true;
    return result;
}

JournalReader::Result JournalReader::readBytes(const QByteArray& bytes) {
    Result result;
    const QString header = JournalLineFormat::header();
    qsizetype begin = 0;
    while (begin < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', begin);
        // Without its line break the line was cut while it was written.
        if (end < 0) {
            ++result.skippedLines;
            break;
        }
        const QByteArray raw = bytes.mid(begin, end - begin);
        begin = end + 1;
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString line = decoder(raw);
        if (decoder.hasError()) {
            ++result.skippedLines;
            continue;
        }
        if (line.isEmpty() || line == header || line == header + u'\r')
            continue;
        if (auto entry = JournalLineFormat::parse(line))
            result.entries.append(std::move(*entry));
        else
            ++result.skippedLines;
    }
    return result;
}
