#pragma once

#include "tv/TvInputs.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <array>

class QAction;
class QTimer;
class QWidget;
class TvVideoWindow;
class TvTimeWindow;
class TvTop3Window;
class TvBestTeamWindow;
class TvWindow;

// The four audience windows and the TV mode: which one is shown on which screen, what they
// show, and that the operator's keys keep reaching the operator's window.
class TvWindows : public QObject {
    Q_OBJECT
public:
    static constexpr int ZeitRelayoutMs = 200;

    // Creates the windows hidden, in the order "Video", "Zeit", "TOP3 je Klasse", "Best Team",
    // each on screen ScreenIndex, and gives them their first contents.
    TvWindows(TvInputs inputs, QWidget& operatorWindow);
    ~TvWindows() override;

    TvVideoWindow* video() const { return m_video; }
    TvTimeWindow* time() const { return m_time; }
    TvTop3Window* top3() const { return m_top3; }
    TvBestTeamWindow* bestTeam() const { return m_team; }
    // The window of a mode 1..4; none for mode 0.
    TvWindow* window(int mode) const;
    // The mode last selected (0: off).
    int mode() const { return m_mode; }
    // The "Monitor" setting when that screen exists, otherwise the first screen.
    int screenIndex() const;
    bool separateScreenAvailable() const;
    QRect screenBounds() const;

public Q_SLOTS:
    // Hides every window and shows the one of the mode; with a separate TV screen the focus
    // goes back to the main window. The entry is the one that chose the mode.
    void showMode(int mode, QAction* entry = nullptr);
    // Pushes the title, the competitor, the intermediate time, the top three and the best team.
    void updateTvWindows();
    // Re-reads the "Monitor" setting and re-places every window (after the settings dialog, and
    // when a screen comes or goes). A shown window whose audience screen went away is not
    // moved onto the operator's screen: the TV mode goes off and the status bar says why; when
    // the screen was unplugged, the mode comes back with it. A window shown on the operator's
    // screen goes to the audience screen when that comes.
    void placeTvWindows();
    // Loads the logo of "Zeit" and "Best Team" from the "Logo" setting again; a picture that
    // cannot be read clears the setting.
    void reloadLogo();

Q_SIGNALS:
    // A window is shown to the audience, or none is any more.
    void audienceWindowShown(bool shown);
    // The TV mode must go off, as "TV Modus Aus" does.
    void offRequested();
    // Why the TV mode went off or came back, for the status bar.
    void notice(const QString& text, int milliseconds);

private:
    void placeWindow(int mode);
    void switchOff();
    void connectDisplay();
    void tell(const QString& why);

    TvInputs m_in;
    QWidget& m_operator;
    TvVideoWindow* m_video = nullptr;
    TvTimeWindow* m_time = nullptr;
    TvTop3Window* m_top3 = nullptr;
    TvBestTeamWindow* m_team = nullptr;
    QTimer* m_timeRelayout = nullptr;
    int m_mode = 0;
    QPointer<QAction> m_entry;
    // Whether the shown mode went to a separate audience screen.
    bool m_shownSeparate = false;
    // "Video" keeps a run's state ("DNF") over the reset that follows it, until a time comes.
    bool m_videoHoldsState = false;
    // The entry of a mode switched off by an unplugged screen, for when the screen comes back.
    QPointer<QAction> m_comesBack;
};
