#include "platform/SecretService.h"

#include <QDBusArgument>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDBusVariant>

namespace {

const QString kService = QStringLiteral("org.freedesktop.secrets");
const QString kServicePath = QStringLiteral("/org/freedesktop/secrets");
const QString kServiceInterface = QStringLiteral("org.freedesktop.Secret.Service");
const QString kCollectionInterface = QStringLiteral("org.freedesktop.Secret.Collection");
const QString kItemInterface = QStringLiteral("org.freedesktop.Secret.Item");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
// No object: what the service answers for "none" and for "no prompt needed".
const QString kNoObject = QStringLiteral("/");

// A secret as the service sends it: the session it is encrypted for (here "plain": the
// session bus is the user's own), the algorithm's parameters, the value and its type.
struct Secret {
    QDBusObjectPath session;
    QByteArray parameters;
    QByteArray value;
    QString contentType;
};

} // namespace

Q_DECLARE_METATYPE(Secret)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const Secret& secret) {
    argument.beginStructure();
    argument << secret.session << secret.parameters << secret.value << secret.contentType;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Secret& secret) {
    argument.beginStructure();
    argument >> secret.session >> secret.parameters >> secret.value >> secret.contentType;
    argument.endStructure();
    return argument;
}

void registerTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<Secret>();
        qDBusRegisterMetaType<SecretService::Attributes>();
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace

SecretService::SecretService(QDBusConnection bus) : m_bus(std::move(bus)) {
    registerTypes();
}

bool SecretService::open() {
    if (m_tried)
        return !m_session.isEmpty();
    m_tried = true;
    if (!m_bus.isConnected())
        return false;
    QDBusInterface service(kService, kServicePath, kServiceInterface, m_bus);
    service.setTimeout(timeoutMs);
    const QDBusReply<QDBusObjectPath> alias =
        service.call(QStringLiteral("ReadAlias"), QStringLiteral("default"));
    if (!alias.isValid() || alias.value().path() == kNoObject)
        return false;
    QDBusInterface properties(kService, alias.value().path(), kProperties, m_bus);
    properties.setTimeout(timeoutMs);
    const QDBusReply<QDBusVariant> locked =
        properties.call(QStringLiteral("Get"), kCollectionInterface, QStringLiteral("Locked"));
    if (!locked.isValid() || locked.value().variant().toBool())
        return false;
    const QDBusMessage session =
        service.call(QStringLiteral("OpenSession"), QStringLiteral("plain"),
                     QVariant::fromValue(QDBusVariant(QString())));
    if (session.type() != QDBusMessage::ReplyMessage || session.arguments().size() != 2)
        return false;
    m_collection = alias.value().path();
    m_session = session.arguments().at(1).value<QDBusObjectPath>().path();
    return !m_session.isEmpty();
}

bool SecretService::isOpen() {
    return open();
}

QList<QDBusObjectPath> SecretService::unlockedItems(const Attributes& attributes) {
    QDBusInterface service(kService, kServicePath, kServiceInterface, m_bus);
    service.setTimeout(timeoutMs);
    const QDBusMessage found =
        service.call(QStringLiteral("SearchItems"), QVariant::fromValue(attributes));
    if (found.type() != QDBusMessage::ReplyMessage || found.arguments().isEmpty())
        return {};
    return qdbus_cast<QList<QDBusObjectPath>>(found.arguments().first());
}

std::optional<QString> SecretService::lookup(const Attributes& attributes) {
    if (!open())
        return std::nullopt;
    const QList<QDBusObjectPath> items = unlockedItems(attributes);
    if (items.isEmpty())
        return std::nullopt;
    QDBusInterface item(kService, items.first().path(), kItemInterface, m_bus);
    item.setTimeout(timeoutMs);
    const QDBusMessage reply =
        item.call(QStringLiteral("GetSecret"), QVariant::fromValue(QDBusObjectPath(m_session)));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return QString::fromUtf8(qdbus_cast<Secret>(reply.arguments().first()).value);
}

bool SecretService::store(const QString& label, const Attributes& attributes,
                          const QString& secret) {
    if (!open())
        return false;
    QVariantMap properties;
    properties.insert(QStringLiteral("org.freedesktop.Secret.Item.Label"), label);
    properties.insert(QStringLiteral("org.freedesktop.Secret.Item.Attributes"),
                      QVariant::fromValue(attributes));
    const Secret value{QDBusObjectPath(m_session),
                       {},
                       secret.toUtf8(),
                       QStringLiteral("text/plain; charset=utf8")};
    QDBusInterface collection(kService, m_collection, kCollectionInterface, m_bus);
    collection.setTimeout(timeoutMs);
    const QDBusMessage reply =
        collection.call(QStringLiteral("CreateItem"), properties, QVariant::fromValue(value), true);
    // A prompt means the keyring wants the user first; that is not taken as stored.
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 2 &&
           reply.arguments().at(0).value<QDBusObjectPath>().path() != kNoObject &&
           reply.arguments().at(1).value<QDBusObjectPath>().path() == kNoObject;
}

bool SecretService::remove(const Attributes& attributes) {
    if (!open())
        return false;
    for (const QDBusObjectPath& path : unlockedItems(attributes)) {
        QDBusInterface item(kService, path.path(), kItemInterface, m_bus);
        item.setTimeout(timeoutMs);
        const QDBusReply<QDBusObjectPath> prompt = item.call(QStringLiteral("Delete"));
        if (!prompt.isValid() || prompt.value().path() != kNoObject)
            return false;
    }
    return true;
}
