#include "journal/JournalReader.h"

#include "journal/JournalLineFormat.h"
#include "platform/RegularFile.h"

#include <QStringDecoder>

JournalReader::Result JournalReader::readFile(const QString& path) {
    Result result;
    const RegularFile::Content content = RegularFile::read(path, maxWholeFileBytes);
    switch (content.status) {
    case RegularFile::Status::Missing:
        return result;
    case RegularFile::Status::Read:
        result = readBytes(content.bytes);
        break;
    case RegularFile::Status::NotRegular:
        result.error = notRegularText();
        break;
    case RegularFile::Status::TooLarge:
        result.error = QStringLiteral("zu groß");
        break;
    case RegularFile::Status::Failed:
        result.error = QStringLiteral("nicht lesbar");
        break;
    }
    result.fileExists = true;
    return result;
}

JournalReader::Result JournalReader::readBytes(const QByteArray& bytes) {
    Result result;
    qsizetype begin = 0;
    while (begin < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', begin);
        // Without its line break the line was cut while it was written.
        if (end < 0) {
            ++result.skippedLines;
            break;
        }
        bool damaged = false;
        auto entry = lineEntry(QByteArrayView(bytes).sliced(begin, end - begin), damaged);
        begin = end + 1;
        if (entry)
            result.entries.append(std::move(*entry));
        else if (damaged)
            ++result.skippedLines;
    }
    return result;
}

std::optional<JournalEntry> JournalReader::lineEntry(QByteArrayView raw, bool& damaged) {
    damaged = false;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString line = decoder(raw);
    if (decoder.hasError()) {
        damaged = true;
        return std::nullopt;
    }
    static const QString header = JournalLineFormat::header();
    if (line.isEmpty() || line == header || line == header + u'\r')
        return std::nullopt;
    auto entry = JournalLineFormat::parse(line);
    damaged = !entry;
    return entry;
}
