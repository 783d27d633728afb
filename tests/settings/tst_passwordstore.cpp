#include "mock/KeyringDaemon.h"
#include "platform/SecretService.h"
#include "settings/SettingsLoad.h"
#include "settings/SettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The broker's password in a real GNOME Keyring on a bus of the test's own: kept there and not
// beside the settings while the keyring is open, moved there from a file, taken away when
// emptied, and never lost while the keyring is locked.
class TestPasswordStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void keptInTheOpenKeyring();
    void fileMovesIntoTheKeyring();
    void lockedKeyringLosesNothing();

private:
    std::unique_ptr<QSettings> ini() const {
        return std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("Velmora.conf")),
                                           QSettings::IniFormat);
    }
    std::shared_ptr<SecretService> keyring() const {
        return std::make_shared<SecretService>(m_keyring->bus());
    }
    QString passwordFile() const {
        return m_dir->filePath(QStringLiteral("Velmora-mqtt.passwort"));
    }
    QString stored(bool withKeyring) const {
        Settings loaded;
        SettingsStore(ini(), withKeyring ? keyring() : nullptr).load(loaded);
        return loaded.mqttPassword;
    }
    QByteArray settingsBytes() const {
        QFile file(m_dir->filePath(QStringLiteral("Velmora.conf")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<KeyringDaemon> m_keyring;
};

namespace {

Settings withPassword(const QString& password) {
    Settings settings;
    settings.mqttEnabled = true;
    settings.mqttUser = QStringLiteral("zeitnahme");
    settings.mqttPassword = password;
    return settings;
}

} // namespace

void TestPasswordStore::init() {
    if (!QFile::exists(KeyringDaemon::program()) || !QFile::exists(KeyringDaemon::busProgram()))
        QSKIP("gnome-keyring-daemon or dbus-daemon is not installed; no keyring to keep in");
    m_dir = std::make_unique<QTemporaryDir>();
    m_keyring = std::make_unique<KeyringDaemon>();
    QVERIFY2(m_keyring->start(), qPrintable(m_keyring->error()));
    QVERIFY(keyring()->isOpen());
}

void TestPasswordStore::keptInTheOpenKeyring() {
    QVERIFY(SettingsStore(ini(), keyring()).save(withPassword(QStringLiteral("geheim€"))));
    QVERIFY(!QFile::exists(passwordFile()));
    QVERIFY(!settingsBytes().contains("geheim"));
    QVERIFY(settingsBytes().contains("mqtt=keyring"));
    QCOMPARE(stored(true), QStringLiteral("geheim€"));
    QVERIFY(m_keyring->restart());
    QCOMPARE(stored(true), QStringLiteral("geheim€"));

    // Emptied in the dialog: taken out of the keyring, and nothing says it is there.
    Settings emptied = withPassword(QString());
    SettingsLoad loaded{std::nullopt, std::nullopt, withPassword(QStringLiteral("geheim€"))};
    QVERIFY(SettingsStore(ini(), keyring()).save(emptied, loaded));
    QVERIFY(!settingsBytes().contains("keyring"));
    QVERIFY(!keyring()->lookup({{"application", "velmora"}, {"name", "mqtt"}}));
    QCOMPARE(stored(true), QString());
}

void TestPasswordStore::fileMovesIntoTheKeyring() {
    QVERIFY(SettingsStore(ini()).save(withPassword(QStringLiteral("alt"))));
    QVERIFY(QFile::exists(passwordFile()));
    QCOMPARE(stored(true), QStringLiteral("alt"));
    QVERIFY(SettingsStore(ini(), keyring()).save(withPassword(QStringLiteral("alt"))));
    QVERIFY(!QFile::exists(passwordFile()));
    QCOMPARE(stored(true), QStringLiteral("alt"));
}

void TestPasswordStore::lockedKeyringLosesNothing() {
    QVERIFY(SettingsStore(ini(), keyring()).save(withPassword(QStringLiteral("geheim"))));
    QVERIFY(m_keyring->lock());
    // The start finds no password; the exit does not take away what it could not read.
    Settings running;
    SettingsStore(ini(), keyring()).load(running);
    QCOMPARE(running.mqttPassword, QString());
    QVERIFY(SettingsStore(ini(), keyring()).save(running, {std::nullopt, std::nullopt, running}));
    QVERIFY(m_keyring->restart());
    QCOMPARE(stored(true), QStringLiteral("geheim"));

    // A new password typed while the keyring is locked goes into the file.
    QVERIFY(m_keyring->lock());
    SettingsLoad loaded{std::nullopt, std::nullopt, running};
    QVERIFY(SettingsStore(ini(), keyring()).save(withPassword(QStringLiteral("neu")), loaded));
    QVERIFY(QFile::exists(passwordFile()));
    QVERIFY(!settingsBytes().contains("keyring"));
    QCOMPARE(stored(false), QStringLiteral("neu"));
}

QTEST_GUILESS_MAIN(TestPasswordStore)
#include "tst_passwordstore.moc"
