#include "competition/Competition.h"
#include "competition/StageDerivation.h"
#include "mock/WhenShown.h"
#include "mock/WindowFixture.h"
#include "output/registration/HeatStartListRows.h"
#include "ui/startlist/ImportClassTable.h"
#include "ui/startlist/ImportMappingDialog.h"
#include "ui/startlist/LateEntryDialog.h"
#include "ui/startlist/RegistrationCommands.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

const QList<QStringList> kListed{{"1", "Erster", "", "SV", "1"}, {"2", "Zweiter", "", "TV", "2"}};

} // namespace

// What the two registration commands do to the heat start list around the forms: a run being
// timed keeps its competitor selected, a replacing import asks about a waiting time first,
// and the mapping is kept in the settings for the next import.
class TestRegistrationCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void lateEntrySelection_data();
    void lateEntrySelection();
    void replaceWaitsForTheWaitingTime_data();
    void replaceWaitsForTheWaitingTime();
    void timeEnteredWhileTheFormIsOpen_data();
    void timeEnteredWhileTheFormIsOpen();

private:
    RegistrationCommands commands(bool underway, bool mayReplace);

    InstallationFixture m_install;
    TestEnvironment m_environment = m_install.environment();
    Competition m_competition{TimeFormat(TimeFormat::Hundredths, u',')};
    StageDerivation m_derivation{m_competition};
    int m_changes = 0;
};

void TestRegistrationCommands::init() {
    m_competition.writeHeatStartListHeader();
    HeatStartListRows::write(m_competition.heatStartList(), kListed, 1);
    m_changes = 0;
}

RegistrationCommands TestRegistrationCommands::commands(bool underway, bool mayReplace) {
    return RegistrationCommands(m_competition, m_derivation, m_environment,
                                m_environment.seams.fileDialogs, nullptr,
                                {[underway] { return underway; },
                                 [mayReplace](const QList<QStringList>&) { return mayReplace; },
                                 [this] {
                                     ++m_changes;
                                 }});
}

void TestRegistrationCommands::lateEntrySelection_data() {
    QTest::addColumn<bool>("underway");
    QTest::addColumn<int>("selected");
    QTest::newRow("clock ready: the new row, ready for its run") << false << 3;
    QTest::newRow("run underway: the competitor who slides") << true << 1;
}

void TestRegistrationCommands::lateEntrySelection() {
    QFETCH(bool, underway);
    QFETCH(int, selected);
    whenShown<LateEntryDialog>([](LateEntryDialog& dialog) {
        dialog.findChild<QLineEdit*>("LateName")->setText(QStringLiteral("Dritter"));
        dialog.acceptButton()->click();
    });
    commands(underway, true).lateEntry();
    const CompetitionTable& heat = m_competition.heatStartList();
    QCOMPARE(heat.rowsWithHeader(), 4);
    QCOMPARE(heat.cell(1, 3), QStringLiteral("Dritter"));
    QCOMPARE(heat.selectedRow(), selected);
    QCOMPARE(m_changes, 1);
}

void TestRegistrationCommands::replaceWaitsForTheWaitingTime_data() {
    QTest::addColumn<bool>("mayReplace");
    QTest::addColumn<QString>("firstName");
    QTest::newRow("time let go") << true << QStringLiteral("Müller");
    QTest::newRow("time kept") << false << QStringLiteral("Erster");
}

void TestRegistrationCommands::replaceWaitsForTheWaitingTime() {
    QFETCH(bool, mayReplace);
    QFETCH(QString, firstName);
    m_install.dialogs().answer(QStringLiteral(VELMORA_TEST_DATA "/import/anmeldung.xlsx"));
    whenShown<ImportMappingDialog>([](ImportMappingDialog& dialog) {
        auto* classes = dialog.findChild<ImportClassTable*>();
        for (int row = 0; row < classes->texts().size(); ++row)
            classes->classBox(row)->setCurrentText(QStringLiteral("1"));
        dialog.findChild<QRadioButton*>("ImportReplace")->setChecked(true);
        dialog.acceptButton()->click();
    });
    commands(false, mayReplace).importFile();
    QCOMPARE(m_competition.heatStartList().cell(1, 1), firstName);
    // The choices are kept either way; replacing is chosen anew each time.
    const QString kept =
        m_environment.openSettings()->value(RegistrationCommands::memoryKey()).toString();
    QVERIFY(kept.contains(QStringLiteral("herren")));
}

void TestRegistrationCommands::timeEnteredWhileTheFormIsOpen_data() {
    QTest::addColumn<bool>("import");
    QTest::newRow("import") << true;
    QTest::newRow("late entry") << false;
}

void TestRegistrationCommands::timeEnteredWhileTheFormIsOpen() {
    QFETCH(bool, import);
    CompetitionTable& heat = m_competition.heatStartList();
    // The automatic entry writes a run while the operator is still in the form.
    const auto enterRun = [&heat] {
        heat.setCell(6, 1, QStringLiteral("1234"));
    };
    if (import) {
        m_install.dialogs().answer(QStringLiteral(VELMORA_TEST_DATA "/import/anmeldung.xlsx"));
        whenShown<ImportMappingDialog>([enterRun](ImportMappingDialog& dialog) {
            auto* classes = dialog.findChild<ImportClassTable*>();
            for (int row = 0; row < classes->texts().size(); ++row)
                classes->classBox(row)->setCurrentText(QStringLiteral("2"));
            enterRun();
            dialog.acceptButton()->click();
        });
        commands(false, true).importFile();
    } else {
        whenShown<LateEntryDialog>([enterRun](LateEntryDialog& dialog) {
            dialog.findChild<QLineEdit*>("LateName")->setText(QStringLiteral("Dritter"));
            enterRun();
            dialog.acceptButton()->click();
        });
        commands(false, true).lateEntry();
    }
    QVERIFY(heat.rowsWithHeader() > 3);
    QCOMPARE(heat.cell(6, 1), QStringLiteral("1234"));
}

QTEST_MAIN(TestRegistrationCommands)
#include "tst_registrationcommands.moc"
