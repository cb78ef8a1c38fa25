// zhuoshi-demo: writes a demo application folder, or a large synthetic one for
// benchmarks.
//
//   zhuoshi-demo [--seed N] [--today YYYY-MM-DD] DIR
//   zhuoshi-demo --synthetic ROWS [--seed N] [--today YYYY-MM-DD] DIR
//
// A folder that already holds a bank is never overwritten.

#include "demo/generator.h"
#include "office/libreoffice.h"
#include "store/bank.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>

namespace {

void printLine(const QString& line) {
    std::printf("%s\n", qUtf8Printable(QString(line).replace(u'\r', u'\n')));
    std::fflush(stdout);
}

int fail(const QString& message) {
    std::fprintf(stderr, "zhuoshi-demo：%s\n", qUtf8Printable(QString(message).replace(u'\r', u'\n')));
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Figures are drawn with fonts, which needs a GUI application but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("zhuoshi-demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("建立琢石-试题库的演示程序文件夹（人教版初中数学、物理，含真实的题目和答案文档），"
                       "或者用于性能测试的大型题库。已经有试题库的文件夹不会被覆盖。"));
    parser.addHelpOption();
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("随机数种子（默认 %1）").arg(zs::demo::kDefaultSeed),
                                        QStringLiteral("N"));
    const QCommandLineOption syntheticOption(
        QStringLiteral("synthetic"), QStringLiteral("建立有 ROWS 行试题记录的大型题库"), QStringLiteral("ROWS"));
    const QCommandLineOption todayOption(QStringLiteral("today"),
                                         QStringLiteral("把这一天当作今天（入库日期和使用日期都在它之前，默认今天）"),
                                         QStringLiteral("YYYY-MM-DD"));
    parser.addOption(seedOption);
    parser.addOption(syntheticOption);
    parser.addOption(todayOption);
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("要建立的程序文件夹"));
    parser.process(app);

    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("请给出一个程序文件夹。用法：zhuoshi-demo [--synthetic ROWS] [--seed N] DIR"));
    const QString dir = QDir(parser.positionalArguments().first()).absolutePath();

    zs::demo::Options options;
    if (parser.isSet(seedOption)) {
        bool ok = false;
        options.seed = parser.value(seedOption).toUInt(&ok);
        if (!ok)
            return fail(QStringLiteral("随机数种子必须是非负整数：%1").arg(parser.value(seedOption)));
    }
    if (parser.isSet(todayOption)) {
        options.today = QDate::fromString(parser.value(todayOption), Qt::ISODate);
        if (!options.today.isValid())
            return fail(QStringLiteral("日期的格式应为 YYYY-MM-DD：%1").arg(parser.value(todayOption)));
    }
    int rows = 0;
    if (parser.isSet(syntheticOption)) {
        bool ok = false;
        rows = parser.value(syntheticOption).toInt(&ok);
        if (!ok || rows < 1)
            return fail(QStringLiteral("试题行数必须是正整数：%1").arg(parser.value(syntheticOption)));
    }
    const QString refusal = zs::demo::refusalFor(dir);
    if (!refusal.isEmpty())
        return fail(refusal);
    if (!zs::LibreOffice::isInstalled())
        return fail(QStringLiteral("没有找到 LibreOffice，无法写入试题文档。"));

    options.progress = printLine;
    QElapsedTimer timer;
    timer.start();
    zs::LibreOffice office;
    try {
        const zs::demo::Summary summary = rows > 0 ? zs::demo::writeSyntheticFolder(dir, rows, office, options)
                                                   : zs::demo::writeDemoFolder(dir, office, options);
        printLine(QStringLiteral("%1已建立：%2")
                      .arg(rows > 0 ? QStringLiteral("大型题库") : QStringLiteral("演示程序文件夹"),
                           QDir::toNativeSeparators(dir)));
        printLine(QStringLiteral("  试题 %1 道，试题记录 %2 行，文档 %3 个；教材 %4 节，知识点 %5 个；用时 %6 秒")
                      .arg(summary.questions)
                      .arg(summary.rows)
                      .arg(summary.documents)
                      .arg(summary.sections)
                      .arg(summary.points)
                      .arg(double(timer.elapsed()) / 1000, 0, 'f', 1));
        if (rows == 0)
            for (const zs::demo::Account& a : zs::demo::demoAccounts())
                printLine(QStringLiteral("  演示账号：%1，密码 %2（%3）").arg(a.name, a.password, a.subject));
        return 0;
    } catch (const zs::StoreError& e) {
        return fail(e.message());
    } catch (const zs::OfficeError& e) {
        return fail(e.message());
    } catch (const std::exception& e) {
        return fail(QString::fromStdString(e.what()));
    }
}
