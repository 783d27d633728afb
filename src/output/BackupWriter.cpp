#include "output/BackupWriter.h"

#include "competition/TSortGrid.h"
#include "output/ProtocolFile.h"

BackupWriter::BackupWriter(TSortGrid& heatStartList, const QString& backupPath, QObject* parent)
    : QObject(parent), m_table(heatStartList), m_path(backupPath) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &BackupWriter::saveNow);

    TSortGrid* table = &heatStartList;
    connect(table, &QAbstractItemModel::dataChanged, this, &BackupWriter::scheduleSave);
    connect(table, &QAbstractItemModel::headerDataChanged, this, &BackupWriter::scheduleSave);
    connect(table, &QAbstractItemModel::modelReset, this, &BackupWriter::scheduleSave);
    connect(table, &QAbstractItemModel::layoutChanged, this, &BackupWriter::scheduleSave);
    connect(table, &QAbstractItemModel::rowsInserted, this, &BackupWriter::scheduleSave);
    connect(table, &QAbstractItemModel::rowsRemoved, this, &BackupWriter::scheduleSave);
    connect(table, &QAbstractItemModel::rowsMoved, this, &BackupWriter::scheduleSave);
    connect(table, &QAbstractItemModel::columnsInserted, this, &BackupWriter::scheduleSave);
    connect(table, &QAbstractItemModel::columnsRemoved, this, &BackupWriter::scheduleSave);
    connect(table, &QObject::destroyed, &m_timer, &QTimer::stop);
}

BackupWriter::~BackupWriter() {
    if (m_timer.isActive())
        saveNow();
}

void BackupWriter::scheduleSave() {
    m_keepExisting = false;
    if (!m_timer.isActive())
        m_timer.start();
}

bool BackupWriter::saveNow() {
    m_timer.stop();
    const FileWriteResult result = ProtocolFile::SaveProtocolText(m_table, m_path);
    m_lastError = result.ok ? QString() : result.reason;
    Q_EMIT saved(result.ok);
    return result.ok;
}

bool BackupWriter::saveAtExit() {
    return m_keepExisting || saveNow();
}
