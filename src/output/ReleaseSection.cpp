#include "output/ReleaseSection.h"

#include "competition/Windows1252.h"

#include <QStringList>

namespace ReleaseSection {

namespace {

constexpr char kEndOfFile = 0x1A;
const QByteArray kHeading = QByteArrayLiteral("[Freigabe]");

bool isFingerprint(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 128)
        return false;
    for (const char ch : text) {
        if (!((ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f')))
            return false;
    }
    return true;
}

} // namespace

QByteArray bytes(const QMap<QString, QByteArray>& released) {
    if (released.isEmpty())
        return {};
    QByteArray out(1, kEndOfFile);
    out += kHeading + "\r\n";
    for (auto it = released.cbegin(); it != released.cend(); ++it) {
        QString klass = it.key();
        klass.replace(u'\t', u' ').replace(u'\r', u' ').replace(u'\n', u' ');
        out += Windows1252::encode(klass) + '\t' + it.value() + "\r\n";
    }
    return out;
}

QMap<QString, QByteArray> parse(const QByteArray& fileBytes) {
    QMap<QString, QByteArray> released;
    const qsizetype end = fileBytes.indexOf(kEndOfFile);
    if (end < 0)
        return released;
    const QList<QByteArray> lines = fileBytes.sliced(end + 1).split('\n');
    bool inSection = false;
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!inSection) {
            inSection = line.trimmed() == kHeading;
            continue;
        }
        const qsizetype tab = line.lastIndexOf('\t');
        if (tab <= 0)
            continue;
        const QByteArray fingerprint = line.sliced(tab + 1).trimmed();
        const QString klass = Windows1252::decode(line.first(tab)).trimmed();
        if (!klass.isEmpty() && isFingerprint(fingerprint))
            released.insert(klass, fingerprint);
    }
    return released;
}

} // namespace ReleaseSection
