#include "session/UploadSetup.h"

#include "cup/CupDocument.h"
#include "cup/CupHtmlPage.h"
#include "platform/ProgramPaths.h"
#include "settings/Settings.h"

#include <QCryptographicHash>
#include <QDir>

namespace UploadSetup {

QString defaultKnownHosts() {
    return QDir::homePath() + QStringLiteral("/.ssh/known_hosts");
}

UploadTarget target(const Settings& settings) {
    UploadTarget target;
    target.url = settings.uploadUrl.trimmed();
    target.user = settings.uploadUser;
    target.password = settings.uploadPassword;
    target.caFile = settings.uploadCaFile;
    target.knownHosts =
        settings.uploadKnownHosts.isEmpty() ? defaultKnownHosts() : settings.uploadKnownHosts;
    target.keyFile = settings.uploadKeyFile;
    target.intervalS = settings.uploadInterval;
    return target;
}

QString queueFolder(const ProgramPaths& paths, const QString& url) {
    const QByteArray name =
        QCryptographicHash::hash(url.trimmed().toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return paths.writableFolder() + paths.programTitle() + QStringLiteral("-Webspace/") +
           QString::fromLatin1(name) + u'/';
}

WebUploader::Round round(const LiveSnapshot& snapshot, double serverTimeMs,
                         const Settings& settings, const CupDocument& cup) {
    WebUploader::Round round;
    round.snapshot = snapshot;
    round.serverTimeMs = serverTimeMs;
    // The pages read the broker only while the program publishes there.
    if (settings.mqttEnabled)
        round.reader =
            LiveStaticSite::Reader{settings.mqttReaderUrl.trimmed(), settings.mqttPrefix};
    if (cup.isOpen())
        // A copy of the standings: the page is written on the uploader's thread.
        round.cupPage = [standings = cup.standings(), name = cup.definition().name,
                         scoring = cup.definition().rules.scoring] {
            return CupHtmlPage::pageBytes(standings, name, scoring);
        };
    return round;
}

} // namespace UploadSetup
