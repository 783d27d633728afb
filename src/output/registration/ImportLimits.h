#pragma once

#include <QtGlobal>

// Bounds that keep a hostile or broken registration file from taking the program's memory or
// time: a club list of a few thousand rows stays far below every one of them.
namespace ImportLimits {

constexpr qint64 kMaxFileBytes = 64LL * 1024 * 1024;
// Everything an office file unpacks to, counted as it is unpacked, not as the archive claims.
constexpr qint64 kMaxUnpackedBytes = 64LL * 1024 * 1024;
constexpr int kMaxArchiveEntries = 10000;
constexpr int kMaxXmlDepth = 64;
constexpr int kMaxSheets = 256;
constexpr int kMaxRows = 100000;
constexpr int kMaxColumns = 256;
constexpr qint64 kMaxCells = 2000000;
constexpr int kMaxSharedStrings = 1000000;
constexpr int kMaxCellChars = 32767;

} // namespace ImportLimits
