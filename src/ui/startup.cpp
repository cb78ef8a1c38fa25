#include "ui/startup.h"

#include "app/appfolder.h"
#include "app/runstate.h"
#include "office/libreoffice.h"
#include "store/bank.h"
#include "ui/qtdesktop.h"
#include "ui/qtprompts.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLabel>

namespace zs {

int runProgram(QApplication& app, const QString& appDir, LibreOffice& office) {
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zs/logo.png")));
    QtPrompts prompts;
    QtDesktop desktop;

    // Missing files of the application folder are made before anything else.
    AppFolder folder(appDir);
    if (!folder.missing().isEmpty()) {
        try {
            folder.prepare(office);
        } catch (const StoreError& e) {
            prompts.show(e.message());
        } catch (const OfficeError& e) {
            prompts.show(e.message());
        }
    }
    RunState state(appDir, prompts, office, desktop);
    const QString problem = Bank::problemWith(state.BankPath);
    if (!problem.isEmpty()) {
        prompts.show(problem + QStringLiteral("\r\r程序即将退出。"));
        return 1;
    }

    QLabel window(QStringLiteral("已打开试题库：%1").arg(QDir::toNativeSeparators(state.BankPath)));
    window.setWindowTitle(QStringLiteral("琢石-试题库"));
    window.setMargin(40);
    window.show();
    return app.exec();
}

}  // namespace zs
