#include "live/LiveStaticSite.h"

#include "live/LivePageRenderer.h"
#include "live/LiveStateDocument.h"
#include "output/ProtocolPage.h"

#include <QFile>

namespace {

QByteArray resourceBytes(const QString& name) {
    QFile file(QStringLiteral(":/live/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray attribute(const QString& text) {
    return ProtocolPage::escapeHtml(text).replace(u'"', QStringLiteral("&quot;")).toUtf8();
}

} // namespace

namespace LiveStaticSite {

QByteArray sourceTag(const Reader& reader) {
    if (reader.mqttUrl.trimmed().isEmpty())
        return "<meta name=\"velmora-source\" content=\"static\" data-state=\"state.json\">";
    return "<meta name=\"velmora-source\" content=\"mqtt\" data-url=\"" +
           attribute(reader.mqttUrl.trimmed()) + "\" data-prefix=\"" +
           attribute(reader.mqttPrefix) + "\">";
}

QByteArray staticPage(const QByteArray& page, const Reader& reader) {
    QByteArray out = page;
    // The server's pages name their files from the root of the server; on a web host the
    // site lives in a folder of its own.
    out.replace("href=\"/", "href=\"");
    out.replace("src=\"/", "src=\"");
    const qsizetype head = out.indexOf("</head>");
    if (head >= 0)
        out.insert(head, sourceTag(reader) + '\n');
    return out;
}

QList<File> build(const LiveSnapshot& snapshot, const Reader& reader, const Stamp& stamp,
                  const QByteArray& cupPage) {
    QList<File> files;
    for (const QString& name :
         {QStringLiteral("index.html"), QStringLiteral("zeit.html"), QStringLiteral("top3.html")}) {
        const QByteArray page = LivePageRenderer::render(resourceBytes(name), snapshot);
        files.append({name, staticPage(page, reader)});
    }
    // mqtt.js is loaded by live.js only when the pages read from the broker; it goes up
    // always, so switching the reader in the settings needs no new round of all files.
    for (const QString& name : {QStringLiteral("live.css"), QStringLiteral("overlay.css"),
                                QStringLiteral("live.js"), QStringLiteral("mqtt.js")})
        files.append({name, resourceBytes(name)});
    if (!cupPage.isEmpty())
        files.append({QStringLiteral("cup.html"), cupPage});
    files.append({QStringLiteral("state.json"),
                  LiveStateDocument::envelope(LiveStateDocument::stateBytes(snapshot),
                                              stamp.serverTimeMs, stamp.epoch, stamp.version)});
    return files;
}

} // namespace LiveStaticSite
