#pragma once

#include <QTabWidget>
#include <array>

class Competition;
class PageTabBar;
class QCheckBox;
class CompetitionTableView;

// The four stage pages, each showing one stage table, with their drawn tab row and the edit
// check box above the tables. A change of page is reported once with the page being left; a
// page chosen by the program "without a page change" reports nothing. All pages start
// disabled until the window's start-up enables them.
class StagePages : public QTabWidget {
    Q_OBJECT
public:
    static constexpr QRgb TextColour = 0x345381;

    explicit StagePages(Competition& competition, QWidget* parent = nullptr);

    PageTabBar* pageTabBar() const { return m_tabBar; }
    CompetitionTableView* view(int page) const;
    QCheckBox* editBox() const { return m_editBox; }

    // Shows the page without reporting a page change (nothing gets derived).
    void setActivePageSilently(int page);
    // The next enabled page in that direction, round the end, as a click on its tab would
    // choose it (so it is reported as a page change).
    void stepPage(int step);

Q_SIGNALS:
    void pageChanging(int leavingPage);
    void pageChanged(int newPage);

private:
    void onCurrentChanged(int index);

    PageTabBar* m_tabBar;
    std::array<CompetitionTableView*, 4> m_views{};
    QCheckBox* m_editBox = nullptr;
    int m_shownPage = -1;
    bool m_silent = false;
};
