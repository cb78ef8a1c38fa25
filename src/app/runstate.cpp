#include "app/runstate.h"

#include "store/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QUrl>
#include <QUuid>
#include <chrono>

namespace zs {

NumberPool::NumberPool() : holder_(QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

RunState::RunState(QString appDir, Prompts& prompts_, Office& office_, Desktop& desktop_)
    : prompts(prompts_), office(office_), desktop(desktop_), appDir_(std::move(appDir)),
      random_(unsigned(std::chrono::system_clock::now().time_since_epoch().count())) {
    resetBankPath();
}

RunState::~RunState() {
    quitSharedWordInstance();
}

QString RunState::appFile(const QString& name) const {
    return QDir(appDir_).filePath(name);
}

QString RunState::applicationBankPath() const {
    return appFile(kBankFileName);
}

void RunState::startSharedWordInstance() {
    quitSharedWordInstance();
    SharedWordInstance = office.startWord();
    sharedBlankDocument_ = SharedWordInstance->newDocument();
}

void RunState::ensureSharedWordInstance() {
    if (!SharedWordInstance)
        startSharedWordInstance();
}

void RunState::quitSharedWordInstance() {
    sharedBlankDocument_.reset();
    if (SharedWordInstance) {
        SharedWordInstance->quit();
        SharedWordInstance.reset();
    }
}

QString RunState::homePage() const {
    return QUrl::fromLocalFile(appFile(kHomePageName)).toString();
}

}  // namespace zs
