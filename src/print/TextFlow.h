#pragma once

#include "print/CertificateText.h"

#include <QList>
#include <QRectF>

// Text flowed into a region, as a drawing program's text box holds it: paragraphs broken into
// lines at blanks, lines aligned as their text says, and everything shrunk by one factor
// until each word fits the region's width and all lines its height.
namespace TextFlow {

// The smallest share of its own size a text is shrunk to; below it, it runs out of its region.
constexpr double SmallestScale = 0.05;

// Paragraphs as chunks whose spans hold the filled text; `plain` styles an empty paragraph.
CertificateText::Layout layout(const QList<CertificateText::Chunk>& paragraphs,
                               const QRectF& region, const SvgTextStyle& plain);

} // namespace TextFlow
