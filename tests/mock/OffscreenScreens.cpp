#include "mock/OffscreenScreens.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>

namespace OffscreenScreens {

void use(const QList<QRect>& screens) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "offscreen")
        return;
    QJsonArray list;
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const QRect& r = screens[i];
        list.append(QJsonObject{{"name", QStringLiteral("screen%1").arg(i)},
                                {"x", r.x()},
                                {"y", r.y()},
                                {"width", r.width()},
                                {"height", r.height()},
                                {"logicalDpi", 96},
                                {"logicalBaseDpi", 96},
                                {"dpr", 1.0}});
    }
    // Read when the platform starts, so it lives as long as the process.
    static QTemporaryFile file(QDir::tempPath() + QStringLiteral("/velmora-screens-XXXXXX.json"));
    if (!file.open())
        return;
    file.resize(0);
    file.write(QJsonDocument(QJsonObject{{"screens", list}}).toJson());
    file.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(file.fileName()));
}

} // namespace OffscreenScreens
