#include "session/SubstituteMarksBackup.h"

#include "competition/Competition.h"
#include "output/SubstituteMarksFile.h"

SubstituteMarksBackup::SubstituteMarksBackup(Competition& competition, const QString& backupPath,
                                             QObject* parent)
    : QObject(parent), m_competition(competition),
      m_path(SubstituteMarksFile::companionPath(backupPath)) {
    connect(&competition, &Competition::substituteMarksChanged, this, &SubstituteMarksBackup::sync);
    CompetitionTable* table = &competition.heatStartList();
    const auto changed = [this] {
        sync();
    };
    connect(table, &QAbstractItemModel::dataChanged, this, changed);
    connect(table, &QAbstractItemModel::modelReset, this, changed);
    connect(table, &QAbstractItemModel::layoutChanged, this, changed);
    connect(table, &QAbstractItemModel::rowsInserted, this, changed);
    connect(table, &QAbstractItemModel::rowsRemoved, this, changed);
}

QString SubstituteMarksBackup::load(const QString& backupReadPath) {
    const QString readPath = SubstituteMarksFile::companionPath(backupReadPath);
    const SubstituteMarksFile::ReadResult read = SubstituteMarksFile::read(readPath);
    // The file is left as it is until the marks change: a damaged line stays there to be seen.
    if (readPath == m_path)
        m_written = SubstituteMarksFile::bytes(
            SubstituteMarksFile::shownIn(read.marks, m_competition.heatStartList()));
    m_competition.substituteMarks() = read.marks;
    Q_EMIT m_competition.substituteMarksChanged();
    return SubstituteMarksFile::damagedText(readPath, read);
}

bool SubstituteMarksBackup::sync() {
    const SubstituteMarks shown = SubstituteMarksFile::shownIn(m_competition.substituteMarks(),
                                                               m_competition.heatStartList());
    const QByteArray bytes = SubstituteMarksFile::bytes(shown);
    if (m_written == bytes)
        return true;
    const FileWriteResult result = SubstituteMarksFile::write(m_path, shown);
    if (!result) {
        m_written.reset();
        Q_EMIT writeFailed(result.message, result.reason);
        return false;
    }
    m_written = bytes;
    return true;
}
