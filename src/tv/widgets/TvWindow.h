#pragma once

#include "tv/TextMeasure.h"

#include <QWidget>

class QLabel;
class Label3D;

// What the four audience windows share: no frame, always on top, no mouse pointer, the whole
// bounds of the TV screen, Arial bold white, the title bar, Escape on the operator's own screen.
class TvWindow : public QWidget {
    Q_OBJECT
public:
    explicit TvWindow(const QString& name, QWidget* parent = nullptr);

    Label3D* LabelTitle() const { return m_title; }
    // Set by the mode control before every placement: Escape counts only on screen 0.
    void setScreenIndex(int index) { m_screenIndex = index; }
    int screenIndex() const { return m_screenIndex; }
    // Moves the window onto the screen bounds and re-runs its layout; shows it when its mode
    // is checked. The "Video" and "TOP3 je Klasse" windows move only to a separate screen.
    virtual void placeTvWindow(const QRect& bounds, bool separateScreen, bool modeChecked);
    // Runs the window's layout for its present size.
    virtual void layoutWindow() = 0;
    // The bounds of the TV screen, taken at creation whatever the window's placement rule.
    void takeBounds(const QRect& bounds);

    // Arial bold at a pixel size, as the windows measure their texts.
    static QFont tvFont(int pixelSize, bool italic = false);
    static TextMeasure measure();
    static void setColours(QWidget* widget, const QColor& background, const QColor& text);
    // A centred plain-text bar in its colours, as the name, club and team bars are.
    static QLabel* makeBar(QWidget* parent, const char* name, const QColor& background,
                           const QColor& text);
    // What a bar's text at a designed pixel size keeps free at each end.
    static int textMargin(int designedSize) { return qMax(2, designedSize / 4); }
    // The label's text at the designed pixel size, or smaller where that would cut it.
    static void fitText(QLabel* label, int designedSize);

Q_SIGNALS:
    // Escape on the operator's screen, or the window closed by the platform: TV mode goes off.
    void offRequested();

protected:
    // The white footer of "Zeit" and "Best Team" with the label that shows the logo in it.
    QWidget* makeLogoFooter(QLabel*& image);
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Label3D* m_title = nullptr;
    int m_screenIndex = 0;
};
