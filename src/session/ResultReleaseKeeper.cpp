#include "session/ResultReleaseKeeper.h"

#include "competition/Competition.h"
#include "output/BackupWriter.h"
#include "output/ReleaseSection.h"

namespace {

QString classList(const QStringList& classes) {
    return (classes.size() == 1 ? QStringLiteral("Klasse ") : QStringLiteral("Klassen ")) +
           classes.join(QStringLiteral(", "));
}

} // namespace

ResultReleaseKeeper::ResultReleaseKeeper(Competition& competition, QObject* parent)
    : QObject(parent), m_competition(competition) {
    updateMarks();
    CompetitionTable* table = &competition.heatStartList();
    // Direct connections: a change reopens its class before anything reads the state again.
    const auto changed = [this] {
        tableChanged();
    };
    connect(table, &QAbstractItemModel::dataChanged, this, changed);
    connect(table, &QAbstractItemModel::modelReset, this, changed);
    connect(table, &QAbstractItemModel::layoutChanged, this, changed);
    connect(table, &QAbstractItemModel::rowsInserted, this, changed);
    connect(table, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(table, &QAbstractItemModel::headerDataChanged, this, changed);
}

void ResultReleaseKeeper::setBackup(BackupWriter* backup) {
    m_backup = backup;
    if (m_backup)
        m_backup->setTrailer([this] { return trailer(); });
}

QByteArray ResultReleaseKeeper::trailer() const {
    return ReleaseSection::bytes(m_competition.release().entries());
}

void ResultReleaseKeeper::restore(const QByteArray& trailer) {
    ResultRelease& release = m_competition.release();
    release.setEntries(ReleaseSection::parse(trailer));
    const QStringList reopened = release.reopenChanged(m_competition.heatStartList());
    QStringList texts;
    for (const QString& klass : reopened) {
        texts.append(reopenedText(klass));
        journal(texts.last(), QString());
        Q_EMIT notice(texts.last());
    }
    m_restoreNotice = texts.join(QStringLiteral("; "));
    // The file holds the release as it was read; only a class found changed is written anew.
    if (!reopened.isEmpty() && m_backup && !m_backup->savePending())
        m_backup->saveNow();
    updateMarks();
    Q_EMIT m_competition.releaseChanged();
}

QStringList ResultReleaseKeeper::release(const QStringList& classes) {
    const QStringList released =
        m_competition.release().release(m_competition.heatStartList(), classes);
    if (!released.isEmpty()) {
        journal(QStringLiteral("Ergebnisse freigegeben"),
                classList(released) + QStringLiteral(" offiziell"));
        changed();
    }
    return released;
}

QStringList ResultReleaseKeeper::preliminaryClasses() const {
    QStringList classes;
    for (const ResultRelease::ClassState& state :
         m_competition.release().classes(m_competition.heatStartList())) {
        if (state.hasResults && !state.released)
            classes.append(state.klass);
    }
    return classes;
}

QString ResultReleaseKeeper::certificateRefusal(const QStringList& classes) {
    return QStringLiteral("Keine Urkunden: die Ergebnisse der ") + classList(classes) +
           QStringLiteral(" sind noch vorläufig. Urkunden gibt es erst nach der Freigabe "
                          "(Einstellung „Urkunden erst nach Freigabe“).");
}

QString ResultReleaseKeeper::releaseQuestion(const QStringList& classes) {
    return QStringLiteral("Ergebnisse der ") + classList(classes) +
           QStringLiteral(" als offiziell freigeben?");
}

QString ResultReleaseKeeper::withdrawQuestion(const QStringList& classes) {
    return QStringLiteral("Freigabe der ") + classList(classes) +
           QStringLiteral(" zurücknehmen? Die Ergebnisse gelten dann wieder als vorläufig.");
}

QStringList ResultReleaseKeeper::releaseAll() {
    QStringList all;
    for (const ResultRelease::ClassState& state :
         m_competition.release().classes(m_competition.heatStartList()))
        all.append(state.klass);
    return release(all);
}

QStringList ResultReleaseKeeper::withdraw(const QStringList& classes) {
    const QStringList taken = m_competition.release().withdraw(classes);
    if (!taken.isEmpty()) {
        journal(QStringLiteral("Freigabe zurückgenommen"),
                classList(taken) + QStringLiteral(" wieder vorläufig"));
        changed();
    }
    return taken;
}

void ResultReleaseKeeper::clear() {
    if (m_competition.release().isEmpty())
        return;
    m_competition.release().clear();
    changed();
}

void ResultReleaseKeeper::tableChanged() {
    const QStringList reopened =
        m_competition.release().reopenChanged(m_competition.heatStartList());
    for (const QString& klass : reopened) {
        journal(reopenedText(klass), QString());
        Q_EMIT notice(reopenedText(klass));
    }
    if (!reopened.isEmpty())
        changed();
    else
        updateMarks();
}

void ResultReleaseKeeper::changed() {
    // Inside a batch the backup is written once at its end, and asks for the trailer then.
    if (m_backup && !m_backup->savePending())
        m_backup->saveNow();
    updateMarks();
    Q_EMIT m_competition.releaseChanged();
}

void ResultReleaseKeeper::updateMarks() {
    const QString text = m_competition.releaseText();
    for (int page = 0; page < 4; ++page)
        m_competition.stageTable(page).printOptions().releaseText = text;
    m_competition.teams().printOptions().releaseText = text;
}

void ResultReleaseKeeper::journal(const QString& name, const QString& remark) {
    if (m_note)
        m_note(name, remark);
}
