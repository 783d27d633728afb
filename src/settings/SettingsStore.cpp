#include "settings/SettingsStore.h"

#include "settings/PasswordStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <limits>

namespace {

// A number as the store may hold it: an integer of the native store, or (from an INI file) a
// text that is a 32-bit integer from its first to its last character.
std::optional<int> readNumber(const QSettings& store, const QString& key) {
    const QVariant value = store.value(key);
    switch (value.typeId()) {
    case QMetaType::Int:
        return value.toInt();
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        bool ok = false;
        const qlonglong number = value.toLongLong(&ok);
        if (!ok || number < std::numeric_limits<qint32>::min() ||
            number > std::numeric_limits<qint32>::max())
            return std::nullopt;
        return static_cast<int>(number);
    }
    case QMetaType::QString: {
        const QString text = value.toString();
        if (text.isEmpty() || text.front().isSpace() || text.back().isSpace())
            return std::nullopt;
        bool ok = false;
        const int number = text.toInt(&ok);
        return ok ? std::optional<int>(number) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

// A missing string reads as empty; a value of another kind is not a string.
std::optional<QString> readString(const QSettings& store, const QString& key) {
    const QVariant value = store.value(key);
    if (!value.isValid())
        return QString();
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

// A choice outside its values falls back to the designed default; a quantity is clamped.
void bringIntoRange(Settings& settings) {
    const Settings designed;
    settings.timer = qBound(0, settings.timer, 100000);
    settings.lockTime = qBound(100, settings.lockTime, 600000);
    settings.len = qBound(0, settings.len, 9999);
    settings.backupLockTime = qBound(100, settings.backupLockTime, 600000);
    settings.stuckLimit = qBound(500, settings.stuckLimit, 600000);
    settings.maxRunTime = qBound(0, settings.maxRunTime, 3600);
    settings.uploadInterval = qBound(1, settings.uploadInterval, 300);
    settings.monitor = qMax(0, settings.monitor);
    if (settings.alg != 0 && settings.alg != 1)
        settings.alg = designed.alg;
    if (settings.vidResult != 0 && settings.vidResult != 1)
        settings.vidResult = designed.vidResult;
    if (settings.filterInd < 1 || settings.filterInd > 4)
        settings.filterInd = designed.filterInd;
    if (settings.livePort < 1 || settings.livePort > 65535)
        settings.livePort = designed.livePort;
    if (settings.mqttPort < 1 || settings.mqttPort > 65535)
        settings.mqttPort = designed.mqttPort;
    if (settings.mqttPrefix.isEmpty())
        settings.mqttPrefix = designed.mqttPrefix;
    settings.timerDriftLimit = qBound(1, settings.timerDriftLimit, 60000);
    if (settings.timerBaud <= 0)
        settings.timerBaud = designed.timerBaud;
    if (settings.boardBaud <= 0)
        settings.boardBaud = designed.boardBaud;
}

// Values that came with the MQTT publisher and the upload: a store that never had them keeps
// its lines as they were until one is set to something other than its default.
bool writtenOnceChanged(const QString& key) {
    return key.startsWith(QLatin1String("Mqtt")) || key.startsWith(QLatin1String("Upload")) ||
           key.startsWith(QLatin1String("Chrono")) || key.startsWith(QLatin1String("Board")) ||
           key == QLatin1String("UrkundenNachFreigabe");
}

} // namespace

std::unique_ptr<QSettings> SettingsStore::openForProgram(const QString& programTitle) {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Quarnek"), programTitle);
}

SettingsStore::SettingsStore(std::unique_ptr<QSettings> store,
                             std::shared_ptr<SecretService> keyring)
    : m_store(std::move(store)) {
    const QFileInfo file(m_store->fileName());
    m_passwords = std::make_unique<PasswordStore>(
        file.isAbsolute() ? file.absoluteFilePath() : QString(), std::move(keyring));
}

SettingsStore::~SettingsStore() = default;

std::optional<QString> SettingsStore::load(Settings& settings) const {
    const std::optional<QString> stoppedAt = loadInOrder(settings);
    // Written after the others; a store damaged before them keeps the defaults here too.
    if (!stoppedAt) {
        loadLiveResults(settings);
        loadPublishing(settings);
        loadSerialDevices(settings);
    }
    bringIntoRange(settings);
    return stoppedAt;
}

std::optional<QString> SettingsStore::loadInOrder(Settings& settings) const {
    const QSettings& store = *m_store;
    auto number = [&store](const char* key, int& target) -> bool {
        const auto value = readNumber(store, QLatin1String(key));
        if (value)
            target = *value;
        return value.has_value();
    };
    auto flag = [&store](const char* key, bool& target) -> bool {
        const auto value = readNumber(store, QLatin1String(key));
        if (value)
            target = *value != 0;
        return value.has_value();
    };
    auto text = [&store](const char* key, QString& target, bool onlyWhenNotEmpty) -> bool {
        const auto value = readString(store, QLatin1String(key));
        if (value && !(onlyWhenNotEmpty && value->isEmpty()))
            target = *value;
        return value.has_value();
    };

    if (!number("Left", settings.left))
        return QStringLiteral("Left");
    if (!number("Top", settings.top))
        return QStringLiteral("Top");
    if (!number("Width", settings.width))
        return QStringLiteral("Width");
    if (!number("Height", settings.height))
        return QStringLiteral("Height");
    if (!flag("Sound", settings.sound))
        return QStringLiteral("Sound");
    if (!number("Port", settings.port))
        return QStringLiteral("Port");
    if (!number("Alg", settings.alg))
        return QStringLiteral("Alg");
    int waitStart = 0;
    if (!number("WaitStart", waitStart))
        return QStringLiteral("WaitStart");
    if (waitStart > 0)
        settings.waitStart = waitStart;
    if (!number("Timer", settings.timer))
        return QStringLiteral("Timer");
    if (!number("Monitor", settings.monitor))
        return QStringLiteral("Monitor");
    if (!number("LockTime", settings.lockTime))
        return QStringLiteral("LockTime");
    if (!text("Title", settings.title, true))
        return QStringLiteral("Title");
    if (!flag("AutoReset", settings.autoReset))
        return QStringLiteral("AutoReset");
    if (!number("FilterInd", settings.filterInd))
        return QStringLiteral("FilterInd");
    if (!number("VidResult", settings.vidResult))
        return QStringLiteral("VidResult");
    if (!number("Len", settings.len))
        return QStringLiteral("Len");
    if (!text("Logo", settings.logo, false))
        return QStringLiteral("Logo");
    return std::nullopt;
}

void SettingsStore::loadLiveResults(Settings& settings) const {
    // Stores written before the live results existed lack these values; they keep the
    // defaults without ending the reading of the others.
    if (const auto on = readNumber(*m_store, QStringLiteral("LiveResults")))
        settings.liveResults = *on != 0;
    if (const auto port = readNumber(*m_store, QStringLiteral("LivePort")))
        settings.livePort = *port;
    // The live results take an address that is none as the automatic choice.
    settings.liveAddress = m_store->value(QStringLiteral("LiveAddress")).toString();
    if (const auto only = readNumber(*m_store, QStringLiteral("LiveAddressOnly")))
        settings.liveAddressOnly = *only != 0;
    // Likewise System B and the stuck-line limit.
    if (const auto on = readNumber(*m_store, QStringLiteral("BLine")))
        settings.backupLine = *on != 0;
    if (const auto lock = readNumber(*m_store, QStringLiteral("BLockTime")))
        settings.backupLockTime = *lock;
    if (const auto limit = readNumber(*m_store, QStringLiteral("StuckLimit")))
        settings.stuckLimit = *limit;
    // Likewise the longest run before the missed-stop warning, which came later still.
    if (const auto limit = readNumber(*m_store, QStringLiteral("MaxRunTime")))
        settings.maxRunTime = *limit;
}

void SettingsStore::loadPublishing(Settings& settings) const {
    // Came with the release of results; older stores lack it and keep the default.
    if (const auto on = readNumber(*m_store, QStringLiteral("UrkundenNachFreigabe")))
        settings.certificatesAfterRelease = *on != 0;
    if (const auto on = readNumber(*m_store, QStringLiteral("MqttEnabled")))
        settings.mqttEnabled = *on != 0;
    if (const auto port = readNumber(*m_store, QStringLiteral("MqttPort")))
        settings.mqttPort = *port;
    if (const auto tls = readNumber(*m_store, QStringLiteral("MqttTls")))
        settings.mqttTls = *tls != 0;
    for (auto [key, target] :
         {std::pair{"MqttHost", &settings.mqttHost}, std::pair{"MqttUser", &settings.mqttUser},
          std::pair{"MqttCaFile", &settings.mqttCaFile},
          std::pair{"MqttClientId", &settings.mqttClientId},
          std::pair{"MqttPrefix", &settings.mqttPrefix},
          std::pair{"MqttReaderUrl", &settings.mqttReaderUrl},
          std::pair{"UploadUrl", &settings.uploadUrl},
          std::pair{"UploadUser", &settings.uploadUser},
          std::pair{"UploadCaFile", &settings.uploadCaFile},
          std::pair{"UploadKnownHosts", &settings.uploadKnownHosts},
          std::pair{"UploadKeyFile", &settings.uploadKeyFile}}) {
        if (const auto text = readString(*m_store, QLatin1String(key));
            text && m_store->contains(QLatin1String(key)))
            *target = *text;
    }
    if (const auto password = loadPassword(QStringLiteral("mqtt")))
        settings.mqttPassword = *password;
    if (const auto on = readNumber(*m_store, QStringLiteral("UploadEnabled")))
        settings.uploadEnabled = *on != 0;
    if (const auto interval = readNumber(*m_store, QStringLiteral("UploadInterval")))
        settings.uploadInterval = *interval;
    if (const auto password = loadPassword(QStringLiteral("webspace")))
        settings.uploadPassword = *password;
}

namespace {

// Where a password is kept, in the settings: only "keyring" is written; a file is found by
// its name.
QString placeKey(const QString& name) {
    return QStringLiteral("Passwords/") + name;
}

const QString kInKeyring = QStringLiteral("keyring");

} // namespace

std::optional<QString> SettingsStore::loadPassword(const QString& name) const {
    const bool inKeyring = m_store->value(placeKey(name)).toString() == kInKeyring;
    return m_passwords->read(name, inKeyring ? PasswordStore::Place::Keyring
                                             : PasswordStore::Place::File);
}

bool SettingsStore::savePassword(const QString& name, const QString& password) {
    const bool inKeyring = m_store->value(placeKey(name)).toString() == kInKeyring;
    const auto place = m_passwords->write(
        name, password, inKeyring ? PasswordStore::Place::Keyring : PasswordStore::Place::File);
    if (!place)
        return false;
    if (*place == PasswordStore::Place::Keyring)
        m_store->setValue(placeKey(name), kInKeyring);
    else
        m_store->remove(placeKey(name));
    return true;
}

void SettingsStore::loadSerialDevices(Settings& settings) const {
    for (auto [key, target] : {std::pair{"ChronoBaud", &settings.timerBaud},
                               std::pair{"ChronoDrift", &settings.timerDriftLimit},
                               std::pair{"BoardBaud", &settings.boardBaud}}) {
        if (const auto value = readNumber(*m_store, QLatin1String(key)))
            *target = *value;
    }
    for (auto [key, target] :
         {std::pair{"ChronoDevice", &settings.timerDevice},
          std::pair{"ChronoFormat", &settings.timerProfile},
          std::pair{"ChronoStart", &settings.timerStart},
          std::pair{"ChronoSplit", &settings.timerSplit},
          std::pair{"ChronoStop", &settings.timerStop}, std::pair{"ChronoB", &settings.timerBackup},
          std::pair{"BoardDevice", &settings.boardDevice},
          std::pair{"BoardProtocol", &settings.boardProtocol}}) {
        if (const auto text = readString(*m_store, QLatin1String(key));
            text && m_store->contains(QLatin1String(key)))
            *target = *text;
    }
}

QString SettingsStore::secretPath(const QString& name) const {
    return m_passwords->filePath(name);
}

namespace {

// Every value in the writing order.
QList<std::pair<QString, QVariant>> storedValues(const Settings& settings) {
    return {{QStringLiteral("Left"), settings.left},
            {QStringLiteral("Top"), settings.top},
            {QStringLiteral("Width"), settings.width},
            {QStringLiteral("Height"), settings.height},
            {QStringLiteral("Port"), settings.port},
            {QStringLiteral("Alg"), settings.alg},
            {QStringLiteral("Sound"), settings.sound ? 1 : 0},
            {QStringLiteral("WaitStart"), settings.waitStart},
            {QStringLiteral("FilterInd"), settings.filterInd},
            {QStringLiteral("Timer"), settings.timer},
            {QStringLiteral("Monitor"), settings.monitor},
            {QStringLiteral("LockTime"), settings.lockTime},
            {QStringLiteral("Title"), settings.title},
            {QStringLiteral("AutoReset"), settings.autoReset ? 1 : 0},
            {QStringLiteral("VidResult"), settings.vidResult},
            {QStringLiteral("Logo"), settings.logo},
            {QStringLiteral("Len"), settings.len},
            {QStringLiteral("LiveResults"), settings.liveResults ? 1 : 0},
            {QStringLiteral("LivePort"), settings.livePort},
            {QStringLiteral("LiveAddress"), settings.liveAddress},
            {QStringLiteral("LiveAddressOnly"), settings.liveAddressOnly ? 1 : 0},
            {QStringLiteral("BLine"), settings.backupLine ? 1 : 0},
            {QStringLiteral("BLockTime"), settings.backupLockTime},
            {QStringLiteral("StuckLimit"), settings.stuckLimit},
            {QStringLiteral("MaxRunTime"), settings.maxRunTime},
            {QStringLiteral("MqttEnabled"), settings.mqttEnabled ? 1 : 0},
            {QStringLiteral("MqttHost"), settings.mqttHost},
            {QStringLiteral("MqttPort"), settings.mqttPort},
            {QStringLiteral("MqttUser"), settings.mqttUser},
            {QStringLiteral("MqttTls"), settings.mqttTls ? 1 : 0},
            {QStringLiteral("MqttCaFile"), settings.mqttCaFile},
            {QStringLiteral("MqttClientId"), settings.mqttClientId},
            {QStringLiteral("MqttPrefix"), settings.mqttPrefix},
            {QStringLiteral("MqttReaderUrl"), settings.mqttReaderUrl},
            {QStringLiteral("UploadEnabled"), settings.uploadEnabled ? 1 : 0},
            {QStringLiteral("UploadUrl"), settings.uploadUrl},
            {QStringLiteral("UploadUser"), settings.uploadUser},
            {QStringLiteral("UploadCaFile"), settings.uploadCaFile},
            {QStringLiteral("UploadKnownHosts"), settings.uploadKnownHosts},
            {QStringLiteral("UploadKeyFile"), settings.uploadKeyFile},
            {QStringLiteral("UploadInterval"), settings.uploadInterval},
            {QStringLiteral("ChronoDevice"), settings.timerDevice},
            {QStringLiteral("ChronoBaud"), settings.timerBaud},
            {QStringLiteral("ChronoFormat"), settings.timerProfile},
            {QStringLiteral("ChronoStart"), settings.timerStart},
            {QStringLiteral("ChronoSplit"), settings.timerSplit},
            {QStringLiteral("ChronoStop"), settings.timerStop},
            {QStringLiteral("ChronoB"), settings.timerBackup},
            {QStringLiteral("ChronoDrift"), settings.timerDriftLimit},
            {QStringLiteral("BoardDevice"), settings.boardDevice},
            {QStringLiteral("BoardBaud"), settings.boardBaud},
            {QStringLiteral("BoardProtocol"), settings.boardProtocol},
            {QStringLiteral("UrkundenNachFreigabe"), settings.certificatesAfterRelease ? 1 : 0}};
}

} // namespace

const QStringList& SettingsStore::readingOrder() {
    static const QStringList order{"Left",
                                   "Top",
                                   "Width",
                                   "Height",
                                   "Sound",
                                   "Port",
                                   "Alg",
                                   "WaitStart",
                                   "Timer",
                                   "Monitor",
                                   "LockTime",
                                   "Title",
                                   "AutoReset",
                                   "FilterInd",
                                   "VidResult",
                                   "Len",
                                   "Logo",
                                   "LiveResults",
                                   "LivePort",
                                   "LiveAddress",
                                   "LiveAddressOnly",
                                   "BLine",
                                   "BLockTime",
                                   "StuckLimit",
                                   "MaxRunTime",
                                   "MqttEnabled",
                                   "MqttHost",
                                   "MqttPort",
                                   "MqttUser",
                                   "MqttTls",
                                   "MqttCaFile",
                                   "MqttClientId",
                                   "MqttPrefix",
                                   "MqttReaderUrl",
                                   "UploadEnabled",
                                   "UploadUrl",
                                   "UploadUser",
                                   "UploadCaFile",
                                   "UploadKnownHosts",
                                   "UploadKeyFile",
                                   "UploadInterval",
                                   "ChronoDevice",
                                   "ChronoBaud",
                                   "ChronoFormat",
                                   "ChronoStart",
                                   "ChronoSplit",
                                   "ChronoStop",
                                   "ChronoB",
                                   "ChronoDrift",
                                   "BoardDevice",
                                   "BoardBaud",
                                   "BoardProtocol"};
    return order;
}

bool SettingsStore::save(const Settings& settings) {
    return write(settings, SettingsLoad{std::nullopt, std::nullopt, settings}, true);
}

bool SettingsStore::save(const Settings& settings, const SettingsLoad& loaded) {
    return write(settings, loaded, false);
}

bool SettingsStore::write(const Settings& settings, const SettingsLoad& loaded, bool allPasswords) {
    QSettings& store = *m_store;
    if (!store.isWritable())
        return false;
    const qsizetype unreadFrom =
        loaded.stoppedAt ? readingOrder().indexOf(*loaded.stoppedAt) : qsizetype(-1);
    const auto before = storedValues(loaded.asLoaded);
    const auto now = storedValues(settings);
    const auto designed = storedValues(Settings{});
    for (qsizetype i = 0; i < now.size(); ++i) {
        const QString& key = now[i].first;
        const bool unread = unreadFrom >= 0 && readingOrder().indexOf(key) >= unreadFrom;
        if (unread && store.contains(key) && now[i].second == before[i].second)
            continue;
        if (writtenOnceChanged(key) && !store.contains(key) && now[i].second == designed[i].second)
            continue;
        store.setValue(key, now[i].second);
    }
    bool passwordsKept = true;
    for (auto [name, password, asLoaded] :
         {std::tuple{"mqtt", &settings.mqttPassword, &loaded.asLoaded.mqttPassword},
          std::tuple{"webspace", &settings.uploadPassword, &loaded.asLoaded.uploadPassword}}) {
        if (allPasswords || *password != *asLoaded)
            passwordsKept = savePassword(QLatin1String(name), *password) && passwordsKept;
    }
    store.sync();
    return store.status() == QSettings::NoError && passwordsKept;
}

std::optional<QString> SettingsStore::storedText(const QString& key) const {
    if (!m_store->contains(key))
        return std::nullopt;
    return m_store->value(key).toString();
}
