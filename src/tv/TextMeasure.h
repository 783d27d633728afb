#pragma once

#include <QSize>
#include <QString>
#include <functional>

// The size of a one-line text in the audience windows' font at a pixel size. The layouts take
// it as an argument, so they stay pure and a test can measure with fixed numbers.
using TextMeasure = std::function<QSize(const QString& text, int pixelSize)>;
