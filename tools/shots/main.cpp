// zhuoshi-shots: pictures of the real screens on a copy of a demo application
// folder, and pictures of the documents a paper generation writes.
//
//   zhuoshi-shots [--only NAME] [--tutorial FILE] [--app-dir DIR] DEMO_DIR OUT_DIR
//
// With --tutorial the tutorial of the program is written with the pictures.
// The screens run on a copy of the demo folder, made in DIR (which must not
// hold anything yet) or in a temporary folder, and removed afterwards; the
// screens that name the bank's file show that folder. Folders may be given
// relative to the current one.
//
// The demo folder itself is not changed.

#include "app/runstate.h"
#include "app/tutorial.h"
#include "doubles/recordingdesktop.h"
#include "doubles/scriptedprompts.h"
#include "office/libreoffice.h"
#include "paper/papergeneration.h"
#include "paper/smartsort.h"
#include "shots/screens.h"
#include "store/paths.h"
#include "ui/paper/Form_scsjjm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPainter>
#include <QPdfDocument>
#include <QTemporaryDir>
#include <cstdio>

namespace {

bool copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(source));
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
        } else if (!QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
}

// The pages of a document as pictures: OUT/<name>-<page>.png.
QStringList documentPages(zs::Office& office, const QString& document, const QString& out, const QString& name) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    office.exportPdf(document, pdf);
    QPdfDocument pages;
    pages.load(pdf);
    QStringList written;
    for (int p = 0; p < pages.pageCount(); ++p) {
        const QSizeF size = pages.pagePointSize(p);
        const int width = 900;
        QImage page = pages.render(p, QSize(width, int(width * size.height() / size.width())));
        QImage paper(page.size(), QImage::Format_RGB32);
        paper.fill(Qt::white);
        QPainter(&paper).drawImage(0, 0, page);
        const QString file = QDir(out).filePath(QStringLiteral("%1-%2.png").arg(name).arg(p + 1));
        paper.save(file);
        written << file;
    }
    return written;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("琢石-试题库：各个界面和生成文档的截图"));
    parser.addHelpOption();
    const QCommandLineOption only(QStringLiteral("only"), QStringLiteral("只截这一个界面"), QStringLiteral("NAME"));
    parser.addOption(only);
    const QCommandLineOption tutorial(QStringLiteral("tutorial"), QStringLiteral("截图之后写出使用教程"),
                                      QStringLiteral("FILE"));
    parser.addOption(tutorial);
    const QCommandLineOption appDir(
        QStringLiteral("app-dir"), QStringLiteral("在这个（还不存在或者空的）文件夹里复制演示文件夹并截图，结束后删除"),
        QStringLiteral("DIR"));
    parser.addOption(appDir);
    parser.addPositionalArgument(QStringLiteral("DEMO_DIR"), QStringLiteral("演示程序文件夹"));
    parser.addPositionalArgument(QStringLiteral("OUT_DIR"), QStringLiteral("图片写到这里"));
    parser.process(app);
    if (parser.positionalArguments().size() != 2)
        parser.showHelp(1);
    const QString demo = QFileInfo(parser.positionalArguments()[0]).absoluteFilePath();
    const QString out = QFileInfo(parser.positionalArguments()[1]).absoluteFilePath();
    QDir().mkpath(out);

    // The copy the screens run on: in the named folder, or in a temporary one
    // under the program's folder name.
    QTemporaryDir temporary, desktopFolder;
    QString work = QDir(temporary.path()).filePath(QStringLiteral("琢石-试题库"));
    if (parser.isSet(appDir)) {
        work = QFileInfo(parser.value(appDir)).absoluteFilePath();
        if (QFileInfo(work).isDir() && !QDir(work).isEmpty()) {
            std::fprintf(stderr, "zhuoshi-shots：文件夹 %s 里已经有东西了，请换一个\n", qUtf8Printable(work));
            return 1;
        }
    }
    struct RemoveWork {
        QString path;
        ~RemoveWork() { QDir(path).removeRecursively(); }
    } removeWork{work};
    if (!QFileInfo::exists(QDir(demo).filePath(zs::kBankFileName)) || !copyFolder(demo, work)) {
        std::fprintf(stderr, "zhuoshi-shots：无法使用演示文件夹 %s\n", qUtf8Printable(demo));
        return 1;
    }
    zs::LibreOffice office;
    zs::ScriptedPrompts prompts;
    zs::RecordingDesktop desktop(desktopFolder.path());
    zs::RunState state(work, prompts, office, desktop);
    state.CurrentUserName = QStringLiteral("张老师");

    for (const shots::Shot& shot : shots::allShots()) {
        if (parser.isSet(only) && parser.value(only) != shot.name)
            continue;
        state.resetBankPath();
        const QImage image = shot.take(state);
        const QString file = QDir(out).filePath(shot.name + QStringLiteral(".png"));
        image.save(file);
        std::printf("%s  %s\n", qUtf8Printable(file), qUtf8Printable(shot.caption));
    }

    if (!parser.isSet(only) || parser.value(only) == u"documents") {
        state.resetBankPath();
        zs::SpecTable table;
        shots::fillTable(state, table);
        zs::smartSort(table);
        zs::Form_scsjjm generator(state, table, false);
        generator.Form_Activate();
        const QStringList files = generator.outputFiles();
        if (files.size() < 3) {
            std::fprintf(stderr, "zhuoshi-shots：生成试卷失败：%s\n", qUtf8Printable(prompts.lastMessage()));
            return 1;
        }
        const char* names[] = {"paper", "answers", "review"};
        for (int i = 0; i < 3; ++i)
            for (const QString& page : documentPages(office, files[i], out, QString::fromLatin1(names[i])))
                std::printf("%s\n", qUtf8Printable(page));
        // The printable forms: scores, the exam header, the two-column
        // layouts with their sealing line, and the answer sheet.
        zs::SpecTable scored = table;
        for (int r : zs::placedRows(scored)) {
            const QString type = scored.cell(r, zs::SpecTable::Type);
            scored.setCell(r, zs::SpecTable::Score,
                           type.contains(QStringLiteral("选")) ? QStringLiteral("3")
                           : type == u"填空题"                 ? QStringLiteral("4")
                                                               : QStringLiteral("10"));
        }
        for (const auto layout : {zs::PaperLayout::A3TwoColumns, zs::PaperLayout::K8TwoColumns}) {
            zs::PaperSettings settings;
            settings.title = QStringLiteral("2026—2027学年第一学期期中考试");
            settings.subtitle = QStringLiteral("七年级数学试卷");
            settings.minutes = 120;
            settings.layout = layout;
            settings.answerSheet = layout == zs::PaperLayout::A3TwoColumns;
            zs::Form_scsjjm printable(state, scored, false);
            printable.setSettings(settings);
            printable.Form_Activate();
            const QStringList written = printable.outputFiles();
            if (written.size() < 4) {
                std::fprintf(stderr, "zhuoshi-shots：生成试卷失败：%s\n", qUtf8Printable(prompts.lastMessage()));
                return 1;
            }
            const QString name =
                layout == zs::PaperLayout::A3TwoColumns ? QStringLiteral("paper-a3") : QStringLiteral("paper-8k");
            for (const QString& page : documentPages(office, written[0], out, name))
                std::printf("%s\n", qUtf8Printable(page));
            if (settings.answerSheet)
                for (const QString& page : documentPages(office, written.last(), out, QStringLiteral("sheet")))
                    std::printf("%s\n", qUtf8Printable(page));
        }
    }
    if (parser.isSet(tutorial)) {
        zs::writeTutorial(office, QFileInfo(parser.value(tutorial)).absoluteFilePath(), out);
        std::printf("%s\n", qUtf8Printable(parser.value(tutorial)));
    }
    return 0;
}
