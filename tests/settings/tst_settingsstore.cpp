#include "settings/SettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The window's own placement defaults, as it passes them in before loading.
Settings windowDefaults() {
    Settings settings;
    settings.left = 600;
    settings.height = 1040;
    return settings;
}

// Every value changed away from its default.
Settings allChanged() {
    Settings s;
    s.left = -20;
    s.top = 33;
    s.width = 1024;
    s.height = 700;
    s.sound = false;
    s.port = 3;
    s.alg = 1;
    s.waitStart = 2500;
    s.timer = 0;
    s.monitor = 1;
    s.lockTime = 100;
    s.title = QStringLiteral("Kreismeisterschaft, Rutsche \"Süd\" €");
    s.autoReset = false;
    s.filterInd = 4;
    s.vidResult = 1;
    s.len = 0;
    s.logo = QStringLiteral("/home/zeit/logo.png");
    s.liveResults = true;
    s.livePort = 8181;
    s.liveAddress = QStringLiteral("10.0.0.7");
    s.liveAddressOnly = true;
    s.backupLine = true;
    s.backupLockTime = 1500;
    s.stuckLimit = 8000;
    s.maxRunTime = 45;
    return s;
}

const QStringList kReadingOrder = {"Left",     "Top",   "Width",     "Height",    "Sound",
                                   "Port",     "Alg",   "WaitStart", "Timer",     "Monitor",
                                   "LockTime", "Title", "AutoReset", "FilterInd", "VidResult",
                                   "Len",      "Logo"};
// Read after the others, and missing ones do not end the reading.
const QStringList kLiveKeys = {"LiveResults", "LivePort",  "LiveAddress", "LiveAddressOnly",
                               "BLine",       "BLockTime", "StuckLimit",  "MaxRunTime"};

} // namespace

// Settings between runs: defaults, the stop at the first bad value, and a full save.
class TestSettingsStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void firstRunKeepsDefaults();
    void savedValuesComeBack();
    void deletedSoundStopsThere();
    void badValueStopsTheLoad_data();
    void badValueStopsTheLoad();
    void waitStartOnlyAboveZero_data();
    void waitStartOnlyAboveZero();
    void valuesBroughtIntoRange_data();
    void valuesBroughtIntoRange();
    void emptyTitleKeepsDesignedTitle();
    void missingStringsReadAsEmpty();
    void booleansAnyNonZero();
    void programTitleSelectsTheStore();
    void liveValuesMissingFromAnOlderStore_data();
    void liveValuesMissingFromAnOlderStore();
    void unreadValuesSurviveTheSave_data();
    void unreadValuesSurviveTheSave();
    void passwordsKeptApart_data();
    void passwordsKeptApart();

