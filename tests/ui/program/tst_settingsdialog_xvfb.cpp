#include "mock/TimingWindowFixture.h"
#include "ui/program/SettingsCommand.h"
#include "ui/program/SettingsDialog.h"
#include "ui/window/MainWindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>

// The settings dialog on a real X server with a window manager, also at 200 %: every row
// reads whole, and the dialog keeps the keyboard until it is closed.
class TestSettingsDialogXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyTextFits();
};

void TestSettingsDialogXvfb::everyTextFits() {
    TimingWindowFixture f(QStringLiteral("/dev/ttyUSB0"));
    SettingsDialog& dialog = f.window().settingsCommand().createDialog();
    QStringList clipped;
    bool active = false;
    QSize size;
    QTimer::singleShot(0, &dialog, [&] {
        active = QTest::qWaitForWindowActive(&dialog);
        size = dialog.size();
        const QRect inside = dialog.rect();
        for (QWidget* child : dialog.findChildren<QWidget*>()) {
            if (!child->isVisible() || child->parentWidget() != &dialog)
                continue;
            const QRect place = child->geometry();
            if (!inside.contains(place))
                clipped.append(child->objectName() + QStringLiteral(" outside"));
            const bool text = qobject_cast<QLabel*>(child) || qobject_cast<QAbstractButton*>(child);
            if (text && place.width() < child->sizeHint().width())
                clipped.append(child->objectName() + QStringLiteral(" narrow ") +
                               (qobject_cast<QLabel*>(child)
                                    ? qobject_cast<QLabel*>(child)->text()
                                    : qobject_cast<QAbstractButton*>(child)->text()));
        }
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QTest::keyClick(&f.window(), Qt::Key_F2);
    QVERIFY(active);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral(", "))));
    QVERIFY(size.width() >= SettingsDialog::DesignedSize.width());
    QVERIFY(size.height() >= SettingsDialog::DesignedSize.height());
    qInfo("dialog %dx%d", size.width(), size.height());
}

QTEST_MAIN(TestSettingsDialogXvfb)
#include "tst_settingsdialog_xvfb.moc"
