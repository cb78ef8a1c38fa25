#pragma once

#include "office/desktop.h"

#include <QStringList>

namespace zs {

// A desktop that only notes what it was asked to open; its folder is given.
class RecordingDesktop : public Desktop {
public:
    explicit RecordingDesktop(QString folder = {}) : folder_(std::move(folder)) {}
    QString desktopFolder() const override { return folder_; }
    void openFile(const QString& path) override { openedFiles << path; }
    void openUrl(const QString& url) override { openedUrls << url; }
    void setDesktopFolder(const QString& folder) { folder_ = folder; }

    QStringList openedFiles;
    QStringList openedUrls;

private:
    QString folder_;
};

}  // namespace zs