private:
    std::unique_ptr<QSettings> iniFile() const {
        return std::make_unique<QSettings>(m_dir->filePath("settings.conf"), QSettings::IniFormat);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettingsStore::init() {
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestSettingsStore::firstRunKeepsDefaults() {
    SettingsStore store(iniFile());
    Settings settings = windowDefaults();
    QCOMPARE(store.load(settings), std::optional<QString>(QStringLiteral("Left")));
    QCOMPARE(settings, windowDefaults());
    QCOMPARE(settings.top, 0);
    QCOMPARE(settings.width, 720);
    QVERIFY(settings.sound);
    QCOMPARE(settings.port, 0);
    QCOMPARE(settings.timer, 10000);
    QCOMPARE(settings.lockTime, 5000);
    QCOMPARE(settings.waitStart, 5000);
    QCOMPARE(settings.len, 50);
    QCOMPARE(settings.vidResult, 0);
    QCOMPARE(settings.monitor, 0);
    QVERIFY(settings.autoReset);
    QCOMPARE(settings.filterInd, 1);
    QCOMPARE(settings.title, QStringLiteral("Deutsche Meisterschaften im Velmora 2009"));
    QCOMPARE(settings.logo, QString());
}

void TestSettingsStore::savedValuesComeBack() {
    {
        SettingsStore store(iniFile());
        QVERIFY(store.save(allChanged()));
    }
    const auto raw = iniFile();
    QCOMPARE(raw->allKeys().size(), kReadingOrder.size() + kLiveKeys.size());
    QCOMPARE(raw->value("Sound").toString(), QStringLiteral("0"));

    SettingsStore store(iniFile());
    Settings settings = windowDefaults();
    QCOMPARE(store.load(settings), std::nullopt);
    QCOMPARE(settings, allChanged());
}

void TestSettingsStore::deletedSoundStopsThere() {
    {
        SettingsStore store(iniFile());
        QVERIFY(store.save(allChanged()));
    }
    iniFile()->remove("Sound");
    SettingsStore store(iniFile());
    Settings settings = windowDefaults();
    QCOMPARE(store.load(settings), std::optional<QString>(QStringLiteral("Sound")));
    Settings expected = windowDefaults();
    expected.left = -20;
    expected.top = 33;
    expected.width = 1024;
    expected.height = 700;
    QCOMPARE(settings, expected);
}

void TestSettingsStore::badValueStopsTheLoad_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("text for a number") << "Port" << QVariant("drei");
    QTest::newRow("number with trailing text") << "Timer" << QVariant("100ms");
    QTest::newRow("leading blank") << "Monitor" << QVariant(" 1");
    QTest::newRow("trailing blank") << "Monitor" << QVariant("1 ");
    QTest::newRow("beyond 32 bits") << "LockTime" << QVariant("4294967296");
    QTest::newRow("just beyond int") << "Len" << QVariant("2147483648");
    QTest::newRow("decimal") << "Width" << QVariant("720.5");
    QTest::newRow("empty number") << "Top" << QVariant("");
    QTest::newRow("boolean as word") << "AutoReset" << QVariant("true");
    QTest::newRow("list for a string") << "Title" << QVariant(QStringList{"a", "b"});
    QTest::newRow("list for a number") << "FilterInd" << QVariant(QStringList{"1", "2"});
    QTest::newRow("number for the logo") << "Logo" << QVariant(QSize(1, 2));
}

void TestSettingsStore::badValueStopsTheLoad() {
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    {
        SettingsStore store(iniFile());
        QVERIFY(store.save(allChanged()));
    }
    iniFile()->setValue(key, value);

    SettingsStore store(iniFile());
    Settings settings = windowDefaults();
    QCOMPARE(store.load(settings), std::optional<QString>(key));

    // Everything before the bad value is applied, it and everything after keep their defaults.
    const Settings changed = allChanged();
    const Settings defaults = windowDefaults();
    const qsizetype stop = kReadingOrder.indexOf(key);
    QVERIFY(stop >= 0);
    auto applied = [&](const char* name) {
        return kReadingOrder.indexOf(name) < stop;
    };
    QCOMPARE(settings.left, applied("Left") ? changed.left : defaults.left);
    QCOMPARE(settings.top, applied("Top") ? changed.top : defaults.top);
    QCOMPARE(settings.width, applied("Width") ? changed.width : defaults.width);
    QCOMPARE(settings.height, applied("Height") ? changed.height : defaults.height);
    QCOMPARE(settings.sound, applied("Sound") ? changed.sound : defaults.sound);
    QCOMPARE(settings.port, applied("Port") ? changed.port : defaults.port);
    QCOMPARE(settings.alg, applied("Alg") ? changed.alg : defaults.alg);
    QCOMPARE(settings.waitStart, applied("WaitStart") ? changed.waitStart : defaults.waitStart);
    QCOMPARE(settings.timer, applied("Timer") ? changed.timer : defaults.timer);
    QCOMPARE(settings.monitor, applied("Monitor") ? changed.monitor : defaults.monitor);
    QCOMPARE(settings.lockTime, applied("LockTime") ? changed.lockTime : defaults.lockTime);
    QCOMPARE(settings.title, applied("Title") ? changed.title : defaults.title);
    QCOMPARE(settings.autoReset, applied("AutoReset") ? changed.autoReset : defaults.autoReset);
    QCOMPARE(settings.filterInd, applied("FilterInd") ? changed.filterInd : defaults.filterInd);
    QCOMPARE(settings.vidResult, applied("VidResult") ? changed.vidResult : defaults.vidResult);
    QCOMPARE(settings.len, applied("Len") ? changed.len : defaults.len);
    QCOMPARE(settings.logo, applied("Logo") ? changed.logo : defaults.logo);
}

void TestSettingsStore::waitStartOnlyAboveZero_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("loaded");
    QTest::newRow("zero") << 0 << 5000;
    QTest::newRow("negative") << -1 << 5000;
    QTest::newRow("lowest") << int(std::numeric_limits<qint32>::min()) << 5000;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("highest") << int(std::numeric_limits<qint32>::max())
                             << int(std::numeric_limits<qint32>::max());
}

