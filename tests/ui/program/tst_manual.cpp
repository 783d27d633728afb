#include "mock/WindowFixture.h"
#include "ui/window/MainWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

QString manualFolder() {
    return QStringLiteral(VELMORA_SOURCE_DIR "/data");
}

QString readManual() {
    QFile file(manualFolder() + QStringLiteral("/Velmora.html"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// How the manual writes a key: Ctrl+Shift+Tab is
// <kbd>Strg</kbd>+<kbd>Umschalt</kbd>+<kbd>Tab</kbd>.
QString keysAsWritten(const QKeySequence& keys) {
    const QHash<QString, QString> german{{QStringLiteral("Ctrl"), QStringLiteral("Strg")},
                                         {QStringLiteral("Shift"), QStringLiteral("Umschalt")}};
    QStringList parts;
    for (const QString& key : keys.toString(QKeySequence::PortableText).split(u'+'))
        parts.append(QStringLiteral("<kbd>%1</kbd>").arg(german.value(key, key)));
    return parts.join(u'+');
}

QStringList matches(const QString& text, const QString& pattern) {
    QStringList found;
    auto it = QRegularExpression(pattern).globalMatch(text);
    while (it.hasNext())
        found.append(it.next().captured(1));
    return found;
}

} // namespace

// The German manual shown by F1 names every command the window offers, with its key, and
// holds together: its links lead somewhere and its pictures are there.
class TestManual : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyMenuEntryIsDescribed_data();
    void everyMenuEntryIsDescribed();
    void linksAndPicturesResolve_data();
    void linksAndPicturesResolve();
    void everyChapterIsInTheContents();

private:
    QString m_manual;
};

void TestManual::initTestCase() {
    m_manual = readManual();
    QVERIFY2(m_manual.contains(QStringLiteral("</html>")), "the manual could not be read whole");
}

void TestManual::everyMenuEntryIsDescribed_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("keys");
    InstallationFixture install;
    SessionWindow window(install.environment());
    QSet<QString> seen;
    for (const QMenu* menu : window.findChildren<QMenu*>()) {
        for (const QAction* action : menu->actions()) {
            QString caption = action->text();
            caption.remove(u'&');
            if (action->isSeparator() || caption.isEmpty() || seen.contains(caption))
                continue;
            seen.insert(caption);
            QTest::newRow(qPrintable(menu->title().remove(u'&') + QStringLiteral(" / ") + caption))
                << caption << action->shortcut();
        }
    }
    QVERIFY(seen.size() >= 25);
}

void TestManual::everyMenuEntryIsDescribed() {
    QFETCH(QString, caption);
    QFETCH(QKeySequence, keys);
    const QString quoted = u'„' + caption + u'“';
    QVERIFY2(m_manual.contains(quoted), qPrintable(quoted + QStringLiteral(" is not described")));
    if (keys.isEmpty())
        return;
    // The key stands in the same table row or sentence as the entry.
    const QString written = keysAsWritten(keys);
    bool nearby = false;
    for (qsizetype at = m_manual.indexOf(quoted); at >= 0 && !nearby;
         at = m_manual.indexOf(quoted, at + 1))
        nearby = m_manual.mid(at, 400).contains(written);
    QVERIFY2(nearby, qPrintable(written + QStringLiteral(" is not given with ") + quoted));
}

void TestManual::linksAndPicturesResolve_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("target");
    const QString manual = readManual();
    for (const QString& anchor : matches(manual, QStringLiteral("href=\"#([^\"]+)\"")))
        QTest::newRow(qPrintable(QStringLiteral("link #") + anchor)) << "anchor" << anchor;
    for (const QString& picture : matches(manual, QStringLiteral("<img src=\"([^\"]+)\"")))
        QTest::newRow(qPrintable(QStringLiteral("picture ") + picture)) << "picture" << picture;
}

void TestManual::linksAndPicturesResolve() {
    QFETCH(QString, kind);
    QFETCH(QString, target);
    if (kind == u"anchor") {
        QVERIFY(m_manual.contains(QStringLiteral("id=\"%1\"").arg(target)));
        return;
    }
    // Pictures lie beside the manual, so the installed copy finds them the same way.
    QVERIFY(!target.contains(u'/'));
    const QString path = QDir(manualFolder()).filePath(target);
    QImageReader reader(path);
    QVERIFY2(reader.canRead(), qPrintable(path));
    QCOMPARE(reader.format(), QByteArray("png"));
    // Kept small: the package carries every picture.
    QVERIFY(QFileInfo(path).size() < 200 * 1024);
}

void TestManual::everyChapterIsInTheContents() {
    const QStringList chapters = matches(m_manual, QStringLiteral("<h2 id=\"([^\"]+)\""));
    const QStringList contents = matches(m_manual, QStringLiteral("<li><a href=\"#([^\"]+)\""));
    QVERIFY(chapters.size() >= 15);
    QCOMPARE(contents, chapters);
}

QTEST_MAIN(TestManual)
#include "tst_manual.moc"
