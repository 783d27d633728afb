#include "mock/NginxServer.h"
#include "mock/SessionFixture.h"
#include "publish/WebUploader.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

// The upload settings applied while the program runs: the session's race reaches the web host,
// a restart brings the uploader back, and switching off stops the uploader.
class TestRaceSessionUpload : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void raceReachesTheHost();
};

namespace {

QString hostedTitle(const QString& folder) {
    QFile file(folder + QStringLiteral("state.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonObject state = QJsonDocument::fromJson(file.readAll()).object();
    return state.value("state").toObject().value("title").toString();
}

} // namespace

void TestRaceSessionUpload::raceReachesTheHost() {
    if (!QFile::exists(NginxServer::program()))
        QSKIP("nginx is missing (apt-get install nginx-light)");
    NginxServer dav(QStringLiteral("verein"), QStringLiteral("geheim"));
    QVERIFY2(dav.start(), qPrintable(dav.error()));
    SessionFixture f;
    QVERIFY(!f.session().upload());
    Settings& settings = f.session().settings();
    settings.uploadEnabled = true;
    settings.uploadUrl = dav.url(QStringLiteral("live/"));
    settings.uploadUser = QStringLiteral("verein");
    settings.uploadPassword = QStringLiteral("geheim");
    settings.uploadInterval = 1;
    f.session().setTitle(QStringLiteral("Kreismeisterschaft"));
    QSignalSpy status(&f.session(), &RaceSession::uploadStatusChanged);
    f.session().applyUpload();
    QVERIFY(f.session().upload());
    const QString folder = dav.root() + QStringLiteral("live/");
    QTRY_COMPARE_WITH_TIMEOUT(hostedTitle(folder), QStringLiteral("Kreismeisterschaft"), 15000);
    QTRY_VERIFY(!status.isEmpty() && status.last().at(0).toString().startsWith("Hochgeladen"));

    // Unchanged settings keep the uploader; after a restart it comes again from the stored
    // settings and password.
    const WebUploader* first = f.session().upload();
    f.session().applyUpload();
    QCOMPARE(f.session().upload(), first);
    f.restartSession();
    QVERIFY(f.session().upload());
    QTRY_COMPARE_WITH_TIMEOUT(hostedTitle(folder), f.session().audienceText().title, 20000);

    f.session().settings().uploadEnabled = false;
    f.session().applyUpload();
    QVERIFY(!f.session().upload());
}

QTEST_MAIN(TestRaceSessionUpload)
#include "tst_racesession_upload.moc"
