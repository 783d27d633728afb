#include "competition/Competition.h"
#include "competition/StageTables.h"
#include "competition/widgets/CompetitionTableDelegate.h"
#include "competition/widgets/CompetitionTableView.h"
#include "ui/window/StagePages.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

namespace {

// Shows the style options the delegate hands to the painter.
class ExposedDelegate : public CompetitionTableDelegate {
public:
    using CompetitionTableDelegate::CompetitionTableDelegate;
    QStyleOptionViewItem optionFor(const QModelIndex& index) const {
        QStyleOptionViewItem option;
        initStyleOption(&option, index);
        return option;
    }
};

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

void fill(CompetitionTable& grid, int rows) {
    grid.setRowsWithHeader(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        grid.setCell(0, r, QString::number(r));
        grid.setCell(1, r, QStringLiteral("Name%1").arg(r));
    }
}

} // namespace

// The table view: selection in step with the table, presentation, widths, keys.
class TestCompetitionTableView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void layoutBasics();
    void viewSelectionReachesTable();
    void tableSelectionReachesView();
    void selectionSurvivesModelReset();
    void keyReleaseIsReported();
    void columnWidthsFollowViewport_data();
    void columnWidthsFollowViewport();
    void numbersAreNeverCut_data();
    void numbersAreNeverCut();
    void captionsAreNeverCut_data();
    void captionsAreNeverCut();
    void cellPresentation();
    void substituteShownWhenMarked();
    void headerClickSorts();
    void headerClickNeedsCanSort();
    void headerClickOnlyInTheSameColumn();
    void headerClickAfterResizeDoesNotSort();

private:
    QPoint headerPoint(int column) const;
    QStringList names() const;
    Competition* m_competition = nullptr;
    CompetitionTableView* m_view = nullptr;
};

void TestCompetitionTableView::init() {
    m_competition = new Competition(TimeFormat(TimeFormat::Seconds, u','));
    m_view =
        new CompetitionTableView(&m_competition->heatStartList(), &m_competition->timeFormat());
    m_view->resize(600, 400);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
}

void TestCompetitionTableView::cleanup() {
    delete m_view;
    delete m_competition;
}

void TestCompetitionTableView::layoutBasics() {
    QVERIFY(!m_view->verticalHeader()->isVisible());
    QCOMPARE(m_view->verticalHeader()->defaultSectionSize(), 19);
    QCOMPARE(m_view->font().family(), QStringLiteral("Arial"));
    QCOMPARE(m_view->font().pointSize(), 11);
    QCOMPARE(m_view->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(m_view->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Nr."));
}

void TestCompetitionTableView::viewSelectionReachesTable() {
    CompetitionTable& grid = m_competition->heatStartList();
    fill(grid, 10);
    QSignalSpy selected(&grid, &CompetitionTable::rowSelected);
    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_Down);
    QCOMPARE(grid.selectedRow(), 2);
    const QRect cell = m_view->visualRect(grid.index(4, 1));
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(grid.selectedRow(), 5);
    QCOMPARE(selected.count(), 2);
    QCOMPARE(selected.last().first().toInt(), 5);
}

void TestCompetitionTableView::tableSelectionReachesView() {
    CompetitionTable& grid = m_competition->heatStartList();
    fill(grid, 10);
    grid.setRow(7);
    QCOMPARE(m_view->currentIndex().row(), 6);
    QVERIFY(m_view->selectionModel()->isRowSelected(6, QModelIndex()));
    QCOMPARE(m_view->selectionModel()->selectedRows().size(), 1);
}

void TestCompetitionTableView::selectionSurvivesModelReset() {
    CompetitionTable& grid = m_competition->heatStartList();
    fill(grid, 10);
    grid.setRow(4);
    fill(grid, 12); // a reset of the model
    QCOMPARE(grid.selectedRow(), 4);
    QCOMPARE(m_view->currentIndex().row(), 3);
    QVERIFY(m_view->selectionModel()->isRowSelected(3, QModelIndex()));
    grid.clearTable(); // selects row 1 without a signal
    QCOMPARE(m_view->currentIndex().row(), 0);
    QVERIFY(m_view->selectionModel()->isRowSelected(0, QModelIndex()));
}

void TestCompetitionTableView::keyReleaseIsReported() {
    fill(m_competition->heatStartList(), 3);
    QSignalSpy released(m_view, &CompetitionTableView::keyReleased);
    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_Down);
    QCOMPARE(released.count(), 1);
    QCOMPARE(released.first().first().toInt(), int(Qt::Key_Down));
}

