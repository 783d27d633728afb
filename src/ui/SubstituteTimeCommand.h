#pragma once

#include <QObject>

class FileDialogs;
class JournalRecorder;
class QAction;
class TFormMain;

// "Ersatzzeit berechnen...": for the stopped run waiting for its entry, whose stop barrier
// gave no time, the substitute from System B (or a hand time) and the runs around it; entered
// into the competitor's cell in place of the key's stop time once the operator confirms, and
// journaled with its calculation.
class SubstituteTimeCommand : public QObject {
    Q_OBJECT
public:
    // With handTime the operator types the run's time ("Handzeit eintragen..."); without, System
    // B's time is taken where there is one ("Ersatzzeit berechnen...").
    SubstituteTimeCommand(TFormMain& window, FileDialogs& fileDialogs, QAction& action,
                          JournalRecorder& recorder, bool handTime, QObject* parent = nullptr);

    static QString needsStoppedRunHint() {
        return QStringLiteral("Erst den Lauf stoppen: die Ersatzzeit gilt dem gestoppten Lauf");
    }

    void execute();

private:
    void updateEnabled();

    TFormMain& m_window;
    FileDialogs& m_fileDialogs;
    QAction& m_action;
    JournalRecorder& m_recorder;
    bool m_handTime;
};
