#include "ui/SettingsBinding.h"

#include "competition/Competition.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "ui/ProgramEnvironment.h"
#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QWidget>

SettingsBinding::SettingsBinding(const ProgramEnvironment& environment, Settings& settings)
    : m_environment(environment), m_settings(settings) {}

SettingsLoad SettingsBinding::load(QWidget& window, QLineEdit& title, Competition& competition) {
    // The position counts with the frame and the size without it, in both directions, so a
    // window put back where it was stays there run after run.
    m_settings.left = window.x();
    m_settings.top = window.y();
    m_settings.width = window.width();
    m_settings.height = window.height();
    const SettingsStore store(m_environment.openSettings());
    SettingsLoad loaded;
    loaded.stoppedAt = store.load(m_settings);
    if (loaded.stoppedAt)
        loaded.damagedText = store.storedText(*loaded.stoppedAt);
    keepOnPresentScreens();
    loaded.asLoaded = m_settings;

    window.move(m_settings.left, window.y());
    window.move(window.x(), m_settings.top);
    window.resize(m_settings.width, window.height());
    window.resize(window.width(), m_settings.height);
    if (!m_settings.title.isEmpty())
        title.setText(m_settings.title);
    competition.setTimeFormat(TimeFormat(m_settings.vidResult, m_environment.decimalSeparator()));
    return loaded;
}

QString SettingsBinding::damagedNotice(const SettingsLoad& loaded) {
    if (!loaded.stoppedAt || !loaded.damagedText)
        return QString();
    return QStringLiteral("Einstellungen beschädigt: „") + *loaded.stoppedAt + u'=' +
           *loaded.damagedText +
           QStringLiteral("“ – ab diesem Wert gelten die Vorgaben; die gespeicherten Werte "
                          "bleiben, bis sie geändert werden.");
}

void SettingsBinding::keepOnPresentScreens() {
    const QList<QScreen*> screens = QGuiApplication::screens();
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (screens.isEmpty() || !primary)
        return;
    QList<QRect> bounds;
    for (const QScreen* screen : screens)
        bounds.append(screen->geometry());
    const QRect placed = WindowPlacement::onPresentScreens(
        QRect(m_settings.left, m_settings.top, m_settings.width, m_settings.height), bounds,
        primary->availableGeometry());
    m_settings.left = placed.x();
    m_settings.top = placed.y();
    m_settings.width = placed.width();
    m_settings.height = placed.height();
}

bool SettingsBinding::save(const QWidget& window, const QLineEdit& title,
                           const SettingsLoad& loaded) {
    m_settings.left = window.x();
    m_settings.top = window.y();
    m_settings.width = window.width();
    m_settings.height = window.height();
    m_settings.title = title.text();
    SettingsStore store(m_environment.openSettings());
    return store.save(m_settings, loaded);
}