void TestCompetitionTableView::columnWidthsFollowViewport_data() {
    QTest::addColumn<int>("width");
    QTest::newRow("narrow") << 500;
    QTest::newRow("designed") << 712;
    QTest::newRow("wide") << 1400;
}

void TestCompetitionTableView::columnWidthsFollowViewport() {
    QFETCH(int, width);
    m_view->resize(width, 300);
    QCoreApplication::processEvents();
    m_view->applyColumnWidths();
    const QList<int> expected = StageTables::columnWidths(
        StageTables::HeatStartList, m_view->viewport()->width(), m_view->neededWidths());
    for (int c = 0; c < expected.size(); ++c) {
        if (expected[c] < 0) {
            QVERIFY(m_view->isColumnHidden(c));
        } else {
            QVERIFY(!m_view->isColumnHidden(c));
            QCOMPARE(m_view->columnWidth(c), expected[c]);
        }
    }
    QCOMPARE(m_view->columnWidth(0), 31);
    QVERIFY(m_view->isColumnHidden(9));
    QVERIFY(m_view->isColumnHidden(10));
}

void TestCompetitionTableView::numbersAreNeverCut_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wider");
    QTest::newRow("Nr. 10 fits") << 0 << "10" << false;
    QTest::newRow("Nr. 1010") << 0 << "1010" << true;
    QTest::newRow("Nr. 10100") << 0 << "10100" << true;
    QTest::newRow("Zeit1 5895,00") << 6 << "5895,00" << true;
    QTest::newRow("Kl. 1234") << 4 << "1234" << true;
}

void TestCompetitionTableView::numbersAreNeverCut() {
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(bool, wider);
    m_view->resize(712, 300);
    fill(m_competition->heatStartList(), 3);
    QCoreApplication::processEvents();
    m_view->applyColumnWidths();
    const int designed = m_view->columnWidth(column);
    const int names = m_view->columnWidth(1) + m_view->columnWidth(2) + m_view->columnWidth(3);
    // Entered like a result: the column follows without being told.
    m_competition->heatStartList().setCell(column, 2, text);
    QCoreApplication::processEvents();
    const int needed = m_view->fontMetrics().horizontalAdvance(text) +
                       2 * CompetitionTableDelegate::TextMargin + 1;
    QVERIFY2(m_view->columnWidth(column) >= needed,
             qPrintable(QStringLiteral("%1 < %2").arg(m_view->columnWidth(column)).arg(needed)));
    QCOMPARE(m_view->columnWidth(column) > designed, wider);
    // The name columns give the room.
    const int namesNow = m_view->columnWidth(1) + m_view->columnWidth(2) + m_view->columnWidth(3);
    QVERIFY(namesNow >= names - (m_view->columnWidth(column) - designed) - 2);
    QVERIFY(namesNow <= names);
}

void TestCompetitionTableView::captionsAreNeverCut_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("page");
    for (const char* family : {"Liberation Sans", "DejaVu Sans"}) {
        for (int page = 0; page < 4; ++page)
            QTest::addRow("%s, page %d", family, page + 1) << QString::fromLatin1(family) << page;
    }
}

