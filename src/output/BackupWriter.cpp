#include "output/BackupWriter.h"

#include "competition/CompetitionTable.h"
#include "output/AtomicFile.h"
#include "output/ProtocolFile.h"

#include <cerrno>

BackupWriter::BackupWriter(CompetitionTable& heatStartList, const QString& backupPath,
                           QObject* parent, FileSystem& system)
    : QObject(parent), m_table(heatStartList), m_path(backupPath), m_system(system) {
    // Direct connections: the write is done inside the change, before any view repaints.
    CompetitionTable* table = &heatStartList;
    connect(table, &QAbstractItemModel::dataChanged, this, &BackupWriter::tableChanged);
    connect(table, &QAbstractItemModel::headerDataChanged, this, &BackupWriter::tableChanged);
    connect(table, &QAbstractItemModel::modelReset, this, &BackupWriter::tableChanged);
    connect(table, &QAbstractItemModel::layoutChanged, this, &BackupWriter::tableChanged);
    connect(table, &QAbstractItemModel::rowsInserted, this, &BackupWriter::tableChanged);
    connect(table, &QAbstractItemModel::rowsRemoved, this, &BackupWriter::tableChanged);
    connect(table, &QAbstractItemModel::rowsMoved, this, &BackupWriter::tableChanged);
    connect(table, &QAbstractItemModel::columnsInserted, this, &BackupWriter::tableChanged);
    connect(table, &QAbstractItemModel::columnsRemoved, this, &BackupWriter::tableChanged);
    m_retry.setSingleShot(true);
    m_retry.setInterval(descriptorRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &BackupWriter::retry);
}

BackupWriter::Batch::Batch(BackupWriter& writer) : m_writer(writer) {
    ++m_writer.m_batchDepth;
}

BackupWriter::Batch::~Batch() {
    if (--m_writer.m_batchDepth == 0 && m_writer.m_pending)
        m_writer.saveNow();
}

void BackupWriter::tableChanged() {
    m_upToDate = false;
    m_pending = true;
    if (m_batchDepth == 0)
        saveNow();
}

bool BackupWriter::saveNow() {
    m_pending = false;
    if (m_beforeWrite)
        m_beforeWrite();
    QByteArray bytes = ProtocolFile::protocolBytes(m_table);
    if (m_trailer)
        bytes += m_trailer();
    const auto failure = AtomicFile::write(m_path, bytes, m_system);
    m_upToDate = !failure;
    m_lastError = failure ? failure->text() : QString();
    if (failure && (failure->error == EMFILE || failure->error == ENFILE))
        m_retry.start();
    Q_EMIT saved(m_upToDate);
    return m_upToDate;
}

void BackupWriter::retry() {
    if (m_upToDate)
        return;
    if (m_batchDepth > 0)
        m_pending = true;
    else
        saveNow();
}

bool BackupWriter::saveAtExit() {
    return m_upToDate || saveNow();
}
