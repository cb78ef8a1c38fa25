#pragma once

#include "office/office.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace zs {

class UnoSession;

// The word processor and spreadsheet of this program: one headless LibreOffice
// process with a private profile, started on first use, serving the whole run,
// and ended with this object (also when the program dies: the process is tied
// to ours).
class LibreOffice : public Office {
public:
    LibreOffice();
    ~LibreOffice() override;

    std::unique_ptr<WordInstance> startWord() override;
    std::unique_ptr<SpreadsheetInstance> startSpreadsheet() override;
    void exportPdf(const QString& documentPath, const QString& pdfPath) override;

    // Whether a LibreOffice installation is present (without starting it).
    static bool isInstalled();
    // Starts the office process now instead of at first use.
    void warmUp();

    // Removes the private office profiles (about 0.5 MB each) that programs
    // killed before they could clean up left in `tempFolder`: only those whose
    // owning program is no longer running. Returns the folders removed.
    static QStringList removeStaleProfiles(const QString& tempFolder);
    // Removes the pipe files ("OSL_PIPE_<user>_zhuoshi_<pid>_<n>", in /tmp
    // whatever the temporary folder) that the offices of killed programs
    // left; only those whose program is no longer running.
    static QStringList removeStalePipes(const QString& pipeFolder = QStringLiteral("/tmp"));

private:
    std::shared_ptr<UnoSession> session_;
};

}  // namespace zs
