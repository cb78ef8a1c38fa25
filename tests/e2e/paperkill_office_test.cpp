// A program killed while it splits a paper on the paper import screen: the
// teacher's paper is left as it was (no lock file of the office beside it),
// and the next start removes what the killed program left in the temporary
// folders (its split folder with the copy of the paper, the office's pipe).

#include "paperimport/paperimport.h"
#include "paperimport/testpapers.h"
#include "support/childprocess.h"
#include "support/testsupport.h"
#include "ui/start/startup.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zs;
using test::TempFolder;

using test::childEnvironment;

namespace {

const QString kProgram = QStringLiteral(ZS_PROGRAM_PATH);
const QString kWorker = QStringLiteral(ZS_KILLWORKER_PATH);

// The entries of a folder that belong to the process `pid`.
QStringList entriesOf(const QString& folder, const QString& pattern, qint64 pid) {
    return QDir(folder).entryList({pattern.arg(pid)},
                                  QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

TEST(PaperKill, AProgramKilledWhileSplittingLeavesThePaperFreeAndTheNextStartCleansUp) {
    TempFolder folder, temp, papers;
    const QString app = folder.file("app");
    {
        QProcess prepare;
        prepare.setProcessEnvironment(childEnvironment(temp.path()));
        prepare.start(kProgram, {"--prepare", "--app-dir", app});
        ASSERT_TRUE(prepare.waitForFinished(600000));
        ASSERT_EQ(prepare.exitCode(), 0) << prepare.readAllStandardError().toStdString();
    }
    const test::TestPaper paper = test::writeDownloadedPaper(*test::office().startWord(), papers.path());
    const QStringList before = QDir(papers.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);

    QProcess worker;
    worker.setProcessEnvironment(childEnvironment(temp.path(), "paper-split"));
    worker.start(kWorker, {"paper", app, paper.paper});
    QByteArray err;
    QDeadlineTimer deadline(300000);
    while (!err.contains("paused at paper-split") && !deadline.hasExpired() && worker.state() != QProcess::NotRunning) {
        worker.waitForReadyRead(200);
        err += worker.readAllStandardError();
    }
    ASSERT_TRUE(err.contains("paused at paper-split")) << err.toStdString();
    const qint64 pid = worker.processId();
    // The office has the paper open: a copy in the program's own folder.
    const QStringList splits = entriesOf(temp.path(), "zhuoshi-split-%1-*", pid);
    ASSERT_EQ(splits.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(QDir(temp.file(splits[0])).filePath("试卷.docx")));
    EXPECT_FALSE(entriesOf("/tmp", QString("OSL_PIPE_%1_zhuoshi_%2_*").arg(::getuid()), pid).isEmpty());
    ::kill(pid_t(pid), SIGKILL);
    ASSERT_TRUE(worker.waitForFinished(30000));

    // Nothing of the office beside the teacher's paper.
    EXPECT_EQ(QDir(papers.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), before);

    // The next start removes the killed program's split folder and pipe.
    QProcess next;
    next.setProcessEnvironment(childEnvironment(temp.path()));
    next.start(kProgram, {"--prepare", "--app-dir", app});
    ASSERT_TRUE(next.waitForFinished(600000));
    EXPECT_EQ(next.exitCode(), 0) << next.readAllStandardError().toStdString();
    EXPECT_TRUE(entriesOf(temp.path(), "zhuoshi-split-%1-*", pid).isEmpty());
    EXPECT_TRUE(entriesOf("/tmp", QString("OSL_PIPE_%1_zhuoshi_%2_*").arg(::getuid()), pid).isEmpty());
    EXPECT_TRUE(entriesOf(temp.path(), "zhuoshi-office-zhuoshi_%1_*", pid).isEmpty());

    // A running program's folders stay.
    const QString mine = makeSplitFolder(temp.path());
    ASSERT_FALSE(mine.isEmpty());
    EXPECT_TRUE(removeStaleSplitFolders(temp.path()).isEmpty());
    EXPECT_TRUE(QFileInfo(mine).isDir());
    QDir(mine).removeRecursively();
}
