#pragma once

#include "output/registration/ImportWorkbook.h"

#include <QString>
#include <optional>

// A file read for import, or the reason it could not be read.
struct ImportReadResult {
    std::optional<ImportWorkbook> workbook;
    QString error;

    bool ok() const { return workbook.has_value(); }
    static ImportReadResult failure(const QString& reason) { return {std::nullopt, reason}; }
};
