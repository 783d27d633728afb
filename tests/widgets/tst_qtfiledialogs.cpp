#include "widgets/QtFileDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The desktop's save and open dialogs as the program sets them up: the type shown first, the
// type the operator leaves selected, and the suffix a typed name gets from that type.
class TestQtFileDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void saveDialog_data();
    void saveDialog();
    void openDialogCancel();

private:
    // Runs once the dialog is up: switches to the given type (0-based, -1 keeps it), types the
    // name and presses OK; remembers the type the dialog showed first.
    void operate(int switchTo, const QString& typed, bool cancel = false);
    QString m_shownFirst;
    bool m_seen = false;
};

namespace {

const QStringList kFilters{"Textdatei (*.txt)", "MS Excel (*.csv)", "MS Word (*.doc)",
                           "Webseite (*.html)"};

} // namespace

void TestQtFileDialogs::operate(int switchTo, const QString& typed, bool cancel) {
    m_seen = false;
    m_shownFirst.clear();
    auto* timer = new QTimer(this);
    timer->setInterval(10);
    connect(timer, &QTimer::timeout, this, [=, this] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->deleteLater();
        m_seen = true;
        m_shownFirst = dialog->selectedNameFilter();
        if (cancel) {
            dialog->reject();
            return;
        }
        if (switchTo >= 0) {
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QVERIFY(types);
            types->setCurrentIndex(switchTo);
        }
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(typed);
        QTest::keyClick(name, Qt::Key_Return);
    });
    timer->start();
}

void TestQtFileDialogs::saveDialog_data() {
    QTest::addColumn<int>("initial");
    QTest::addColumn<int>("switchTo");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::newRow("text as shown") << 1 << -1 << "lauf"
                                   << "lauf.txt" << 1;
    QTest::newRow("stored csv") << 2 << -1 << "lauf"
                                << "lauf.csv" << 2;
    QTest::newRow("switched to web page") << 1 << 3 << "lauf"
                                          << "lauf.html" << 4;
    QTest::newRow("own suffix kept") << 4 << 1 << "lauf.dat"
                                     << "lauf.dat" << 2;
    QTest::newRow("stored index out of range") << 7 << -1 << "lauf"
                                               << "lauf.txt" << 1;
}

void TestQtFileDialogs::saveDialog() {
    QFETCH(int, initial);
    QFETCH(int, switchTo);
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(int, index);
    QTemporaryDir dir;
    QtFileDialogs dialogs;
    const FileDialogs::Request request{kFilters, initial, QStringLiteral("2009-05-17-Quarnek-de"),
                                       QStringLiteral("txt")};
    operate(switchTo, dir.filePath(typed));
    const auto choice = dialogs.saveFile(nullptr, request);
    QVERIFY(m_seen);
    QCOMPARE(m_shownFirst, kFilters.value(initial - 1, kFilters.first()));
    QVERIFY(choice);
    QCOMPARE(choice->fileName, dir.filePath(name));
    QCOMPARE(choice->filterIndex, index);
}

void TestQtFileDialogs::openDialogCancel() {
    QtFileDialogs dialogs;
    operate(-1, QString(), true);
    const FileDialogs::Request request{{kFilters.first()}, 1, QString(), QStringLiteral("txt")};
    QVERIFY(!dialogs.openFile(nullptr, request));
    QVERIFY(m_seen);
    QCOMPARE(m_shownFirst, kFilters.first());
}

QTEST_MAIN(TestQtFileDialogs)
#include "tst_qtfiledialogs.moc"
