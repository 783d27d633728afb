#pragma once

#include "mock/FakeSerialSystem.h"
#include "mock/FakeTickSource.h"
#include "mock/WindowFixture.h"

#include <QString>
#include <QStringList>
#include <memory>

class QLabel;
class MainWindow;
enum class DisplayRow;

// A main window on a hand-moved clock, shown and active so its keys reach the commands, with
// a fake serial system on the same clock. Steps are written the way an operator acts.
class TimingWindowFixture {
public:
    // The window starts up with the settings of a first start ("Timer" 10 s, "Len" 50 m, no
    // port). A device added here before start-up is found by the port scan.
    explicit TimingWindowFixture(const QString& devicePath = QString());
    ~TimingWindowFixture();

    MainWindow& window() { return *m_window; }
    // Shutdown as at the end of the program.
    void destroyWindow() { m_window.reset(); }
    FakeTickSource& ticks() { return *m_ticks; }
    FakeSerialSystem& serial() { return *m_serial; }
    std::shared_ptr<FakeLineDevice> device() { return m_device; }
    ScriptedAnswers& answers() { return m_answers; }
    const InstallationFixture& install() const { return m_install; }

    // Runs the steps in order: "F4" to "F12" press that key on the window, "+n" moves the
    // clock on by n ms and lets the 10 ms tick show it, "press:<button>" presses the mouse on
    // a timing button and "click:<button>" clicks it.
    bool run(const QStringList& steps);

    // The six timing buttons as "<caption> <state>" joined by ", ", where the state is the
    // colour name when enabled and "-" when disabled with the button face; a menu command
    // that does not follow its button adds "!". Then "; settings on|off, clock on|off".
    QString controls();
    // One display row as read from the digits, e.g. "012,34".
    QString displayRow(DisplayRow row);
    QColor upperColour();
    // Rows of the heat start list as "Nr Zeit1 Zeit2 Zeit3 Zeit4" with "." for an empty cell.
    QString heatRow(int row);
    // Fills the heat start list with competitors 11, 12, ... of class 1 and selects row 1.
    void addCompetitors(int count);

private:
    InstallationFixture m_install;
    ScriptedAnswers m_answers;
    std::shared_ptr<FakeTickSource> m_ticks;
    std::shared_ptr<FakeSerialSystem> m_serial;
    std::shared_ptr<FakeLineDevice> m_device;
    std::unique_ptr<MainWindow> m_window;
};