void TestCompetitionTableView::captionsAreNeverCut() {
    QFETCH(QString, family);
    QFETCH(int, page);
    m_competition->writeDerivedHeaders();
    CompetitionTableView view(&m_competition->stageTable(page), &m_competition->timeFormat());
    QFont font = view.font();
    font.setFamily(family);
    view.setFont(font);
    view.resize(740, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.applyColumnWidths();
    QHeaderView* header = view.horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int c = 0; c < header->count(); ++c) {
        const QString caption = view.model()->headerData(c, Qt::Horizontal).toString();
        if (view.isColumnHidden(c) || caption.isEmpty())
            continue;
        const int needed = header->fontMetrics().horizontalAdvance(caption) + 2 * margin;
        QVERIFY2(
            view.columnWidth(c) >= needed,
            qPrintable(
                QStringLiteral("%1: %2 < %3").arg(caption).arg(view.columnWidth(c)).arg(needed)));
    }
}

void TestCompetitionTableView::cellPresentation() {
    CompetitionTable& grid = m_competition->heatStartList();
    fill(grid, 3);
    grid.setCell(6, 2, QStringLiteral("12,00"));
    grid.setCell(7, 2, QStringLiteral("11,00"));
    grid.setCell(8, 2, QStringLiteral("12,00"));
    grid.setRow(1);
    ExposedDelegate delegate(&grid, &m_competition->timeFormat());
    const QStyleOptionViewItem zeit1 = delegate.optionFor(grid.index(1, 6));
    QCOMPARE(zeit1.backgroundBrush.color(), QColor(0xE0FFE0));
    QCOMPARE(zeit1.palette.color(QPalette::Text), QColor(0xFF0000));
    QVERIFY(zeit1.displayAlignment.testFlag(Qt::AlignRight));
    const QStyleOptionViewItem zeit3 = delegate.optionFor(grid.index(1, 8));
    QVERIFY(zeit3.palette.color(QPalette::Text) != QColor(0xFF0000));
    const QStyleOptionViewItem kl = delegate.optionFor(grid.index(1, 4));
    QVERIFY(kl.displayAlignment.testFlag(Qt::AlignHCenter));
    // The selected row keeps the selection colour but the red discarded run stays red.
    grid.setRow(2);
    const QStyleOptionViewItem selected = delegate.optionFor(grid.index(1, 6));
    QCOMPARE(selected.backgroundBrush.style(), Qt::NoBrush);
    QCOMPARE(selected.palette.color(QPalette::HighlightedText), QColor(0xFF0000));
}

void TestCompetitionTableView::substituteShownWhenMarked() {
    // The window's pages, as the main window shows them.
    StagePages pages(*m_competition);
    pages.setTabEnabled(0, true);
    pages.resize(800, 300);
    pages.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pages));
    CompetitionTable& grid = m_competition->heatStartList();
    fill(grid, 3);
    grid.setCell(7, 2, QStringLiteral("41,37"));
    grid.setRow(1);
    CompetitionTableView* view = pages.view(0);
    QCoreApplication::processEvents();
    PaintCounter counter;
    view->viewport()->installEventFilter(&counter);
    m_competition->substituteMarks().add({QStringLiteral("2"), 1, QStringLiteral("41,37")});
    Q_EMIT m_competition->substituteMarksChanged();
    QTRY_VERIFY(counter.paints > 0);
    const QRect cell = view->visualRect(grid.index(1, 7));
    const QImage shown = view->viewport()->grab().toImage();
    QCOMPARE(shown.pixelColor(cell.topLeft() + QPoint(3, 3)),
             QColor::fromRgb(CellPresentation::SubstituteBackground));
    QHelpEvent help(QEvent::ToolTip, cell.center(), view->viewport()->mapToGlobal(cell.center()));
    QCoreApplication::sendEvent(view->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("Ersatzzeit"));
}

QPoint TestCompetitionTableView::headerPoint(int column) const {
    const QHeaderView* header = m_view->horizontalHeader();
    return QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                  header->height() / 2);
}

QStringList TestCompetitionTableView::names() const {
    return m_competition->heatStartList().column(1).mid(1);
}

