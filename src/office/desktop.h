#pragma once

#include <QString>

namespace zs {

// What the program asks of the teacher's desktop.
class Desktop {
public:
    virtual ~Desktop() = default;
    // The current user's desktop folder.
    virtual QString desktopFolder() const = 0;
    // Opens a file with the desktop's default application (a document in the
    // teacher's word processor, a workbook in the spreadsheet).
    virtual void openFile(const QString& path) = 0;
    // Opens a web address in the default browser.
    virtual void openUrl(const QString& url) = 0;
};

}  // namespace zs
