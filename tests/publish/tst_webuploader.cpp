#include "mock/FileBytes.h"
#include "mock/NginxServer.h"
#include "mock/SshServer.h"
#include "publish/UploadProbe.h"
#include "publish/WebUploader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <sys/stat.h>

// The live pages on real servers: OpenSSH's sshd for SFTP and nginx for WebDAV, started here on
// 127.0.0.1. Files go up whole and only when changed, the newest state arrives after the link
// came back and after a restart, and a failure is told in plain words.
class TestWebUploader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void filesGoUpWholeAndOnlyWhenChanged_data();
    void filesGoUpWholeAndOnlyWhenChanged();
    void newestStateArrivesWhenTheLinkReturns();
    void restartSendsWhatWasQueued();
    void stateStampedAnewWhileARunGoes();
    void connectionTestSaysWhatFailed_data();
    void connectionTestSaysWhatFailed();

private:
    std::unique_ptr<SshServer> m_ssh;
    std::unique_ptr<NginxServer> m_dav;
};

namespace {

const QString kUser = QStringLiteral("verein");
const QString kPassword = QStringLiteral("geheim 1");

// What the uploader is handed: the test changes it between rounds.
struct Race {
    LiveSnapshot snapshot;
    double now = 1000;
    WebUploader::Source source() {
        return [this] {
            return WebUploader::Round{snapshot, now, {}, {}};
        };
    }
};

UploadTarget sftpTarget(const SshServer& ssh, const QString& folder) {
    return {ssh.url(folder), ssh.user(), {}, {}, ssh.knownHosts(), ssh.clientKey(), 1};
}

UploadTarget davTarget(const NginxServer& dav, const QString& folder) {
    return {dav.url(folder), kUser, kPassword, {}, {}, {}, 1};
}

quint64 inode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? quint64(info.st_ino) : 0;
}

// What a reader of the host finds in state.json: never part of a file, and never an older
// version after a newer one.
struct Reader {
    explicit Reader(QString f) : folder(std::move(f)) {}
    QString folder;
    QList<qint64> versions;
    QStringList titles;
    bool torn = false;
    void look() {
        const QByteArray bytes = FileBytes::readFile(folder + QStringLiteral("state.json"));
        const QJsonObject state = QJsonDocument::fromJson(bytes).object();
        torn = torn || (state.isEmpty() && bytes != "<unreadable>");
        if (state.isEmpty())
            return;
        const qint64 version = state.value(QStringLiteral("v")).toInteger();
        if (versions.isEmpty() || versions.last() != version) {
            versions << version;
            titles << state.value(QStringLiteral("state")).toObject().value("title").toString();
        }
    }
    bool waitForTitle(const QString& title, int ms = 30000) {
        return QTest::qWaitFor([&] { return look(), !titles.isEmpty() && titles.last() == title; },
                               ms);
    }
    bool inOrder() const { return !torn && std::is_sorted(versions.begin(), versions.end()); }
};

} // namespace

void TestWebUploader::initTestCase() {
    if (QFileInfo::exists(SshServer::program())) {
        m_ssh = std::make_unique<SshServer>();
        QVERIFY2(m_ssh->start(), qPrintable(m_ssh->error()));
    }
    if (QFileInfo::exists(NginxServer::program())) {
        m_dav = std::make_unique<NginxServer>(kUser, kPassword);
        QVERIFY2(m_dav->start(), qPrintable(m_dav->error()));
    }
}

void TestWebUploader::filesGoUpWholeAndOnlyWhenChanged_data() {
    QTest::addColumn<bool>("sftp");
    QTest::newRow("SFTP") << true;
    QTest::newRow("WebDAV") << false;
}

