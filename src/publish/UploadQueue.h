#pragma once

#include "live/LiveStaticSite.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// What the web host is still to get, kept in a folder so that it survives a lost connection and
// a restart: the files of the newest round that differ from what the host confirmed having, in
// the order they go up (state.json after the pages it needs), and the files the host should no
// longer have. A newer round replaces what was pending whole, so nothing older is ever sent after
// something newer. Every file is written atomically; a torn write leaves the earlier state.
// Used by one thread at a time.
class UploadQueue {
public:
    struct Step {
        enum class Kind { Put, Remove };
        Kind kind = Kind::Put;
        QString name;
        QByteArray bytes;
    };

    explicit UploadQueue(QString folder);

    // Reads what an earlier run left in the folder; an unreadable queue starts empty.
    void load();
    // Names the site's run in state.json; the same for as long as the folder is kept.
    QByteArray epoch() const { return m_epoch; }
    // The number of the newest round taken; the next one gets a higher one.
    qint64 lastRound() const { return m_round; }
    QString folder() const { return m_folder; }

    // A newer round of the whole site: false when it could not be written to the folder (it is
    // pending all the same, until the program ends).
    bool replace(qint64 round, const QList<LiveStaticSite::File>& files);
    bool isEmpty() const { return m_pending.isEmpty(); }
    const QList<Step>& pending() const { return m_pending; }
    // The host confirmed the first pending step.
    void confirmFirst();
    // The hash of the host's copy of a file; empty when it has none from us.
    QByteArray hostedHash(const QString& name) const { return m_hosted.value(name); }

    static QByteArray hashOf(const QByteArray& bytes);

private:
    QString roundFolder(qint64 round) const;
    bool writePending();
    bool writeHosted();
    void removeRoundFolders(qint64 except);

    QString m_folder;
    QByteArray m_epoch;
    qint64 m_round = 0;
    QMap<QString, QByteArray> m_hosted;
    QList<Step> m_pending;
};
