// 琢石-试题库: the program's entry point.
//
//   zhuoshi-tiku [--app-dir DIR] [--prepare]
//   zhuoshi-tiku --create-school-bank LOCATION --elder NAME
//
// DIR is the application folder (default: the executable's folder, or
// ~/琢石-试题库 when the program is installed: AppFolder::defaultDir). --prepare
// creates every missing file of the folder and exits without a window; like a
// start of the program it fails (exit status 1, the reason on standard error)
// when another program has the folder open, the bank cannot be used, or the
// documents of the bank's questions are gone.
//
// --create-school-bank sets up a school bank in an existing empty database of a
// PostgreSQL server (LOCATION: postgresql://user@host:port/database, see
// store/serverlocation.h; the server's password from PGPASSWORD) with a first
// 元老级用户 NAME, whose password is read from ZS_ELDER_PASSWORD or the first
// line of standard input. scripts/school-server.sh runs it.

#include "app/appfolder.h"
#include "app/schoolbank.h"
#include "office/libreoffice.h"
#include "store/bank.h"
#include "store/paths.h"
#include "ui/start/startup.h"

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
        if (arg == "--prepare" || arg == "--help" || arg == "-h" || arg == "--version" || arg == "-v" ||
            arg == "--create-school-bank")
            windowless = true;
    }
    if (windowless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zhuoshi-tiku"));
    // No display name: Qt would append it to every window title, and the
    // screens' titles name the product already.
    QApplication::setApplicationVersion(QStringLiteral(ZS_VERSION));
    zs::installQtTranslations();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("琢石-试题库：试题库与组卷程序"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption appDirOption(
        QStringLiteral("app-dir"), QStringLiteral("程序文件夹（默认为程序所在的文件夹）"), QStringLiteral("DIR"));
    const QCommandLineOption prepareOption(QStringLiteral("prepare"),
                                           QStringLiteral("建立程序文件夹中缺少的文件，然后退出"));
    const QCommandLineOption schoolOption(QStringLiteral("create-school-bank"),
                                          QStringLiteral("在 PostgreSQL 服务器的空数据库中建立学校题库，然后退出"),
                                          QStringLiteral("LOCATION"));
    const QCommandLineOption elderOption(QStringLiteral("elder"), QStringLiteral("学校题库的第一位元老级用户"),
                                         QStringLiteral("NAME"));
    parser.addOption(appDirOption);
    parser.addOption(prepareOption);
    parser.addOption(schoolOption);
    parser.addOption(elderOption);
    parser.process(app);

    if (parser.isSet(schoolOption)) {
        QString password = qEnvironmentVariable("ZS_ELDER_PASSWORD");
        if (password.isEmpty()) {
            char line[1024] = {};
            if (std::fgets(line, sizeof line, stdin))
                password = QString::fromUtf8(line).remove(u'\n').remove(u'\r');
        }
        try {
            zs::createSchoolBank(parser.value(schoolOption), parser.value(elderOption), password);
        } catch (const zs::StoreError& e) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(QString(e.message()).replace(u'\r', u'\n')));
            if (!e.details().isEmpty())
                std::fprintf(stderr, "详细信息：\n%s\n", qUtf8Printable(e.details()));
            return 1;
        }
        std::printf("学校题库已建立：%s\n元老级用户：%s\n", qUtf8Printable(parser.value(schoolOption)),
                    qUtf8Printable(parser.value(elderOption)));
        return 0;
    }

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
        // What was cleaned up or is left out is said, but the folder is ready.
        for (const zs::StartChecks::Notice& notice : checks.notices()) {
            report(notice.text);
            if (!notice.details.isEmpty())
                report(QStringLiteral("详细信息：\n") + notice.details);
        }
        if (!checks.warnings().isEmpty())
            return 1;
        std::printf("程序文件夹已准备好：%s\n", qUtf8Printable(QDir::toNativeSeparators(appDir)));
        return 0;
    }
    return zs::runProgram(app, appDir, office);
}
