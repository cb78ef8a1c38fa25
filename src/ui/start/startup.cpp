#include "ui/start/startup.h"

#include "app/appfolder.h"
#include "app/runstate.h"
#include "office/libreoffice.h"
#include "office/officeerror.h"
#include "paper/paperrecord.h"
#include "paperimport/paperimport.h"
#include "questions/rowcheck.h"
#include "sharing/banksharing.h"
#include "store/bank.h"
#include "store/documentcheck.h"
#include "store/paths.h"
#include "ui/common/qtdesktop.h"
#include "ui/common/qtprompts.h"
#include "ui/start/Form_qdjm.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <QtConcurrent>

namespace zs {

StartChecks::StartChecks(QString appDir) : tempFolder(QDir::tempPath()), appDir_(std::move(appDir)), lock_(appDir_) {}

bool StartChecks::refuse(const QString& message, const QString& details) {
    refusal_ = message;
    refusalDetails_ = details;
    return false;
}

bool StartChecks::run(Office& office) {
    if (!QDir().mkpath(appDir_))
        return refuse(QStringLiteral("无法建立程序文件夹：\r%1").arg(QDir::toNativeSeparators(appDir_)));
    if (const QString held = lock_.acquire(); !held.isEmpty())
        return refuse(held);
    removedProfiles_ = LibreOffice::removeStaleProfiles(tempFolder);
    // A paper import's private folder (copies of the paper, the office's lock
    // files) and the office's pipe files of a killed program.
    removedLeftovers_ = removeStaleSplitFolders(tempFolder) + LibreOffice::removeStalePipes(pipeFolder);

    AppFolder folder(appDir_);
    const QString bankPath = folder.file(kBankFileName);
    // A bank that is there but unusable is refused before anything is made
    // beside it.
    if (QFileInfo::exists(bankPath) || QFileInfo(bankPath).isSymLink())
        if (const QString problem = Bank::problemWith(bankPath); !problem.isEmpty())
            return refuse(problem);
    if (const QString orphaned = folder.missingBankProblem(); !orphaned.isEmpty())
        return refuse(orphaned);
    if (!folder.missing().isEmpty()) {
        try {
            created_ = folder.prepare(office);
        } catch (const StoreError& e) {
            preparationError_ = e.message();
        } catch (const OfficeError& e) {
            preparationError_ = e.message();
        }
    }
    if (const QString problem = Bank::problemWith(bankPath); !problem.isEmpty())
        return refuse(problem);
    try {
        Bank bank(bankPath);
        if (const QString incomplete = bank.schemaProblem(); !incomplete.isEmpty())
            return refuse(incomplete);
        if (const QString lost = lostDocumentsMessage(bank); !lost.isEmpty())
            warnings_ << lost;
        if (const UnusableQuestions unusable = unusableQuestions(bank); !unusable.isEmpty())
            notices_ << Notice{unusableQuestionsMessage(unusable), unusableQuestionsDetails(unusable)};
    } catch (const StoreError& e) {
        return refuse(e.message(), e.details());
    }
    try {
        if (QFileInfo::exists(importJournalPath(bankPath)))
            notices_ << Notice{interruptedImportMessage(recoverInterruptedImport(bankPath)), {}};
    } catch (const StoreError& e) {
        warnings_ << e.message();
    }
    if (const QString unfinished = unfinishedPapersMessage(recoverInterruptedGenerations(appDir_));
        !unfinished.isEmpty())
        notices_ << Notice{unfinished, {}};
    return true;
}

bool installQtTranslations() {
    static QTranslator* qt = nullptr;
    if (qt)
        return true;
    auto translator = std::make_unique<QTranslator>();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"), QStringLiteral("_"), folder))
        return false;
    QCoreApplication::installTranslator(translator.get());
    qt = translator.release();
    return true;
}

int runProgram(QApplication& app, const QString& appDir, LibreOffice& office) {
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zs/logo.png")));
    QtPrompts qtPrompts;
    Prompts& prompts = qtPrompts;
    QtDesktop desktop;

    StartChecks checks(appDir);
    const bool go = checks.run(office);
    if (!checks.preparationError().isEmpty())
        prompts.show(checks.preparationError());
    if (!go) {
        const QString text = checks.refusal() + QStringLiteral("\r\r程序即将退出。");
        if (checks.refusalDetails().isEmpty())
            prompts.show(text);
        else
            prompts.messageWithDetails(text, checks.refusalDetails(), Icon::Critical);
        return 1;
    }
    for (const QString& warning : checks.warnings())
        prompts.message(warning, Buttons::Ok, Icon::Exclamation);
    for (const StartChecks::Notice& notice : checks.notices())
        if (notice.details.isEmpty())
            prompts.message(notice.text, Buttons::Ok, Icon::Information);
        else
            prompts.messageWithDetails(notice.text, notice.details, Icon::Information);
    RunState state(appDir, prompts, office, desktop);

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