void TestSettingsStore::waitStartOnlyAboveZero() {
    QFETCH(int, stored);
    QFETCH(int, loaded);
    Settings saved = allChanged();
    saved.waitStart = stored;
    SettingsStore store(iniFile());
    QVERIFY(store.save(saved));
    Settings settings = windowDefaults();
    QCOMPARE(store.load(settings), std::nullopt);
    QCOMPARE(settings.waitStart, loaded);
    // The load goes on past it.
    QCOMPARE(settings.logo, saved.logo);

    // The next save repairs the stored value.
    QVERIFY(store.save(settings));
    QCOMPARE(iniFile()->value("WaitStart").toString(), QString::number(loaded));
}

void TestSettingsStore::valuesBroughtIntoRange_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("loaded");
    const int lowest = std::numeric_limits<qint32>::min();
    const int highest = std::numeric_limits<qint32>::max();
    QTest::newRow("Timer below 0") << "Timer" << -1 << 0;
    QTest::newRow("Timer 0") << "Timer" << 0 << 0;
    QTest::newRow("Timer at the top") << "Timer" << 100000 << 100000;
    QTest::newRow("Timer above") << "Timer" << 100001 << 100000;
    QTest::newRow("Timer highest") << "Timer" << highest << 100000;
    QTest::newRow("LockTime below") << "LockTime" << 99 << 100;
    QTest::newRow("LockTime lowest") << "LockTime" << lowest << 100;
    QTest::newRow("LockTime at the bottom") << "LockTime" << 100 << 100;
    QTest::newRow("LockTime at the top") << "LockTime" << 600000 << 600000;
    QTest::newRow("LockTime above") << "LockTime" << 600001 << 600000;
    QTest::newRow("Len below 0") << "Len" << -5 << 0;
    QTest::newRow("Len at the top") << "Len" << 9999 << 9999;
    QTest::newRow("Len above") << "Len" << 10000 << 9999;
    QTest::newRow("MaxRunTime below 0") << "MaxRunTime" << -1 << 0;
    QTest::newRow("MaxRunTime 0: no warning") << "MaxRunTime" << 0 << 0;
    QTest::newRow("MaxRunTime above an hour") << "MaxRunTime" << 3601 << 3600;
    QTest::newRow("VidResult 1") << "VidResult" << 1 << 1;
    QTest::newRow("VidResult 2: designed format") << "VidResult" << 2 << 0;
    QTest::newRow("VidResult -1: designed format") << "VidResult" << -1 << 0;
    QTest::newRow("Alg 1") << "Alg" << 1 << 1;
    QTest::newRow("Alg 7: designed logic") << "Alg" << 7 << 0;
    QTest::newRow("Alg lowest: designed logic") << "Alg" << lowest << 0;
    QTest::newRow("FilterInd 4") << "FilterInd" << 4 << 4;
    QTest::newRow("FilterInd 0: text") << "FilterInd" << 0 << 1;
    QTest::newRow("FilterInd 5: text") << "FilterInd" << 5 << 1;
    QTest::newRow("Monitor below 0") << "Monitor" << -3 << 0;
    QTest::newRow("Monitor 3 stays for the window to check") << "Monitor" << 3 << 3;
    QTest::newRow("LivePort 0: designed port") << "LivePort" << 0 << 8080;
    QTest::newRow("LivePort 1") << "LivePort" << 1 << 1;
    QTest::newRow("LivePort 65535") << "LivePort" << 65535 << 65535;
    QTest::newRow("LivePort 65536: designed port") << "LivePort" << 65536 << 8080;
    QTest::newRow("BLockTime below") << "BLockTime" << 0 << 100;
    QTest::newRow("BLockTime above") << "BLockTime" << 600001 << 600000;
    QTest::newRow("StuckLimit below") << "StuckLimit" << 499 << 500;
    QTest::newRow("StuckLimit at the top") << "StuckLimit" << 600000 << 600000;
}

