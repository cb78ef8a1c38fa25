#include "support/testsupport.h"

#include "store/paths.h"

#include <QDirIterator>
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

void copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(source));
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(source, target);
    }
}

TestApp::TestApp() {
    Bank::create(bankPath());
    QDir(dir()).mkdir(kDocumentsFolderName);
    desktop.setDesktopFolder(desktopFolder.path());
}

TestApp::TestApp(const QString& copyOf, unsigned seed) : seed_(seed) {
    copyFolder(copyOf, folder.path());
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
        state_->seedRandom(seed_);
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
