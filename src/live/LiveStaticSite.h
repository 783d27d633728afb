#pragma once

#include "live/LiveSnapshot.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

// The live pages as files a web host serves without the program: the pages filled with the
// state as the program's own server fills them, their scripts and styles, and state.json, which
// the pages poll there instead of the program's event stream. Every link is relative, so the
// site works in any folder of a web host or behind a CDN.
namespace LiveStaticSite {

struct File {
    QString name;
    QByteArray bytes;
    bool operator==(const File&) const = default;
};

// Where the pages read the changes from: state.json beside them, or the MQTT broker over
// websockets when a URL for readers is given.
struct Reader {
    QString mqttUrl;
    QString mqttPrefix;
    bool operator==(const Reader&) const = default;
};

// What state.json carries besides the state: the program's clock when the state was taken, and
// the site's run and version, which only ever grow, so a reader can tell newer from older.
struct Stamp {
    double serverTimeMs = 0;
    QByteArray epoch;
    qint64 version = 0;
};

// Every file of the site, state.json last: it names what the others must already show. With a
// cup page (the cup open), cup.html beside them.
QList<File> build(const LiveSnapshot& snapshot, const Reader& reader, const Stamp& stamp,
                  const QByteArray& cupPage = {});

// The <meta name="velmora-source"> element that tells the pages' script where to read.
QByteArray sourceTag(const Reader& reader);
// A page of the program's server as the web host serves it: links made relative, the source
// tag in its head.
QByteArray staticPage(const QByteArray& page, const Reader& reader);

} // namespace LiveStaticSite
