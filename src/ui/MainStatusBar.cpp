#include "ui/MainStatusBar.h"

#include <QLabel>

MainStatusBar::MainStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(true);
    const int widths[4] = {50, 190, 320, 50};
    const Qt::Alignment alignments[4] = {Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignRight,
                                         Qt::AlignLeft};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(alignments[i] | Qt::AlignVCenter);
        if (i < 3)
            label->setFixedWidth(widths[i]);
        else
            label->setMinimumWidth(widths[i]);
        // The last panel takes what is left, as the window size text can be wider than 50.
        addWidget(label, i == 3 ? 1 : 0);
        m_panels[i] = label;
    }
    m_panels[RowPosition]->setText(QStringLiteral("0:0"));
    m_panels[FixedText]->setText(fixedText());
}

QString MainStatusBar::panelText(int panel) const {
    return panel >= 0 && panel < 4 ? m_panels[panel]->text() : QString();
}

void MainStatusBar::setPanelText(int panel, const QString& text) {
    if (panel >= 0 && panel < 4)
        m_panels[panel]->setText(text);
}

QLabel* MainStatusBar::panel(int panel) const {
    return panel >= 0 && panel < 4 ? m_panels[panel] : nullptr;
}
