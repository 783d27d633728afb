#include "output/registration/ImportMemory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Bounds for a settings value edited by hand.
constexpr int kMaxRemembered = 500;

bool isClass(const QString& value) {
    return value.size() == 1 && value.front() >= u'1' && value.front() <= u'4';
}

} // namespace

QString ImportMemory::headerKey(const QString& header) {
    QString key;
    for (const QChar ch : header) {
        if (ch.isLetterOrNumber())
            key.append(ch.toLower());
        else if (ch == u'#')
            key.append(ch);
    }
    return key;
}

ImportMemory ImportMemory::fromText(const QString& text) {
    ImportMemory memory;
    const QJsonObject root = QJsonDocument::fromJson(text.toUtf8()).object();
    const QJsonObject headers = root.value(u"headers").toObject();
    for (auto it = headers.begin(); it != headers.end() && memory.m_headers.size() < kMaxRemembered;
         ++it)
        memory.m_headers.insert(headerKey(it.key()),
                                ImportFields::fromCaption(it.value().toString()));
    for (const QJsonValue value : root.value(u"positions").toArray()) {
        if (memory.m_positions.size() < kMaxRemembered)
            memory.m_positions.append(ImportFields::fromCaption(value.toString()));
    }
    const QJsonObject classes = root.value(u"classes").toObject();
    for (auto it = classes.begin(); it != classes.end() && memory.m_classes.size() < kMaxRemembered;
         ++it) {
        if (isClass(it.value().toString()))
            memory.m_classes.insert(ImportMapping::classKey(it.key()), it.value().toString());
    }
    if (root.value(u"existing").toString() == u"update")
        memory.m_existing = ImportMapping::Existing::Update;
    memory.m_numberMissing = root.value(u"numberMissing").toBool();
    return memory;
}

QString ImportMemory::toText() const {
    QJsonObject headers;
    for (auto it = m_headers.begin(); it != m_headers.end(); ++it)
        headers.insert(it.key(), ImportFields::caption(it.value()));
    QJsonArray positions;
    for (ImportField field : m_positions)
        positions.append(ImportFields::caption(field));
    QJsonObject classes;
    for (auto it = m_classes.begin(); it != m_classes.end(); ++it)
        classes.insert(it.key(), it.value());
    QJsonObject root;
    root.insert(u"headers", headers);
    root.insert(u"positions", positions);
    root.insert(u"classes", classes);
    root.insert(u"existing", m_existing == ImportMapping::Existing::Update
                                 ? QStringLiteral("update")
                                 : QStringLiteral("skip"));
    root.insert(u"numberMissing", m_numberMissing);
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact));
}

void ImportMemory::learn(const ImportWorkbook::Sheet& sheet, const ImportMapping& mapping) {
    if (mapping.headerRow >= 0 && mapping.headerRow < sheet.rows.size()) {
        const QStringList& names = sheet.rows.at(mapping.headerRow).cells;
        for (int column = 0; column < names.size(); ++column) {
            const QString key = headerKey(names.at(column));
            if (!key.isEmpty() && (m_headers.size() < kMaxRemembered || m_headers.contains(key)))
                m_headers.insert(key, mapping.field(column));
        }
    } else {
        m_positions = mapping.columns.mid(0, kMaxRemembered);
    }
    for (auto it = mapping.classes.begin(); it != mapping.classes.end(); ++it) {
        if (isClass(it.value()) &&
            (m_classes.size() < kMaxRemembered || m_classes.contains(it.key())))
            m_classes.insert(it.key(), it.value());
    }
    m_existing = mapping.existing;
    m_numberMissing = mapping.numberMissing;
}

std::optional<ImportField> ImportMemory::fieldForHeader(const QString& header) const {
    const auto it = m_headers.constFind(headerKey(header));
    if (it == m_headers.constEnd())
        return std::nullopt;
    return it.value();
}

std::optional<QList<ImportField>> ImportMemory::fieldsByPosition(int columnCount) const {
    if (m_positions.isEmpty() || m_positions.size() != columnCount)
        return std::nullopt;
    return m_positions;
}