void TestCompetitionTableView::headerClickSorts() {
    CompetitionTable& grid = m_competition->heatStartList();
    grid.setRowsWithHeader(4);
    grid.setRowCells(1, {"1", "Berg"});
    grid.setRowCells(2, {"2", "Adler"});
    grid.setRowCells(3, {"3", "Christ"});
    grid.sortOptions().canSort = true;
    m_view->applyColumnWidths();
    QWidget* header = m_view->horizontalHeader()->viewport();
    QTest::mouseClick(header, Qt::LeftButton, {}, headerPoint(1));
    QCOMPARE(names(), (QStringList{"Adler", "Berg", "Christ"}));
    QTest::mouseClick(header, Qt::LeftButton, {}, headerPoint(1));
    QCOMPARE(names(), (QStringList{"Christ", "Berg", "Adler"}));
    QTest::mouseClick(header, Qt::LeftButton, {}, headerPoint(1));
    QCOMPARE(names(), (QStringList{"Adler", "Berg", "Christ"}));
    // The right button always sorts descending.
    QTest::mouseClick(header, Qt::RightButton, {}, headerPoint(1));
    QCOMPARE(names(), (QStringList{"Christ", "Berg", "Adler"}));
    QTest::mouseClick(header, Qt::RightButton, {}, headerPoint(1));
    QCOMPARE(grid.sortOptions().direction, sdDescending);
    // A new column starts ascending.
    QTest::mouseClick(header, Qt::LeftButton, {}, headerPoint(0));
    QCOMPARE(grid.sortOptions().column, 0);
    QCOMPARE(grid.column(0).mid(1), (QStringList{"1", "2", "3"}));
}

void TestCompetitionTableView::headerClickNeedsCanSort() {
    CompetitionTable& grid = m_competition->heatStartList();
    grid.setRowsWithHeader(3);
    grid.setRowCells(1, {"1", "Berg"});
    grid.setRowCells(2, {"2", "Adler"});
    grid.sortOptions().canSort = false;
    m_view->applyColumnWidths();
    QTest::mouseClick(m_view->horizontalHeader()->viewport(), Qt::LeftButton, {}, headerPoint(1));
    QCOMPARE(names(), (QStringList{"Berg", "Adler"}));
}

void TestCompetitionTableView::headerClickOnlyInTheSameColumn() {
    CompetitionTable& grid = m_competition->heatStartList();
    grid.setRowsWithHeader(3);
    grid.setRowCells(1, {"2", "Berg"});
    grid.setRowCells(2, {"1", "Adler"});
    grid.sortOptions().canSort = true;
    m_view->applyColumnWidths();
    QWidget* header = m_view->horizontalHeader()->viewport();
    QTest::mousePress(header, Qt::LeftButton, {}, headerPoint(1));
    QTest::mouseRelease(header, Qt::LeftButton, {}, headerPoint(2));
    QCOMPARE(names(), (QStringList{"Berg", "Adler"}));
}

void TestCompetitionTableView::headerClickAfterResizeDoesNotSort() {
    CompetitionTable& grid = m_competition->heatStartList();
    grid.setRowsWithHeader(3);
    grid.setRowCells(1, {"2", "Berg"});
    grid.setRowCells(2, {"1", "Adler"});
    grid.sortOptions().canSort = true;
    m_view->applyColumnWidths();
    QWidget* header = m_view->horizontalHeader()->viewport();
    QTest::mousePress(header, Qt::LeftButton, {}, headerPoint(1));
    m_view->horizontalHeader()->resizeSection(1, m_view->columnWidth(1) + 10);
    QTest::mouseRelease(header, Qt::LeftButton, {}, headerPoint(1));
    QCOMPARE(names(), (QStringList{"Berg", "Adler"}));
    // The next ordinary click sorts again.
    QTest::mouseClick(header, Qt::LeftButton, {}, headerPoint(1));
    QCOMPARE(names(), (QStringList{"Adler", "Berg"}));
}

QTEST_MAIN(TestCompetitionTableView)
#include "tst_competitiontableview.moc"
