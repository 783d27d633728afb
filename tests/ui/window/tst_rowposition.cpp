#include "competition/Competition.h"
#include "mock/WindowFixture.h"
#include "output/ProtocolFile.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StagePages.h"

#include <QAction>
#include <QTest>

// The first status panel shows where the selection of the shown table is, from the start on.
class TestRowPosition : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void panelShowsTheShownTable_data();
    void panelShowsTheShownTable();
};

namespace {

// Competitors 1..rows of class 1, every heat run timed; the first `finalRuns` have their
// final runs too.
bool writeProtocol(const QString& file, int rows, int finalRuns) {
    Competition c;
    c.writeHeatStartListHeader();
    for (int i = 1; i <= rows; ++i) {
        const QString f = i <= finalRuns ? QStringLiteral("900") : QString();
        c.heatStartList().appendRow({QString::number(i), "N", "V", "C", "1", "", "1000",
                                     QString::number(1000 + i), "1000", f, f});
    }
    return static_cast<bool>(ProtocolFile::SaveProtocolText(c.heatStartList(), file));
}

} // namespace

void TestRowPosition::panelShowsTheShownTable_data() {
    QTest::addColumn<int>("backupRows");
    QTest::addColumn<int>("openedRows");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("panel");
    QTest::newRow("nothing at all") << 0 << 0 << 0 << "0:0";
    QTest::newRow("backup read at start") << 4 << 0 << 0 << "1:4";
    QTest::newRow("file opened") << 4 << 15 << 0 << "1:15";
    QTest::newRow("heat results") << 4 << 0 << 1 << "1:4";
    QTest::newRow("final start list of ten") << 0 << 15 << 2 << "1:10";
    QTest::newRow("final results of three") << 0 << 15 << 3 << "1:3";
    QTest::newRow("empty final results") << 4 << 0 << 3 << "0:0";
}

void TestRowPosition::panelShowsTheShownTable() {
    QFETCH(int, backupRows);
    QFETCH(int, openedRows);
    QFETCH(int, page);
    QFETCH(QString, panel);
    InstallationFixture install;
    if (backupRows > 0)
        QVERIFY(writeProtocol(install.filePath("Velmora-Sicherungsdatei.txt"), backupRows, 0));
    ScriptedAnswers answers;
    SessionWindow window(install.environment(&answers));
    if (openedRows > 0) {
        const QString file = install.filePath(QStringLiteral("liste.txt"));
        QVERIFY(writeProtocol(file, openedRows, 3));
        install.dialogs().answer(file);
        window.actions().open->trigger();
    }
    window.stagePages()->setCurrentIndex(page);
    QCOMPARE(window.statusPanelText(MainStatusBar::RowPosition), panel);
}

QTEST_MAIN(TestRowPosition)
#include "tst_rowposition.moc"
