#pragma once

#include <QList>
#include <QMap>
#include <QStatusBar>
#include <array>

class ElidingLabel;
class QLabel;

// The four status panels: row position, a fixed text, the derivation message, window size; and
// beside them a panel for notices, which never covers them.
class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    enum Panel { RowPosition = 0, FixedText = 1, StageMessage = 2, WindowSize = 3 };

    explicit MainStatusBar(QWidget* parent = nullptr);

    static QString fixedText() { return QStringLiteral("Velmora Zeitmessung"); }

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);
    QLabel* panel(int panel) const;

    // A notice for a while (what start-up found wrong); several share the panel, the newest
    // first.
    void showNotice(const QString& text, int milliseconds);
    ElidingLabel* noticePanel() const { return m_notice; }
    // A failure that stays, red in a panel of its own, until it is cleared with an empty text.
    void setLastingNotice(const QString& text);
    // The same for one of several failures that may stand at once (the journal, the light
    // barriers): each is set and cleared under its own topic, the panel shows them all.
    void setLastingNotice(const QString& topic, const QString& text);
    ElidingLabel* lastingPanel() const { return m_lasting; }

private:
    void showNotices();
    void fitNoticePanels();

    std::array<QLabel*, 4> m_panels{};
    ElidingLabel* m_lasting = nullptr;
    ElidingLabel* m_notice = nullptr;
    QList<std::pair<quint64, QString>> m_notices;
    quint64 m_nextNotice = 0;
    QMap<QString, QString> m_lastingTexts;
};