void TestWebUploader::filesGoUpWholeAndOnlyWhenChanged() {
    QFETCH(bool, sftp);
    if (sftp ? !m_ssh : !m_dav)
        QSKIP(sftp ? "sshd is missing (apt-get install openssh-server)"
                   : "nginx is missing (apt-get install nginx-light)");
    const QString folder = (sftp ? m_ssh->folder() : m_dav->root()) + QStringLiteral("ganz/") +
                           QTest::currentDataTag();
    QVERIFY(QDir().mkpath(folder));
    const QString sub = QStringLiteral("ganz/%1/").arg(QTest::currentDataTag());
    QTemporaryDir queue;
    Race race;
    race.snapshot.title = QStringLiteral("Vereinsmeisterschaft");
    WebUploader uploader(sftp ? sftpTarget(*m_ssh, sub) : davTarget(*m_dav, sub), queue.path(),
                         race.source());
    uploader.start();
    uploader.sourceChanged();
    Reader reader(folder + u'/');
    QVERIFY2(reader.waitForTitle(race.snapshot.title), qPrintable(uploader.statusText()));
    QVERIFY(QTest::qWaitFor([&] { return uploader.statusText().startsWith("Hochgeladen"); }));
    const QDir site(folder);
    QCOMPARE(site.entryList(QDir::Files | QDir::Hidden),
             QStringList({"index.html", "live.css", "live.js", "mqtt.js", "overlay.css",
                          "state.json", "top3.html", "zeit.html"}));
    const QByteArray page = FileBytes::readFile(site.filePath("index.html"));
    QVERIFY(page.endsWith("</html>\n") && page.contains("Vereinsmeisterschaft"));
    const quint64 pageBefore = inode(site.filePath("index.html"));
    const quint64 scriptBefore = inode(site.filePath("live.js"));

    // Only the clock moved: state.json alone goes up again.
    race.now += 5000;
    uploader.sourceChanged();
    QVERIFY(QTest::qWaitFor([&] { return reader.look(), reader.versions.size() == 2; }, 10000));
    QCOMPARE(inode(site.filePath("index.html")), pageBefore);
    race.snapshot.title = QStringLiteral("Vereinsmeisterschaft, 2. Tag");
    uploader.sourceChanged();
    QVERIFY(reader.waitForTitle(race.snapshot.title));
    QVERIFY(inode(site.filePath("index.html")) != pageBefore);
    QCOMPARE(inode(site.filePath("live.js")), scriptBefore);
    QVERIFY(reader.inOrder());
    QCOMPARE(site.entryList(QDir::Files | QDir::Hidden).size(), 8);
    uploader.shutdown();
}

void TestWebUploader::newestStateArrivesWhenTheLinkReturns() {
    if (!m_dav)
        QSKIP("nginx is missing (apt-get install nginx-light)");
    QTemporaryDir queue;
    Race race;
    race.snapshot.title = QStringLiteral("Lauf 0");
    WebUploader uploader(davTarget(*m_dav, "kabel/"), queue.path(), race.source());
    uploader.start();
    uploader.sourceChanged();
    Reader reader(m_dav->root() + QStringLiteral("kabel/"));
    QVERIFY(reader.waitForTitle("Lauf 0"));
    m_dav->stop();
    for (int run = 1; run <= 3; ++run) {
        race.snapshot.title = QStringLiteral("Lauf %1").arg(run);
        race.now += 1000;
        uploader.sourceChanged();
        QTest::qWait(1200);
    }
    QVERIFY(uploader.isFailing());
    QVERIFY2(uploader.statusText().contains("Verbindung abgelehnt"),
             qPrintable(uploader.statusText()));
    QVERIFY(m_dav->start());
    QVERIFY2(reader.waitForTitle("Lauf 3", 40000), qPrintable(uploader.statusText()));
    QVERIFY(QTest::qWaitFor([&] { return !uploader.isFailing(); }));
    // Whatever was in between, no reader saw an older state after a newer one.
    QVERIFY(reader.inOrder());
    QVERIFY(!reader.titles.contains("Lauf 1") ||
            reader.titles.indexOf("Lauf 1") < reader.titles.indexOf("Lauf 3"));
}

void TestWebUploader::restartSendsWhatWasQueued() {
    if (!m_dav)
        QSKIP("nginx is missing (apt-get install nginx-light)");
    QTemporaryDir queue;
    Race race;
    race.snapshot.title = QStringLiteral("Vor dem Neustart");
    m_dav->stop();
    {
        WebUploader before(davTarget(*m_dav, "neustart/"), queue.path(), race.source());
        before.start();
        before.sourceChanged();
        QVERIFY(QTest::qWaitFor([&] { return before.isFailing(); }, 10000));
    }
    QVERIFY(m_dav->start());
    race.snapshot.title = QStringLiteral("nie übergeben");
    WebUploader after(davTarget(*m_dav, "neustart/"), queue.path(), race.source());
    after.start();
    Reader reader(m_dav->root() + QStringLiteral("neustart/"));
    QVERIFY2(reader.waitForTitle("Vor dem Neustart"), qPrintable(after.statusText()));
    QVERIFY(QTest::qWaitFor([&] { return after.statusText().startsWith("Hochgeladen"); }));
}

