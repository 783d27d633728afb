#pragma once

#include <QMetaType>

// The two rows of the seven-segment time display: the running clock above, intermediate
// times, speeds and the best time below.
enum class DisplayRow { Upper, Lower };

Q_DECLARE_METATYPE(DisplayRow)
