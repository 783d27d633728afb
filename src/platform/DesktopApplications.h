#pragma once

#include <QString>

// Whether the desktop has an application registered for a document type, asked through its own
// MIME database (GIO reads the desktop files and mimeapps lists of every freedesktop desktop).
namespace DesktopApplications {

inline constexpr char kWordDocument[] =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document";
inline constexpr char kExcelWorkbook[] =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";

bool hasDefaultFor(const char* mimeType);

// The name of that application, empty when there is none.
QString defaultFor(const char* mimeType);

} // namespace DesktopApplications
