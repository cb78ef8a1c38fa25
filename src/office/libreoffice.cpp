#include "office/libreoffice.h"

#include "office/lowriter.h"
#include "office/unosupport.h"

#include <QFileInfo>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

namespace zs {

LibreOffice::LibreOffice() : session_(std::make_shared<UnoSession>()) {}

LibreOffice::~LibreOffice() {
    session_->stop();
}

bool LibreOffice::isInstalled() {
    return QFileInfo::exists(QStringLiteral("/usr/lib/libreoffice/program/soffice.bin"));
}

void LibreOffice::warmUp() {
    session_->desktop();
}

QStringList LibreOffice::removeStalePipes(const QString& pipeFolder) {
    return UnoSession::removeStalePipes(pipeFolder);
}

QStringList LibreOffice::removeStaleProfiles(const QString& tempFolder) {
    return UnoSession::removeStaleProfiles(tempFolder);
}

std::unique_ptr<WordInstance> LibreOffice::startWord() {
    session_->desktop();
    return makeLoWordInstance(session_);
}

std::unique_ptr<SpreadsheetInstance> LibreOffice::startSpreadsheet() {
    session_->desktop();
    return makeLoSpreadsheetInstance(session_);
}

void LibreOffice::exportPdf(const QString& documentPath, const QString& pdfPath) {
    if (!QFileInfo::exists(documentPath))
        throw OfficeError(QStringLiteral("找不到文档：%1").arg(documentPath));
    unoCall(QStringLiteral("无法生成文档预览：%1").arg(documentPath), [&] {
        const Reference<css::frame::XComponentLoader> loader(session_->desktop(), UNO_QUERY_THROW);
        const auto args =
            properties({property("Hidden", css::uno::Any(true)), property("ReadOnly", css::uno::Any(true))});
        Reference<css::lang::XComponent> doc = loader->loadComponentFromURL(fileUrl(documentPath), "_blank", 0, args);
        if (!doc.is())
            throw OfficeError(QStringLiteral("无法打开文档：%1").arg(documentPath));
        try {
            // Workbooks print with their page styles, without their hidden sheets.
            const bool workbook = Reference<css::sheet::XSpreadsheetDocument>(doc, UNO_QUERY).is();
            const OUString filter = workbook ? OUString("calc_pdf_Export") : OUString("writer_pdf_Export");
            Reference<css::frame::XStorable>(doc, UNO_QUERY_THROW)
                ->storeToURL(fileUrl(pdfPath), properties({property("FilterName", css::uno::Any(filter))}));
        } catch (...) {
            closeDocument(doc);
            throw;
        }
        closeDocument(doc);
    });
}

}  // namespace zs