void TestSettingsStore::valuesBroughtIntoRange() {
    QFETCH(QString, key);
    QFETCH(int, stored);
    QFETCH(int, loaded);
    SettingsStore store(iniFile());
    QVERIFY(store.save(allChanged()));
    iniFile()->setValue(key, stored);
    Settings settings = windowDefaults();
    // Out of range is not unreadable: the load goes on past it.
    QCOMPARE(store.load(settings), std::nullopt);
    QCOMPARE(settings.logo, allChanged().logo);
    const QHash<QString, int> values{{"Timer", settings.timer},
                                     {"LockTime", settings.lockTime},
                                     {"Len", settings.len},
                                     {"VidResult", settings.vidResult},
                                     {"Alg", settings.alg},
                                     {"FilterInd", settings.filterInd},
                                     {"Monitor", settings.monitor},
                                     {"LivePort", settings.livePort},
                                     {"BLockTime", settings.backupLockTime},
                                     {"StuckLimit", settings.stuckLimit},
                                     {"MaxRunTime", settings.maxRunTime}};
    QCOMPARE(values.value(key), loaded);

    // What is saved again is the value in range.
    QVERIFY(store.save(settings));
    QCOMPARE(iniFile()->value(key).toString(), QString::number(loaded));
}

void TestSettingsStore::emptyTitleKeepsDesignedTitle() {
    Settings saved = allChanged();
    saved.title.clear();
    SettingsStore store(iniFile());
    QVERIFY(store.save(saved));
    Settings settings = windowDefaults();
    QCOMPARE(store.load(settings), std::nullopt);
    QCOMPARE(settings.title, windowDefaults().title);
    QCOMPARE(settings.logo, saved.logo);
}

void TestSettingsStore::missingStringsReadAsEmpty() {
    SettingsStore store(iniFile());
    QVERIFY(store.save(allChanged()));
    iniFile()->remove("Title");
    iniFile()->remove("Logo");
    Settings settings = windowDefaults();
    settings.logo = QStringLiteral("vorher");
    QCOMPARE(store.load(settings), std::nullopt);
    QCOMPARE(settings.title, windowDefaults().title);
    QCOMPARE(settings.logo, QString());
    QCOMPARE(settings.len, allChanged().len);
}

void TestSettingsStore::booleansAnyNonZero() {
    SettingsStore store(iniFile());
    Settings saved = allChanged();
    QVERIFY(store.save(saved));
    iniFile()->setValue("Sound", "-7");
    iniFile()->setValue("AutoReset", "2");
    Settings settings = windowDefaults();
    settings.sound = false;
    settings.autoReset = false;
    QCOMPARE(store.load(settings), std::nullopt);
    QVERIFY(settings.sound);
    QVERIFY(settings.autoReset);
}

void TestSettingsStore::programTitleSelectsTheStore() {
    // Only the locations are compared; nothing is written to the user's folder.
    QStandardPaths::setTestModeEnabled(true);
    const auto velmora = SettingsStore::openForProgram(QStringLiteral("Velmora"));
    const auto halle = SettingsStore::openForProgram(QStringLiteral("Halle"));
    QVERIFY(velmora->fileName().endsWith(QStringLiteral("/Quarnek/Velmora.conf")));
    QVERIFY(halle->fileName().endsWith(QStringLiteral("/Quarnek/Halle.conf")));
}

void TestSettingsStore::liveValuesMissingFromAnOlderStore_data() {
    QTest::addColumn<QString>("removed");
    QTest::addColumn<bool>("liveResults");
    QTest::addColumn<int>("livePort");
    QTest::newRow("no LiveResults") << "LiveResults" << false << 8181;
    QTest::newRow("no LivePort") << "LivePort" << true << 8080;
}

