#include "ui/window/QtGermanTranslation.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// Qt's standard texts speak German once the translation is installed, whatever the system's
// language; without the catalogue they stay as they were.
class TestQtGermanTranslation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void standardTexts_data();
    void standardTexts();
};

namespace {

// A standard button's text, or for "menu" the first entry of a line edit's context menu (the
// one of the "Titel:" field).
QString standardText(const QString& which) {
    if (which == QLatin1String("menu")) {
        QLineEdit edit(QStringLiteral("Titel"));
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        return menu->actions().constFirst()->text().section(u'\t', 0, 0).remove(u'&');
    }
    const auto button =
        which == QLatin1String("Cancel") ? QDialogButtonBox::Cancel : QDialogButtonBox::Close;
    return QDialogButtonBox(button).button(button)->text().remove(u'&');
}

} // namespace

void TestQtGermanTranslation::standardTexts_data() {
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("german");
    QTest::newRow("Cancel") << "Cancel"
                            << "Cancel"
                            << "Abbrechen";
    QTest::newRow("Close") << "Close"
                           << "Close"
                           << "Schließen";
    QTest::newRow("line edit menu") << "menu"
                                    << "Undo"
                                    << "Rückgängig";
}

void TestQtGermanTranslation::standardTexts() {
    QFETCH(QString, which);
    QFETCH(QString, english);
    QFETCH(QString, german);
    // The test must not pass because the machine happens to speak German.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(standardText(which), english);
    {
        QTemporaryDir empty;
        const QtGermanTranslation missing(empty.path());
        QVERIFY(!missing.installed());
        QCOMPARE(standardText(which), english);
    }
    {
        const QtGermanTranslation translation;
        QVERIFY2(translation.installed(), qPrintable(QtGermanTranslation::installedFolder()));
        QCOMPARE(standardText(which), german);
    }
    QCOMPARE(standardText(which), english);
}

QTEST_MAIN(TestQtGermanTranslation)
#include "tst_qtgermantranslation.moc"
