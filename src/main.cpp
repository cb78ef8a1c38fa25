// 琢石-试题库: the program's entry point.
//
//   zhuoshi-tiku [--app-dir DIR] [--prepare]
//
// DIR is the application folder (default: the executable's folder, or
// ~/琢石-试题库 when the program is installed: AppFolder::defaultDir). --prepare
// creates every missing file of the folder and exits without a window; like a
// start of the program it fails (exit status 1, the reason on standard error)
// when another program has the folder open, the bank cannot be used, or the
// documents of the bank's questions are gone.

#include "app/appfolder.h"
#include "office/libreoffice.h"
#include "ui/startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <cstdio>

int main(int argc, char* argv[]) {
    // Runs that show no window (the preparation, the help and the version)
    // need no display.
    bool windowless = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--prepare" || arg == "--help" || arg == "-h" || arg == "--version" || arg == "-v")
            windowless = true;
    }
    if (windowless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zhuoshi-tiku"));
    // No display name: Qt would append it to every window title, and the
    // screens' titles name the product already.
    QApplication::setApplicationVersion(QStringLiteral(ZS_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("琢石-试题库：试题库与组卷程序"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption appDirOption(
        QStringLiteral("app-dir"), QStringLiteral("程序文件夹（默认为程序所在的文件夹）"), QStringLiteral("DIR"));
    const QCommandLineOption prepareOption(QStringLiteral("prepare"),
                                           QStringLiteral("建立程序文件夹中缺少的文件，然后退出"));
    parser.addOption(appDirOption);
    parser.addOption(prepareOption);
    parser.process(app);

    const QString appDir =
        QDir(parser.isSet(appDirOption)
                 ? parser.value(appDirOption)
                 : zs::AppFolder::defaultDir(QCoreApplication::applicationDirPath(), QDir::homePath()))
            .absolutePath();
    zs::LibreOffice office;
    if (parser.isSet(prepareOption)) {
        // The same checks as a start of the program; what would stop the program
        // makes the preparation fail.
        zs::StartChecks checks(appDir);
        const bool ok = checks.run(office);
        auto report = [](const QString& text) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(QString(text).replace(u'\r', u'\n')));
        };
        for (const QString& name : checks.created())
            std::printf("已建立：%s\n", qUtf8Printable(QDir(appDir).filePath(name)));
        if (!checks.preparationError().isEmpty()) {
            report(checks.preparationError());
            return 1;
        }
        if (!ok) {
            report(checks.refusal());
            if (!checks.refusalDetails().isEmpty())
                report(QStringLiteral("详细信息：\n") + checks.refusalDetails());
            return 1;
        }
        for (const QString& warning : checks.warnings())
            report(warning);
        if (!checks.warnings().isEmpty())
            return 1;
        std::printf("程序文件夹已准备好：%s\n", qUtf8Printable(QDir::toNativeSeparators(appDir)));
        return 0;
    }
    return zs::runProgram(app, appDir, office);
}
