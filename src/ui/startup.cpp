#include "ui/startup.h"

#include "app/appfolder.h"
#include "app/runstate.h"
#include "office/libreoffice.h"
#include "store/bank.h"
#include "ui/Form_qdjm.h"
#include "ui/qtdesktop.h"
#include "ui/qtprompts.h"

#include <QApplication>
#include <QIcon>
#include <QPointer>
#include <QtConcurrent>

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

    // The office starts in the background while the teacher logs in, so that the
    // first screen that writes a document does not wait for it.
    QFuture<void> warmUp = QtConcurrent::run([&office] {
        try {
            office.warmUp();
        } catch (const OfficeError&) {
            // Reported when a screen needs the office.
        }
    });
    Form_qdjm::showNew(state);
    const int result = app.exec();
    warmUp.waitForFinished();

    // Screens still open when the program ends go before the run state does.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows << w;
    for (const QPointer<QWidget>& w : windows)
        delete w.data();
    return result;
}

}  // namespace zs
