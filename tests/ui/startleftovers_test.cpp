// A start removes the paper-import split folders and the office's pipe files
// that killed programs left, and nothing of a running program.

#include "app/appfolder.h"
#include "support/testsupport.h"
#include "ui/start/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zs;
using test::TempFolder;
using test::TestApp;

TEST(StartLeftovers, SplitFoldersAndOfficePipesOfProgramsThatAreGoneAreRemoved) {
    TestApp app;
    for (const QString& name : AppFolder::expectedNames())
        if (!QFileInfo::exists(app.folder.file(name)))
            TestApp::touch(app.folder.file(name));
    TempFolder temp, pipes;
    QProcess ended;
    ended.start("sleep", {"0.1"});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 gone = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    const qint64 running = QCoreApplication::applicationPid();

    const QString deadSplit = QString("zhuoshi-split-%1-AbC123").arg(gone);
    const QString liveSplit = QString("zhuoshi-split-%1-XyZ789").arg(running);
    for (const QString& name : {deadSplit, liveSplit}) {
        QDir(temp.path()).mkpath(name);
        TestApp::touch(QDir(temp.path()).filePath(name + "/试卷.docx"));
        TestApp::touch(QDir(temp.path()).filePath(name + "/.~lock.试卷.docx#"));
    }
    const QString uid = QString::number(::getuid());
    const QString deadPipe = QString("OSL_PIPE_%1_zhuoshi_%2_0").arg(uid).arg(gone);
    const QString livePipe = QString("OSL_PIPE_%1_zhuoshi_%2_0").arg(uid).arg(running);
    const QString otherPipe = QString("OSL_PIPE_%1_SingleOfficeIPC_abc").arg(uid);
    for (const QString& name : {deadPipe, livePipe, otherPipe})
        TestApp::touch(QDir(pipes.path()).filePath(name));

    StartChecks start(app.dir());
    start.tempFolder = temp.path();
    start.pipeFolder = pipes.path();
    ASSERT_TRUE(start.run(test::office())) << start.refusal().toStdString();
    EXPECT_EQ(start.removedLeftovers(),
              QStringList({QDir(temp.path()).filePath(deadSplit), QDir(pipes.path()).filePath(deadPipe)}));
    EXPECT_TRUE(start.removedProfiles().isEmpty());
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList({liveSplit}));
    QStringList left = QDir(pipes.path()).entryList(QDir::Files);
    left.sort();
    QStringList expected{livePipe, otherPipe};
    expected.sort();
    EXPECT_EQ(left, expected);
}
