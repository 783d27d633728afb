#include "mock/FakeFileDialogs.h"
#include "mock/OffscreenScreens.h"
#include "settings/Settings.h"
#include "ui/program/ContactLogicBox.h"
#include "ui/program/SettingsDialog.h"
#include "widgets/DecimalSpinBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

const QStringList ports{QStringLiteral("Keine"), QStringLiteral("COM3  /dev/ttyUSB0 (FTDI FT232R)"),
                        QStringLiteral("COM12  /dev/ttyACM0")};

QStringList itemsOf(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items.append(box.itemText(i));
    return items;
}

} // namespace

// The settings dialog by itself: filling, what it shows when it opens, and what it hands on.
class TestSettingsDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void designedLook();
    void filling_data();
    void filling();
    void screensListed_data();
    void screensListed();
    void contactPicturesDiffer();
    void numberFieldsKeepEscapeAndEnter_data();
    void numberFieldsKeepEscapeAndEnter();
};

void TestSettingsDialog::designedLook() {
    FakeFileDialogs files;
    SettingsDialog dialog(ports, u',', files);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Einstellungen"));
    QCOMPARE(dialog.palette().color(QPalette::Window), QColor(0xAC, 0xCB, 0xE0));
    QCOMPARE(itemsOf(*dialog.portBox), ports);
    QCOMPARE(itemsOf(*dialog.contactLogicBox),
             (QStringList{QStringLiteral("Ein"), QStringLiteral("Aus")}));
    QCOMPARE(dialog.portBox->toolTip(),
             QStringLiteral("LS-Start (4-6); LS-Lap (1-4); LS-Stopp (7-8)"));
    QVERIFY(dialog.okButton->isDefault());
    QVERIFY(dialog.hundredthsNotation->isChecked());
    // At least the designed size, never smaller than what its rows need.
    QVERIFY(dialog.width() >= SettingsDialog::DesignedSize.width());
    QVERIFY(dialog.height() >= SettingsDialog::DesignedSize.height());
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.size().expandedTo(dialog.layout()->totalMinimumSize()) == dialog.size());
    // The open list is wide enough for the longest device name.
    QVERIFY(dialog.portBox->view()->minimumWidth() >
            dialog.portBox->fontMetrics().horizontalAdvance(ports.at(1)));
    QCOMPARE(dialog.lockTimeEdit->minimum(), 0.0);
    QCOMPARE(dialog.lockTimeEdit->maximum(), 100.0);
    QCOMPARE(dialog.waitEdit->minimum(), 0.1);
    QCOMPARE(dialog.waitEdit->maximum(), 600.0);
    QCOMPARE(dialog.countdownEdit->maximum(), 9999.0);
    QCOMPARE(dialog.countdownEdit->digits(), 0);
}

void TestSettingsDialog::filling_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("alg");
    QTest::addColumn<int>("vidResult");
    QTest::addColumn<int>("portIndex");
    QTest::addColumn<bool>("algEnabled");
    QTest::addColumn<QString>("shown"); // timer, wait, len

    QTest::newRow("first start") << 0 << 0 << 0 << 0 << false << "10,0 5,0 50";
    QTest::newRow("COM12, Aus, 10,24") << 12 << 1 << 1 << 2 << true << "10,0 5,0 50";
    QTest::newRow("unplugged port") << 7 << 1 << 0 << 0 << false << "10,0 5,0 50";
}

