#include "ui/stopwatch/TimingControls.h"

#include "widgets/ColorButton.h"

#include <QAction>

TimingControls::TimingControls(const std::array<Pair, 6>& pairs) : m_pairs(pairs) {
    for (const Pair& pair : m_pairs) {
        // QAction::trigger does nothing while the command is unavailable.
        if (pair.onPress) {
            QObject::connect(pair.button, &ColorButton::mousePressed, pair.action,
                             &QAction::trigger);
        }
        if (pair.onClick)
            QObject::connect(pair.button, &QPushButton::clicked, pair.action, &QAction::trigger);
    }
}

void TimingControls::setState(ColorButton* button, bool enabled, const QColor& colour) const {
    button->setEnabled(enabled);
    button->setColor(colour);
    if (QAction* action = actionOf(button))
        action->setEnabled(enabled);
}

QAction* TimingControls::actionOf(const ColorButton* button) const {
    for (const Pair& pair : m_pairs) {
        if (pair.button == button)
            return pair.action;
    }
    return nullptr;
}
