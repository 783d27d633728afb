#pragma once

#include <QList>
#include <QRect>

// Gives the offscreen platform the screens a test needs. Call it before the application object
// is created; it does nothing when another platform than offscreen was chosen.
namespace OffscreenScreens {

void use(const QList<QRect>& screens);

} // namespace OffscreenScreens
