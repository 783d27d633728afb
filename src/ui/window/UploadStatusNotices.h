#pragma once

#include <QElapsedTimer>
#include <QObject>

class MainStatusBar;
class RaceSession;

// The web upload in the status bar: the last upload as a notice ("Hochgeladen 14:03:12"), a
// failure in red with its reason until a round goes up again or the upload is switched off.
// While uploads go on, a new notice follows when the one before has gone.
class UploadStatusNotices : public QObject {
    Q_OBJECT
public:
    UploadStatusNotices(RaceSession& session, MainStatusBar& statusBar, QObject* parent = nullptr);

    // The topic of the red panel the failures stand under.
    static QString topic() { return QStringLiteral("Webspace"); }
    static constexpr int NoticeMs = 10000;

private:
    void show(const QString& text, bool failing);

    MainStatusBar& m_statusBar;
    // A round goes up every few seconds: one notice stands at a time, not a pile of them.
    QElapsedTimer m_shown;
};
