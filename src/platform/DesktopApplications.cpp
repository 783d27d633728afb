#include "platform/DesktopApplications.h"

// GIO names a struct member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

namespace DesktopApplications {

QString defaultFor(const char* mimeType) {
    gchar* contentType = g_content_type_from_mime_type(mimeType);
    GAppInfo* app = g_app_info_get_default_for_type(contentType ? contentType : mimeType, FALSE);
    g_free(contentType);
    if (!app)
        return QString();
    const char* name = g_app_info_get_name(app);
    QString result = QString::fromUtf8(name ? name : "?");
    if (result.isEmpty())
        result = QStringLiteral("?");
    g_object_unref(app);
    return result;
}

bool hasDefaultFor(const char* mimeType) {
    return !defaultFor(mimeType).isEmpty();
}

} // namespace DesktopApplications
