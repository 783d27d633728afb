#pragma once

#include <QStatusBar>
#include <array>

class QLabel;

// The four status panels: row position, a fixed text, the derivation message, window size.
class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    enum Panel { RowPosition = 0, FixedText = 1, StageMessage = 2, WindowSize = 3 };

    explicit MainStatusBar(QWidget* parent = nullptr);

    static QString fixedText() { return QStringLiteral("Velmora Zeitmessung"); }

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);
    QLabel* panel(int panel) const;

private:
    std::array<QLabel*, 4> m_panels{};
};
