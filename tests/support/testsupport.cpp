#include "support/testsupport.h"

#include "store/paths.h"

#include <QFile>

namespace zs::test {

namespace {
std::unique_ptr<LibreOffice>& officeHolder() {
    static std::unique_ptr<LibreOffice> holder;
    return holder;
}
}  // namespace

LibreOffice& office() {
    auto& holder = officeHolder();
    if (!holder)
        holder = std::make_unique<LibreOffice>();
    return *holder;
}

void shutdownOffice() {
    officeHolder().reset();
}

TempFolder::TempFolder() {
    dir_.setAutoRemove(true);
}

TestApp::TestApp() {
    Bank::create(bankPath());
    QDir(dir()).mkdir(kDocumentsFolderName);
    desktop.setDesktopFolder(desktopFolder.path());
}

QString TestApp::bankPath() const {
    return folder.file(kBankFileName);
}

QString TestApp::documents() const {
    return folder.file(kDocumentsFolderName);
}

RunState& TestApp::state() {
    if (!state_) {
        state_ = std::make_unique<RunState>(dir(), prompts, office(), desktop);
        state_->seedRandom(12345);
        state_->documentPreviews = false;
        state_->setClock(clock);
    }
    return *state_;
}

void TestApp::touch(const QString& path) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
}

}  // namespace zs::test
