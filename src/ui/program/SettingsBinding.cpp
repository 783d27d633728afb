#include "ui/program/SettingsBinding.h"

#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "ui/window/WindowPlacement.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>
#include <array>

void SettingsBinding::apply(QWidget& window, QLineEdit& title, Settings& settings,
                            SettingsLoad& loaded) {
    // The placement comes first in the store; where reading stopped, the rest is the window's.
    // The position counts with the frame and the size without it, in both directions, so a
    // window put back where it was stays there run after run.
    const std::array<int*, 4> placement{&settings.left, &settings.top, &settings.width,
                                        &settings.height};
    const std::array<int, 4> windowOwn{window.x(), window.y(), window.width(), window.height()};
    const qsizetype read = loaded.stoppedAt
                               ? SettingsStore::readingOrder().indexOf(*loaded.stoppedAt)
                               : qsizetype(placement.size());
    for (qsizetype i = qMax<qsizetype>(read, 0); i < qsizetype(placement.size()); ++i)
        *placement[i] = windowOwn[i];
    keepOnPresentScreens(settings);
    loaded.asLoaded.left = settings.left;
    loaded.asLoaded.top = settings.top;
    loaded.asLoaded.width = settings.width;
    loaded.asLoaded.height = settings.height;

    window.move(settings.left, window.y());
    window.move(window.x(), settings.top);
    window.resize(settings.width, window.height());
    window.resize(window.width(), settings.height);
    if (!settings.title.isEmpty())
        title.setText(settings.title);
}

QString SettingsBinding::damagedNotice(const SettingsLoad& loaded) {
    if (!loaded.stoppedAt || !loaded.damagedText)
        return QString();
    return QStringLiteral("Einstellungen beschädigt: „") + *loaded.stoppedAt + u'=' +
           *loaded.damagedText +
           QStringLiteral("“ – ab diesem Wert gelten die Vorgaben; die gespeicherten Werte "
                          "bleiben, bis sie geändert werden.");
}

void SettingsBinding::keepOnPresentScreens(Settings& settings) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (screens.isEmpty() || !primary)
        return;
    QList<QRect> bounds;
    for (const QScreen* screen : screens)
        bounds.append(screen->geometry());
    const QRect placed = WindowPlacement::onPresentScreens(
        QRect(settings.left, settings.top, settings.width, settings.height), bounds,
        primary->availableGeometry());
    settings.left = placed.x();
    settings.top = placed.y();
    settings.width = placed.width();
    settings.height = placed.height();
}

void SettingsBinding::collect(const QWidget& window, const QLineEdit& title, Settings& settings) {
    settings.left = window.x();
    settings.top = window.y();
    settings.width = window.width();
    settings.height = window.height();
    settings.title = title.text();
}
