#include "competition/Competition.h"
#include "competition/StageTables.h"
#include "journal/JournalEntry.h"
#include "journal/JournalRecorder.h"
#include "mock/SessionFixture.h"
#include "session/SessionJournal.h"
#include "session/StartListHistory.h"
#include "ui/startlist/HistoryCommands.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QToolButton>

// "Rückgängig" and "Wiederholen" on a race session alone: the commands need the session, the
// menu their entries go into and a widget for the second key, no main window. A step is named
// after the command that made it, and taking it back or making it again is journaled and told.
class TestHistoryCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void namedToldAndJournaled_data();
    void namedToldAndJournaled();
};

void TestHistoryCommands::namedToldAndJournaled_data() {
    QTest::addColumn<QString>("namedBy");
    QTest::addColumn<QString>("step");

    QTest::newRow("menu entry") << "entry"
                                << "Generieren";
    QTest::newRow("button doing an entry's work") << "button"
                                                  << "Neue";
    QTest::newRow("named by the command") << "name"
                                          << "Import";
}

void TestHistoryCommands::namedToldAndJournaled() {
    QFETCH(QString, namedBy);
    QFETCH(QString, step);
    SessionFixture f;
    f.addCompetitors(2);
    CompetitionTable& heat = f.session().competition().heatStartList();
    const QString before = heat.cell(StageTables::Heat::Name, 1);
    const QString changed = QStringLiteral("Geändert");
    const auto change = [&heat, &changed] {
        heat.setCell(StageTables::Heat::Name, 1, changed);
    };

    QString told;
    int restored = 0;
    QStringList journaled;
    // Gone before journaled, while the session still journals its end.
    QObject listener;
    connect(&f.session().journal()->recorder(), &JournalRecorder::recorded, &listener,
            [&journaled](const JournalEntry& entry) {
                if (entry.kind == JournalEntry::Kind::Command)
                    journaled.append(entry.name);
            });
    QMenu menu;
    QWidget window;
    auto* history = new HistoryCommands(f.session(), menu, window,
                                        {[&restored] { ++restored; },
                                         [&told](const QString& text) {
                                             told = text;
                                         }});
    QVERIFY(!history->undoAction()->isEnabled());
    QVERIFY(menu.actions().contains(history->undoAction()));
    QVERIFY(menu.actions().contains(history->redoAction()));

    QAction entry(step);
    QToolButton button;
    // The command's own handler first, as the window connects it.
    connect(&entry, &QAction::triggered, this, change);
    connect(&button, &QToolButton::clicked, this, change);
    history->nameStepsOf(entry);
    history->nameStepsOf(button, entry);
    if (namedBy == u"entry") {
        entry.trigger();
    } else if (namedBy == u"button") {
        button.click();
    } else {
        change();
        history->nameStep(step);
    }
    history->history().settle();
    QCOMPARE(history->undoAction()->text(), QStringLiteral("Rückgängig: ") + step);

    history->undoAction()->trigger();
    QCOMPARE(heat.cell(StageTables::Heat::Name, 1), before);
    QCOMPARE(told, QStringLiteral("Rückgängig: ") + step);
    QCOMPARE(restored, 1);
    QCOMPARE(history->redoAction()->text(), QStringLiteral("Wiederholen: ") + step);

    // The second key of "Wiederholen" is an entry of the widget given.
    auto* redoAlias = window.findChild<QAction*>(QStringLiteral("mRedoShift"));
    QVERIFY(redoAlias);
    QVERIFY(window.actions().contains(redoAlias));
    QVERIFY(redoAlias->isEnabled());
    redoAlias->trigger();
    QCOMPARE(heat.cell(StageTables::Heat::Name, 1), changed);
    QCOMPARE(told, QStringLiteral("Wiederholen: ") + step);
    QCOMPARE(restored, 2);
    QVERIFY(!redoAlias->isEnabled());
    QCOMPARE(journaled, (QStringList{QStringLiteral("Rückgängig: ") + step,
                                     QStringLiteral("Wiederholen: ") + step}));
}

QTEST_MAIN(TestHistoryCommands)
#include "tst_historycommands.moc"
