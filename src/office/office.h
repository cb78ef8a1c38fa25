#pragma once

#include "office/spreadsheet.h"
#include "office/wordprocessor.h"

#include <memory>

namespace zs {

// Starts word-processor and spreadsheet instances.
class Office {
public:
    virtual ~Office() = default;
    virtual std::unique_ptr<WordInstance> startWord() = 0;
    virtual std::unique_ptr<SpreadsheetInstance> startSpreadsheet() = 0;
    // Writes a PDF of a document or workbook file (for previews). May be
    // called from a background thread.
    virtual void exportPdf(const QString& documentPath, const QString& pdfPath) = 0;
};

}  // namespace zs
