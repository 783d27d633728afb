#include "competition/Competition.h"
#include "cup/CupDocument.h"
#include "mock/CupRaceFiles.h"
#include "mock/WindowFixture.h"
#include "session/RaceSession.h"
#include "session/StartListHistory.h"
#include "timing/RunClock.h"
#include "ui/program/CupWindow.h"
#include "ui/startlist/HistoryCommands.h"
#include "ui/window/MainActions.h"

#include <QAction>
#include <QApplication>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

// "Cupwertung" on a real X server: the window reached from the main window's menu, five races
// of the program's own random results added through it, the standings in one tab per class
// with the dropped results struck through, and the start list of the next race taken into the
// heat start list as one step of its history, refused while a run is open.
class TestCupWindowXvfb : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        InstallationFixture install;
        ScriptedAnswers answers;
        SessionWindow window{install.environment(&answers)};
        CupWindow* cup = nullptr;
        QStringList races;

        bool open(int raceCount) {
            window.show();
            window.actions().cup->trigger();
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (auto* found = qobject_cast<CupWindow*>(top))
                    cup = found;
            }
            if (!cup || !cup->isVisible())
                return false;
            races = CupRaceFiles::write(install.dir(), raceCount);
            CupDocument& document = window.session().cup();
            document.create(QStringLiteral("Bezirkscup"));
            CupRules rules = document.definition().rules;
            rules.bestOf = 3;
            document.setRules(rules);
            for (const QString& race : races) {
                install.dialogs().answer(race);
                cup->command(QStringLiteral("raceAdd"))->trigger();
            }
            return document.waitForIdle(20000) && document.definition().races.size() == raceCount;
        }
    };

private Q_SLOTS:
    void fiveRacesInTheWindow() {
        Fixture f;
        QVERIFY(f.open(5));
        auto* tabs = f.cup->findChild<QTabWidget*>(QStringLiteral("standings"));
        QVERIFY(tabs);
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions.append(tabs->tabText(i));
        QCOMPARE(captions, QStringList({"Kl. 1", "Kl. 2", "Kl. 3", "Kl. 4", "Vereine"}));

        // Best 3 of 5: whoever rode all five has two results struck through and in brackets.
        auto* view = f.cup->findChild<QTableView*>(QStringLiteral("classTable0"));
        QVERIFY(view);
        const QAbstractItemModel* model = view->model();
        int struck = 0;
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 4; column < 9; ++column) {
                const QModelIndex index = model->index(row, column);
                if (!model->data(index, Qt::FontRole).value<QFont>().strikeOut())
                    continue;
                ++struck;
                QVERIFY(model->data(index).toString().startsWith(QLatin1Char('(')));
            }
        }
        QVERIFY(struck > 0);
        QCOMPARE(model->headerData(9, Qt::Horizontal).toString(), QStringLiteral("Summe"));
        QVERIFY(f.cup->windowTitle().startsWith(QStringLiteral("Cupwertung – Bezirkscup")));
        QVERIFY(f.cup->command(QStringLiteral("cupStartList"))->isEnabled());
        QVERIFY(!f.cup->command(QStringLiteral("raceAccept"))->isEnabled());
    }

    void nextStartListIsOneStepOfTheHeatList() {
        Fixture f;
        QVERIFY(f.open(2));
        const CupStandings& standings = f.window.session().cup().standings();
        int competitors = 0;
        for (const auto& table : standings.classes)
            competitors += static_cast<int>(table.rows.size());
        CompetitionTable& heat = f.window.session().competition().heatStartList();
        f.answers.answer = true;
        f.cup->command(QStringLiteral("cupStartList"))->trigger();
        QCOMPARE(heat.rowsWithHeader() - 1, competitors);
        QCOMPARE(heat.cell(0, 1), QStringLiteral("1"));
        // The leader of class 1 starts last in his class.
        const QString leader = standings.classes.first().rows.first().identity.name;
        int lastOfClass1 = 0;
        for (int r = 1; r < heat.rowsWithHeader(); ++r) {
            if (heat.cell(4, r) == QStringLiteral("1"))
                lastOfClass1 = r;
        }
        QCOMPARE(heat.cell(1, lastOfClass1), leader);
        auto* history = f.window.findChild<HistoryCommands*>();
        QVERIFY(history);
        QCOMPARE(history->history().undoText(), QStringLiteral("Startliste aus der Cupwertung"));
        history->undo();
        QCOMPARE(heat.rowsWithHeader(), 2);
    }

    void refusedWhileARunIsOpen() {
        Fixture f;
        QVERIFY(f.open(2));
        f.install.dialogs().answer(f.races.first());
        f.window.actions().open->trigger();
        CompetitionTable& heat = f.window.session().competition().heatStartList();
        const QString before = heat.rowText(1);
        heat.setRow(1);
        f.window.actions().start->trigger();
        QTRY_COMPARE(f.window.session().clock().state(), RunClock::State::Running);
        f.answers.answer = true;
        f.cup->command(QStringLiteral("cupStartList"))->trigger();
        QCOMPARE(heat.rowText(1), before);
        QCOMPARE(f.cup->statusBar()->currentMessage(),
                 QStringLiteral("Die Vorlauf-Startliste blieb, wie sie war"));
    }
};

QTEST_MAIN(TestCupWindowXvfb)
#include "tst_cupwindow_xvfb.moc"
