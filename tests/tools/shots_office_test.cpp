// The screenshot tool as a teacher's developer runs it: folders named relative
// to the current one, a copy of the demo folder to run on, removed afterwards.

#include "store/bank.h"
#include "store/paths.h"
#include "support/testsupport.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

using namespace zs;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString errors;
};

ToolRun shots(const QString& workingDirectory, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(ZS_SHOTS_PROGRAM), arguments);
    if (!process.waitForFinished(300000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace

TEST(ShotsTool, TakesRelativeFoldersAndRunsOnACopyItRemoves) {
    test::TempFolder base;
    const QDir here(base.path());
    here.mkdir("演示");
    Bank::create(here.filePath("演示/" + kBankFileName));
    here.mkdir("演示/" + kDocumentsFolderName);

    const ToolRun run = shots(base.path(), {"--only", "login", "--app-dir", "副本/琢石-试题库", "演示", "截图"});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_FALSE(QImage(here.filePath("截图/login.png")).isNull());
    EXPECT_FALSE(QFileInfo::exists(here.filePath("副本/琢石-试题库")));  // the copy is gone
    EXPECT_EQ(QDir(here.filePath("演示")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({kBankFileName, kDocumentsFolderName}));

    // A folder that holds something is not used for the copy.
    here.mkpath("占用");
    QFile(here.filePath("占用/文件.txt")).open(QIODevice::WriteOnly);
    const ToolRun refused = shots(base.path(), {"--only", "login", "--app-dir", "占用", "演示", "截图"});
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_TRUE(refused.errors.contains("占用")) << refused.errors.toStdString();
    EXPECT_TRUE(QFileInfo::exists(here.filePath("占用/文件.txt")));
}
