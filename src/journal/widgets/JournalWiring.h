#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class Competition;
class JournalDialog;
class JournalInputSource;
class JournalRecorder;
class JournalWriter;
class QWidget;

// Puts the session's impulse journal into a window: which input an impulse came from, the
// commands it names, and "Zeitprotokoll...". The dialog reads back as far as it is scrolled.
class JournalWiring : public QObject {
    Q_OBJECT
public:
    // What the dialog needs of the window it belongs to.
    struct Window {
        QWidget& widget;
        std::function<int()> activePage;
        std::function<QString(int page)> tabText;
        // True for "Ja".
        std::function<bool(const QString& question)> ask;
        // Into the selected row of the active stage, as "Eintragen" does.
        std::function<void(qint32 runTimeMs)> enterResult;
    };

    JournalWiring(JournalRecorder& recorder, JournalWriter& writer, int skippedLines,
                  Competition& competition, Window window);
    ~JournalWiring() override;

    // A substitute or hand time for the run begun at startStamp, its dialog over `over`.
    using Substitute = std::function<void(qint64 startStamp, bool handTime, QWidget* over)>;
    // Offers "Ersatzzeit berechnen..." and "Handzeit eintragen..." in the dialog, for the runs
    // refusal has no objection to.
    void setSubstitute(Substitute substitute, std::function<QString(qint64 startStamp)> refusal) {
        m_substitute = std::move(substitute);
        m_refusal = std::move(refusal);
    }
    // The open dialog asks the refusal again, as what it depends on has changed.
    void refreshSubstitute();

    JournalRecorder& recorder() { return *m_recorder; }
    JournalWriter& writer() { return *m_writer; }
    // Damaged lines at the end of today's journal, as start-up found them.
    int skippedLines() const { return m_skipped; }
    // The open "Zeitprotokoll" dialog, if any.
    JournalDialog* dialog() const;

    // "Zeitprotokoll..."
    void showDialog();
    // A command that changes the heat start list at once, named as its menu entry.
    void commandChosen(const QString& name);
    // The dialog's "Eintragen".
    void enterFromJournal(qint64 startStamp, qint64 stopStamp);

private:
    void describeTarget();

    Competition& m_competition;
    Window m_window;
    JournalWriter* m_writer = nullptr;
    JournalRecorder* m_recorder = nullptr;
    JournalInputSource* m_input = nullptr;
    int m_skipped = 0;
    QPointer<JournalDialog> m_dialog;
    Substitute m_substitute;
    std::function<QString(qint64 startStamp)> m_refusal;
};