void TestSettingsDialog::filling() {
    QFETCH(int, port);
    QFETCH(int, alg);
    QFETCH(int, vidResult);
    QFETCH(int, portIndex);
    QFETCH(bool, algEnabled);
    QFETCH(QString, shown);
    FakeFileDialogs files;
    SettingsDialog dialog(ports, u',', files);
    Settings settings;
    settings.port = port;
    settings.alg = alg;
    settings.vidResult = vidResult;
    settings.logo = QStringLiteral("/pictures/logo.png");
    dialog.fill(settings);
    dialog.show();
    QCOMPARE(dialog.portBox->currentIndex(), portIndex);
    QCOMPARE(dialog.contactLogicBox->isEnabled(), algEnabled);
    QCOMPARE(dialog.waitEdit->isEnabled(), algEnabled);
    QCOMPARE(dialog.contactLogicBox->currentIndex(), alg);
    QCOMPARE(dialog.decimalNotation->isChecked(), vidResult == 1);
    QCOMPARE(QStringList({dialog.lockTimeEdit->text(), dialog.waitEdit->text(),
                          dialog.countdownEdit->text()})
                 .join(u' '),
             shown);
    QCOMPARE(dialog.logoButton->toolTip(), settings.logo);
}

void TestSettingsDialog::screensListed_data() {
    QTest::addColumn<int>("screenIndex");
    QTest::addColumn<int>("selected");

    QTest::newRow("second screen") << 1 << 1;
    QTest::newRow("first screen") << 0 << 0;
    QTest::newRow("a screen no longer there") << 5 << 1;
}

void TestSettingsDialog::screensListed() {
    QFETCH(int, screenIndex);
    QFETCH(int, selected);
    FakeFileDialogs files;
    SettingsDialog dialog(ports, u',', files);
    Settings settings;
    settings.monitor = screenIndex;
    dialog.fill(settings);
    dialog.show();
    QCOMPARE(itemsOf(*dialog.monitorBox),
             (QStringList{QStringLiteral("1=(1280,1024)"), QStringLiteral("2=(1920,1080)")}));
    QVERIFY(dialog.monitorBox->isEnabled());
    QVERIFY(dialog.monitorLabel->isEnabled());
    QCOMPARE(dialog.monitorBox->currentIndex(), selected);
    QCOMPARE(dialog.choices().screenIndex, selected);
}

void TestSettingsDialog::contactPicturesDiffer() {
    const QImage ein = ContactLogicBox::picture(0).toImage();
    const QImage aus = ContactLogicBox::picture(1).toImage();
    QCOMPARE(ein.size(), QSize(41, 16));
    QCOMPARE(aus.size(), QSize(41, 16));
    QVERIFY(ein != aus);
    QCOMPARE(ContactLogicBox::picture(1, 2.0).toImage().size(), QSize(82, 32));
}

void TestSettingsDialog::numberFieldsKeepEscapeAndEnter_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("shown");
    // Filled with the settings of a first start: 10,0 s, 5,0 s, 50 m; "7" typed over them.
    const QList<std::pair<const char*, const char*>> fields{
        {"seTimer", "10,0"}, {"seWait", "5,0"}, {"seLen", "50"}};
    for (const auto& [field, entered] : fields) {
        QTest::addRow("%s Escape", field) << field << int(Qt::Key_Escape) << entered;
        QTest::addRow("%s Return", field) << field << int(Qt::Key_Return) << "7";
        QTest::addRow("%s Enter", field) << field << int(Qt::Key_Enter) << "7";
    }
}

void TestSettingsDialog::numberFieldsKeepEscapeAndEnter() {
    QFETCH(QString, field);
    QFETCH(int, key);
    QFETCH(QString, shown);
    FakeFileDialogs files;
    SettingsDialog dialog(ports, u',', files);
    Settings settings;
    settings.port = 3; // the stop lock is for a chosen port only
    dialog.fill(settings);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* edit = dialog.findChild<DecimalSpinBox*>(field);
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_7);
    QTest::keyClick(edit, Qt::Key(key));
    // The key stays in the field: the dialog neither closes nor takes its default button.
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(edit->text(), shown);
    QVERIFY(edit->hasFocus());
}

int main(int argc, char* argv[]) {
    OffscreenScreens::use({QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)});
    QApplication app(argc, argv);
    TestSettingsDialog test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_settingsdialog.moc"