void TestWebUploader::stateStampedAnewWhileARunGoes() {
    if (!m_dav)
        QSKIP("nginx is missing (apt-get install nginx-light)");
    QVERIFY(QDir().mkpath(m_dav->root() + QStringLiteral("lauf")));
    QTemporaryDir queue;
    Race race;
    race.snapshot.clock.state = LiveSnapshot::Clock::State::Running;
    WebUploader uploader(davTarget(*m_dav, QStringLiteral("lauf/")), queue.path(), race.source());
    uploader.start();
    uploader.sourceChanged();
    Reader reader(m_dav->root() + QStringLiteral("lauf/"));
    QVERIFY(QTest::qWaitFor([&] { return reader.look(), !reader.versions.isEmpty(); }));
    // Nothing changed but the time: the readers still learn that the clock runs.
    race.now += WebUploader::refreshWhileRunningMs;
    QVERIFY(QTest::qWaitFor([&] { return reader.look(), reader.versions.size() == 2; },
                            WebUploader::refreshWhileRunningMs + 10000));
    // A stopped clock needs no news.
    race.snapshot.clock.state = LiveSnapshot::Clock::State::Stopped;
    uploader.sourceChanged();
    QVERIFY(QTest::qWaitFor([&] { return reader.look(), reader.versions.size() == 3; }));
    QTest::qWait(WebUploader::refreshWhileRunningMs + 2000);
    reader.look();
    QCOMPARE(reader.versions.size(), 3);
    uploader.shutdown();
}

void TestWebUploader::connectionTestSaysWhatFailed_data() {
    // What is wrong ("user", "hostkey", "password" or a folder) and what the test says.
    QTest::addColumn<bool>("sftp");
    QTest::addColumn<QStringList>("fault");
    QTest::newRow("SFTP in order") << true << QStringList{"", "Verbindung in Ordnung"};
    QTest::newRow("SFTP user unknown") << true << QStringList{"user", "Anmeldung abgelehnt"};
    QTest::newRow("SFTP host key unknown") << true << QStringList{"hostkey", "Host-Schlüssel"};
    QTest::newRow("SFTP folder missing") << true << QStringList{"fehlt/", "Ordner /"};
    QTest::newRow("WebDAV in order") << false << QStringList{"", "Verbindung in Ordnung"};
    QTest::newRow("WebDAV password") << false << QStringList{"password", "Anmeldung abgelehnt"};
    QTest::newRow("WebDAV disk full") << false << QStringList{"voll/", "Speicherplatz auf"};
}

void TestWebUploader::connectionTestSaysWhatFailed() {
    QFETCH(bool, sftp);
    QFETCH(QStringList, fault);
    const QString expected = fault[1];
    if (sftp ? !m_ssh : !m_dav)
        QSKIP("the server for this protocol is missing (openssh-server, nginx-light)");
    const QString folder = fault[0].endsWith(u'/') ? fault[0] : QString();
    UploadTarget target = sftp ? sftpTarget(*m_ssh, folder) : davTarget(*m_dav, folder);
    if (fault[0] == "user")
        target.user = QStringLiteral("niemand");
    if (fault[0] == "hostkey")
        target.knownHosts = QStringLiteral("/dev/null");
    if (fault[0] == "password")
        target.password = QStringLiteral("falsch");
    UploadProbe probe;
    QSignalSpy finished(&probe, &UploadProbe::finished);
    probe.test(target);
    QVERIFY(finished.wait(UploadProbe::timeoutMs + 1000));
    const QString text = finished.first().at(0).toString();
    QVERIFY2(text.contains(expected), qPrintable(text));
    QCOMPARE(finished.first().at(1).toBool(), expected.startsWith("Verbindung in Ordnung"));
    // The test file is taken away again.
    const QString disk = sftp ? m_ssh->folder() : m_dav->root();
    QVERIFY(!QFileInfo::exists(disk + UploadProbe::testFileName()));
}

QTEST_GUILESS_MAIN(TestWebUploader)
#include "tst_webuploader.moc"
