#pragma once

#include "office/desktop.h"

namespace zs {

// The teacher's desktop: its folder and its default applications.
class QtDesktop : public Desktop {
public:
    QString desktopFolder() const override;
    void openFile(const QString& path) override;
    void openUrl(const QString& url) override;
};

}  // namespace zs
