#pragma once

#include <QList>
#include <QString>

// The heat start list column a column of a registration file goes to, or none.
enum class ImportField { Ignore, Nr, Name, Vorname, Verein, Kl, Meister };

namespace ImportFields {

// In the order the assignment lists offer them, "nicht übernehmen" first.
QList<ImportField> all();
// "Nr.", "Name", "Vorname", "Verein/Ort", "Kl.", "Meister", "nicht übernehmen".
QString caption(ImportField field);
// The inverse of caption; Ignore for an unknown text.
ImportField fromCaption(const QString& caption);

} // namespace ImportFields
