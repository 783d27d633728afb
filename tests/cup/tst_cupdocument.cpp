#include "competition/Competition.h"
#include "competition/StageTables.h"
#include "cup/CupDocument.h"
#include "output/ProtocolFile.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The open cup as the window uses it: races read off the window's thread, steps back and
// forth, the file kept and read again, and race files that change or vanish after they were
// added.
class TestCupDocument : public QObject {
    Q_OBJECT

private:
    // A protocol of three competitors of class 1 with their three heat runs in hundredths.
    static void writeRace(const QString& fileName, const QList<QStringList>& runs) {
        Competition competition;
        CompetitionTable& heat = competition.heatStartList();
        competition.writeHeatStartListHeader();
        const QStringList names{QStringLiteral("Huber"), QStringLiteral("Kraus"),
                                QStringLiteral("Meier")};
        heat.setRowsWithHeader(static_cast<int>(runs.size()) + 1);
        for (int i = 0; i < runs.size(); ++i) {
            QStringList cells{QString::number(i + 1), names[i],
                              QStringLiteral("Max"),  QStringLiteral("SV Süd"),
                              QStringLiteral("1"),    QString()};
            cells.append(runs[i]);
            while (cells.size() < StageTables::columnCount(StageTables::HeatStartList))
                cells.append(QString());
            heat.setRowCells(i + 1, cells);
        }
        QVERIFY(ProtocolFile::SaveProtocolText(heat, fileName).ok);
    }

    static QStringList leaders(const CupDocument& cup) {
        QStringList names;
        for (const auto& table : cup.standings().classes) {
            for (const auto& row : table.rows)
                names.append(QString::number(row.place) + QLatin1Char(' ') + row.identity.name);
        }
        return names;
    }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void racesAreAddedAndTakenBack() {
        const QString first = m_dir.filePath(QStringLiteral("r1.txt"));
        const QString second = m_dir.filePath(QStringLiteral("r2.txt"));
        writeRace(first,
                  {{"1000", "1000", "1000"}, {"1100", "1100", "1100"}, {"1200", "1200", "1200"}});
        writeRace(second,
                  {{"1300", "1300", "1300"}, {"1100", "1100", "1100"}, {"1000", "1000", "1000"}});
        CupDocument cup;
        cup.create(QStringLiteral("Testcup"));
        cup.addRaces({first});
        QVERIFY(cup.waitForIdle(10000));
        cup.addRaces({second});
        QVERIFY(cup.waitForIdle(10000));
        // 160 points each (100 + 60, 80 + 80, 60 + 100); Huber and Meier won a race each, and
        // Meier the later one.
        QCOMPARE(leaders(cup), QStringList({"1 Meier", "2 Huber", "3 Kraus"}));
        cup.undo();
        QVERIFY(cup.waitForIdle(10000));
        QCOMPARE(leaders(cup), QStringList({"1 Huber", "2 Kraus", "3 Meier"}));
        QCOMPARE(cup.redoText(), QStringLiteral("Rennen hinzufügen: r2"));
        cup.redo();
        QVERIFY(cup.waitForIdle(10000));
        QCOMPARE(cup.definition().races.size(), 2);
        QCOMPARE(leaders(cup).first(), QStringLiteral("1 Meier"));
    }

    void aRaceIsCountedOnce() {
        const QString race = m_dir.filePath(QStringLiteral("einmal.txt"));
        const QString copy = m_dir.filePath(QStringLiteral("kopie.txt"));
        writeRace(race, {{"1000", "1000", "1000"}});
        QVERIFY(QFile::copy(race, copy));
        CupDocument cup;
        cup.create(QStringLiteral("Testcup"));
        QSignalSpy failed(&cup, &CupDocument::failed);
        cup.addRaces({race});
        cup.addRaces({race, copy});
        QVERIFY(cup.waitForIdle(10000));
        QCOMPARE(cup.definition().races.size(), 1);
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed.first().first().toString().contains(
            QStringLiteral("kopie.txt ist schon Lauf 1")));
    }

    void aBrokenRaceIsRefusedAndTheCupKept() {
        const QString broken = m_dir.filePath(QStringLiteral("leer"));
        QVERIFY(QDir().mkpath(broken));
        CupDocument cup;
        cup.create(QStringLiteral("Testcup"));
        QSignalSpy failed(&cup, &CupDocument::failed);
        cup.addRaces({broken});
        QVERIFY(cup.waitForIdle(10000));
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed.first().first().toString().contains(QStringLiteral("leer")));
        QVERIFY(cup.definition().races.isEmpty());
        QVERIFY(!cup.canUndo());
    }

    void raceFilesAreChecked_data() {
        QTest::addColumn<QString>("afterwards");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("leaderBefore");
        QTest::addColumn<QString>("leaderAccepted");
        QTest::newRow("unchanged") << "keep"
                                   << ""
                                   << "1 Huber"
                                   << "1 Huber";
        QTest::newRow("changed") << "change"
                                 << "Lauf 1 wurde nach dem Hinzufügen geändert"
                                 << "1 Huber"
                                 << "1 Meier";
        QTest::newRow("missing") << "remove"
                                 << "Lauf 1: Datei nicht gefunden: "
                                 << "1 Huber"
                                 << "1 Huber";
    }

    void raceFilesAreChecked() {
        QFETCH(QString, afterwards);
        QFETCH(QString, warning);
        QFETCH(QString, leaderBefore);
        QFETCH(QString, leaderAccepted);
        QTemporaryDir dir;
        const QString race = dir.filePath(QStringLiteral("lauf.txt"));
        const QString cupFile = dir.filePath(QStringLiteral("cup.cup"));
        writeRace(race,
                  {{"1000", "1000", "1000"}, {"1100", "1100", "1100"}, {"1200", "1200", "1200"}});
        {
            CupDocument cup;
            cup.create(QStringLiteral("Testcup"));
            cup.addRaces({race});
            cup.save(cupFile);
            QVERIFY(cup.waitForIdle(10000));
            QVERIFY(!cup.isModified());
        }
        if (afterwards == QStringLiteral("change"))
            writeRace(
                race,
                {{"1300", "1300", "1300"}, {"1100", "1100", "1100"}, {"1000", "1000", "1000"}});
        if (afterwards == QStringLiteral("remove"))
            QVERIFY(QFile::remove(race));

        CupDocument cup;
        QSignalSpy failed(&cup, &CupDocument::failed);
        cup.open(cupFile);
        QVERIFY(cup.waitForIdle(10000));
        QVERIFY2(failed.isEmpty(), qPrintable(failed.value(0).value(0).toString()));
        QCOMPARE(cup.definition().name, QStringLiteral("Testcup"));
        const QStringList warnings = cup.standings().warnings;
        QCOMPARE(warnings.isEmpty(), warning.isEmpty());
        if (!warning.isEmpty())
            QVERIFY2(warnings.first().startsWith(warning), qPrintable(warnings.join('|')));
        // What was read when the race was added counts until the change is accepted.
        QCOMPARE(leaders(cup).value(0), leaderBefore);
        cup.acceptRaceChange(0);
        QVERIFY(cup.waitForIdle(10000));
        QCOMPARE(leaders(cup).value(0), leaderAccepted);
    }
};

QTEST_GUILESS_MAIN(TestCupDocument)
#include "tst_cupdocument.moc"
