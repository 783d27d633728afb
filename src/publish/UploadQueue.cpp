#include "publish/UploadQueue.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSaveFile>

namespace {

const QString kPendingFile = QStringLiteral("warteschlange.json");
const QString kHostedFile = QStringLiteral("hochgeladen.json");
const QString kRoundPrefix = QStringLiteral("runde-");
// A queue file bigger than this is not one of ours.
constexpr qint64 kMaxIndexBytes = 1 << 20;

bool writeAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QJsonObject readObject(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxIndexBytes)
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// A name the queue wrote itself: no folder, nothing hidden.
bool plainName(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') &&
           !name.startsWith(u'.');
}

} // namespace

UploadQueue::UploadQueue(QString folder) : m_folder(std::move(folder)) {
    if (!m_folder.endsWith(u'/'))
        m_folder += u'/';
}

QByteArray UploadQueue::hashOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QString UploadQueue::roundFolder(qint64 round) const {
    return m_folder + kRoundPrefix + QString::number(round) + u'/';
}

void UploadQueue::load() {
    QDir().mkpath(m_folder);
    const QJsonObject hosted = readObject(m_folder + kHostedFile);
    m_epoch = hosted.value(QStringLiteral("epoch")).toString().toLatin1();
    const QJsonObject files = hosted.value(QStringLiteral("files")).toObject();
    for (auto it = files.begin(); it != files.end(); ++it)
        if (plainName(it.key()))
            m_hosted.insert(it.key(), it.value().toString().toLatin1());
    if (m_epoch.isEmpty()) {
        m_epoch = QByteArray::number(QRandomGenerator::system()->generate64(), 36);
        writeHosted();
    }
    const QJsonObject pending = readObject(m_folder + kPendingFile);
    m_round = qMax<qint64>(0, pending.value(QStringLiteral("round")).toInteger());
    m_pending.clear();
    const QString folder = roundFolder(m_round);
    for (const QJsonValue& value : pending.value(QStringLiteral("put")).toArray()) {
        const QString name = value.toString();
        QFile file(folder + name);
        if (!plainName(name) || !file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        // Sent already before the program ended, only not yet taken off the queue.
        if (hashOf(bytes) != m_hosted.value(name))
            m_pending.append({Step::Kind::Put, name, bytes});
    }
    for (const QJsonValue& value : pending.value(QStringLiteral("remove")).toArray()) {
        const QString name = value.toString();
        if (plainName(name) && m_hosted.contains(name))
            m_pending.append({Step::Kind::Remove, name, {}});
    }
}

bool UploadQueue::replace(qint64 round, const QList<LiveStaticSite::File>& files) {
    m_round = qMax(m_round, round);
    m_pending.clear();
    QStringList names;
    for (const LiveStaticSite::File& file : files) {
        names << file.name;
        if (hashOf(file.bytes) != m_hosted.value(file.name))
            m_pending.append({Step::Kind::Put, file.name, file.bytes});
    }
    for (auto it = m_hosted.cbegin(); it != m_hosted.cend(); ++it)
        if (!names.contains(it.key()))
            m_pending.append({Step::Kind::Remove, it.key(), {}});
    return writePending();
}

bool UploadQueue::writePending() {
    bool written = true;
    QJsonArray put;
    QJsonArray remove;
    if (!m_pending.isEmpty()) {
        const QString folder = roundFolder(m_round);
        written = QDir().mkpath(folder);
        for (const Step& step : std::as_const(m_pending)) {
            if (step.kind == Step::Kind::Remove) {
                remove.append(step.name);
                continue;
            }
            put.append(step.name);
            written = written && writeAtomically(folder + step.name, step.bytes);
        }
    }
    // The index names the round only once all its files are there.
    const QJsonObject index{{QStringLiteral("round"), m_round},
                            {QStringLiteral("put"), put},
                            {QStringLiteral("remove"), remove}};
    written = written && writeAtomically(m_folder + kPendingFile, QJsonDocument(index).toJson());
    if (written)
        removeRoundFolders(m_pending.isEmpty() ? -1 : m_round);
    return written;
}

bool UploadQueue::writeHosted() {
    QJsonObject files;
    for (auto it = m_hosted.cbegin(); it != m_hosted.cend(); ++it)
        files.insert(it.key(), QString::fromLatin1(it.value()));
    const QJsonObject hosted{{QStringLiteral("epoch"), QString::fromLatin1(m_epoch)},
                             {QStringLiteral("files"), files}};
    return writeAtomically(m_folder + kHostedFile, QJsonDocument(hosted).toJson());
}

void UploadQueue::removeRoundFolders(qint64 except) {
    const QDir dir(m_folder);
    for (const QString& name :
         dir.entryList({kRoundPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (name != kRoundPrefix + QString::number(except))
            QDir(m_folder + name).removeRecursively();
    }
}

void UploadQueue::confirmFirst() {
    if (m_pending.isEmpty())
        return;
    const Step step = m_pending.takeFirst();
    if (step.kind == Step::Kind::Put)
        m_hosted.insert(step.name, hashOf(step.bytes));
    else
        m_hosted.remove(step.name);
    writeHosted();
    if (m_pending.isEmpty())
        writePending();
}
