#pragma once

#include <QColor>
#include <array>
#include <utility>

class QAction;
class ColorButton;

// The six timing buttons paired with their menu commands. A button invokes its command on the
// mouse press and, where it has a click action, on a click; the command is available exactly
// while its button is enabled, so keys, mouse and light barriers meet the same guard.
class TimingControls {
public:
    struct Pair {
        ColorButton* button;
        QAction* action;
        bool onPress;
        bool onClick;
    };

    explicit TimingControls(const std::array<Pair, 6>& pairs);

    // Enables or disables the button and its command together and gives the button a colour.
    void setState(ColorButton* button, bool enabled, const QColor& colour) const;
    QAction* actionOf(const ColorButton* button) const;

private:
    std::array<Pair, 6> m_pairs;
};
