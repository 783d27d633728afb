#include "output/registration/ImportField.h"

namespace ImportFields {

QList<ImportField> all() {
    return {ImportField::Ignore, ImportField::Nr, ImportField::Name,   ImportField::Vorname,
            ImportField::Verein, ImportField::Kl, ImportField::Meister};
}

QString caption(ImportField field) {
    switch (field) {
    case ImportField::Nr:
        return QStringLiteral("Nr.");
    case ImportField::Name:
        return QStringLiteral("Name");
    case ImportField::Vorname:
        return QStringLiteral("Vorname");
    case ImportField::Verein:
        return QStringLiteral("Verein/Ort");
    case ImportField::Kl:
        return QStringLiteral("Kl.");
    case ImportField::Meister:
        return QStringLiteral("Meister");
    case ImportField::Ignore:
        break;
    }
    return QStringLiteral("nicht übernehmen");
}

ImportField fromCaption(const QString& text) {
    for (ImportField field : all()) {
        if (caption(field) == text)
            return field;
    }
    return ImportField::Ignore;
}

} // namespace ImportFields
