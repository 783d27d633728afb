#pragma once

#include <QFont>
#include <QString>

// The window is laid out for Arial's widths; where another font stands in for it (a machine
// without Arial or its metric twin), a caption keeps its designed place and shrinks instead of
// being cut.
namespace CaptionFit {

// The designed font when the text fits the width; otherwise the same font at the largest size
// that fits, never below `smallest` of the designed size (then the text is cut as before).
QFont font(const QFont& designed, const QString& text, int width, qreal smallest = 0.6);

} // namespace CaptionFit