void TestSettingsStore::liveValuesMissingFromAnOlderStore() {
    QFETCH(QString, removed);
    QFETCH(bool, liveResults);
    QFETCH(int, livePort);
    SettingsStore store(iniFile());
    QVERIFY(store.save(allChanged()));
    iniFile()->remove(removed);
    Settings settings = windowDefaults();
    QCOMPARE(store.load(settings), std::nullopt);
    QCOMPARE(settings.logo, allChanged().logo);
    QCOMPARE(settings.liveResults, liveResults);
    QCOMPARE(settings.livePort, livePort);
}
void TestSettingsStore::unreadValuesSurviveTheSave_data() {
    QTest::addColumn<QString>("changed"); // the value changed after the load
    QTest::addColumn<QString>("len");
    QTest::addColumn<QString>("logo");
    QTest::newRow("nothing changed") << ""
                                     << "5O"
                                     << "/home/zeit/logo.png";
    QTest::newRow("a later value changed") << "Logo"
                                           << "5O"
                                           << "/neu.png";
    QTest::newRow("the damaged value changed") << "Len"
                                               << "20"
                                               << "/home/zeit/logo.png";
}

void TestSettingsStore::unreadValuesSurviveTheSave() {
    QFETCH(QString, changed);
    QFETCH(QString, len);
    QFETCH(QString, logo);
    {
        SettingsStore store(iniFile());
        QVERIFY(store.save(allChanged()));
    }
    iniFile()->setValue("Len", "5O");
    SettingsStore store(iniFile());
    Settings settings = windowDefaults();
    SettingsLoad loaded;
    loaded.stoppedAt = store.load(settings);
    QCOMPARE(loaded.stoppedAt, std::optional<QString>("Len"));
    QCOMPARE(store.storedText("Len"), std::optional<QString>("5O"));
    loaded.asLoaded = settings;
    if (changed == "Logo")
        settings.logo = "/neu.png";
    else if (changed == "Len")
        settings.len = 20;
    settings.title = QStringLiteral("Neu");
    QVERIFY(store.save(settings, loaded));
    const auto raw = iniFile();
    QCOMPARE(raw->value("Title").toString(), QStringLiteral("Neu"));
    QCOMPARE(raw->value("Len").toString(), len);
    QCOMPARE(raw->value("Logo").toString(), logo);
    QCOMPARE(raw->value("LivePort").toInt(), 8181);
}

void TestSettingsStore::passwordsKeptApart_data() {
    QTest::addColumn<QString>("secret");
    QTest::addColumn<QByteArray>("userLine");
    QTest::newRow("MQTT") << "mqtt" << QByteArray("MqttUser=zeitnahme");
    QTest::newRow("Webspace") << "webspace" << QByteArray("UploadUser=zeitnahme");
}

void TestSettingsStore::passwordsKeptApart() {
    QFETCH(QString, secret);
    QFETCH(QByteArray, userLine);
    Settings saved = allChanged();
    if (secret == "mqtt") {
        saved.mqttEnabled = true;
        saved.mqttUser = QStringLiteral("zeitnahme");
        saved.mqttPassword = QStringLiteral("geheim€");
    } else {
        saved.uploadEnabled = true;
        saved.uploadUrl = QStringLiteral("sftp://web.verein.de/~/live/");
        saved.uploadUser = QStringLiteral("zeitnahme");
        saved.uploadPassword = QStringLiteral("geheim€");
    }
    SettingsStore store(iniFile());
    QVERIFY(store.save(saved));
    const QString path = m_dir->filePath(QStringLiteral("settings-%1.passwort").arg(secret));
    QCOMPARE(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser),
             QFile::ReadOwner | QFile::WriteOwner);
    QFile conf(m_dir->filePath(QStringLiteral("settings.conf")));
    QVERIFY(conf.open(QIODevice::ReadOnly));
    const QByteArray bytes = conf.readAll();
    QVERIFY(bytes.contains(userLine) && !bytes.contains("geheim"));
    // The values of the other publisher still hold their defaults and are not written.
    QVERIFY(!bytes.contains(secret == "mqtt" ? "Upload" : "MqttHost"));
    Settings loaded = windowDefaults();
    QCOMPARE(store.load(loaded), std::nullopt);
    QCOMPARE(loaded, saved);
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
