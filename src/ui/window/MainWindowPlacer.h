#pragma once

#include <QElapsedTimer>
#include <QMargins>
#include <QObject>
#include <QRect>
#include <QTimer>

class QWidget;

// Places the main window by its outer frame: the default placement of the first start or the
// stored one, kept on a present screen. The window manager's frame is known only after the
// window was mapped, so the placement and the minimum size are first made without it and set
// right once it has come.
class MainWindowPlacer : public QObject {
    Q_OBJECT
public:
    explicit MainWindowPlacer(QWidget& window);

    // The first start's placement on the primary screen's work area.
    void placeDefault();
    // The stored values have been applied: when they changed the placement it is honoured,
    // brought onto a present screen. So is a placement the window was given before it was
    // framed.
    void settingsLoaded();

    bool storedPlacement() const { return m_stored; }
    // The frame the placement was last made with; empty until the window manager framed it.
    QMargins frameMargins() const { return m_margins; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lookForFrame();
    void place();
    bool movedByOthers() const;

    QWidget& m_window;
    QMargins m_margins;
    bool m_stored = false;
    bool m_frameKnown = false;
    // Frame position and client size as last placed here.
    QRect m_placed;
    QTimer m_poll;
    QElapsedTimer m_sinceShown;
};
