#pragma once

#include <QMetaType>

// The three light barriers along the slide, in the order of a run.
enum class LightBarrier { Start, Intermediate, Stop };

Q_DECLARE_METATYPE(LightBarrier)
