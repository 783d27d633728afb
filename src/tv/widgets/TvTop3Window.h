#pragma once

#include "competition/ClassTop3.h"
#include "tv/widgets/TvWindow.h"

#include <QStringList>

class QLabel;
class QTableWidget;
class QTimer;
class TvWordMark;

// "TOP3 je Klasse": the three best of up to four classes in a table of twelve lines.
class TvTop3Window : public TvWindow {
    Q_OBJECT
public:
    static constexpr int Columns = 6;

    explicit TvTop3Window(QWidget* parent = nullptr);

    QTableWidget* heatStartListTable() const { return m_table; }
    QWidget* footer() const { return m_footer; }
    TvWordMark* wordMark() const { return m_wordMark; }

    // The twelve lines of the table, six cells each: "Pl." + ".", "Nr.", " Name Vorname",
    // "Kl.", "Meister", "Endzeit" + " "; lines of a block without a finisher stay empty.
    static QList<QStringList> lines(const QList<ClassTop3>& blocks);
    // FillTop3.
    void setContent(const QString& title, const QList<ClassTop3>& blocks);
    // Whether the results shown are official: "vorläufig" or "offiziell" beside the footer's
    // caption; empty leaves the caption alone.
    void setReleaseWord(const QString& word);
    QString cellText(int line, int column) const;

    void placeTvWindow(const QRect& bounds, bool separateScreen, bool modeChecked) override;
    void layoutWindow() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTableWidget* m_table = nullptr;
    QWidget* m_footer = nullptr;
    QLabel* m_footerText = nullptr;
    TvWordMark* m_wordMark = nullptr;
    QTimer* m_relayout = nullptr;
};
