// 扫描阅卷 and 阅卷 as real processes killed (SIGKILL) in the middle: a batch
// of scanned sheets goes on where it stopped and holds every page once; a
// score given before the kill is kept, and marking goes on after it.

#include "doubles/pencil.h"
#include "marking/marks.h"
#include "paper/paperrecord.h"
#include "scan/scanstore.h"
#include "store/bank.h"
#include "support/childprocess.h"
#include "support/testsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

namespace {

const QString kWorker = QStringLiteral(ZS_KILLWORKER_PATH);

// Runs the worker until it says it paused at `point`, then kills it.
bool killAt(const QStringList& args, const QString& temp, const QString& point) {
    QProcess process;
    process.setProcessEnvironment(childEnvironment(temp, point));
    process.start(kWorker, args);
    QByteArray err;
    QDeadlineTimer deadline(300000);
    while (!err.contains("paused at " + point.toUtf8())) {
        if (deadline.hasExpired() || process.state() == QProcess::NotRunning)
            return false;
        process.waitForReadyRead(200);
        err += process.readAllStandardError();
    }
    ::kill(pid_t(process.processId()), SIGKILL);
    process.waitForFinished(30000);
    return true;
}

int runToEnd(const QStringList& args, const QString& temp) {
    QProcess process;
    process.setProcessEnvironment(childEnvironment(temp));
    process.start(kWorker, args);
    if (!process.waitForFinished(600000))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

}  // namespace

TEST(ScanProcesses, AKilledBatchGoesOnAndAKilledMarkingKeepsItsScores) {
    TempFolder app, temp;
    const QString bankPath = QDir(app.path()).filePath("试题库.mdb");
    Bank::create(bankPath);
    QVector<CardSection> sections(2);
    for (int n = 1; n <= 4; ++n)
        sections[0].questions << cardQuestionOf(n, "单选题", 50, "A");
    sections[1].questions << cardQuestionOf(5, "解答题", 50) << cardQuestionOf(6, "解答题", 50)
                          << cardQuestionOf(7, "解答题", 50);
    const CardLayout layout = layoutAnswerCard("KILLTEST22", "期中考试", sections, PaperLayout::A4Portrait);
    ASSERT_EQ(layout.pages, 2);
    PaperRecord paper;
    paper.title = "数学（7题）";
    for (const CardQuestion& q : layout.questions)
        paper.questions << PaperQuestion{q.number, {}, {}, q.type, "0.5", {}, "5"};
    paper.cardLayout = layout.toJson();
    {
        Bank bank(bankPath);
        savePaperRecord(bank, paper);
    }
    QVector<QImage> pages;
    for (int s = 1; s <= 4; ++s)
        pages << filledSheet(layout, QString("2026%1").arg(s, 4, 10, QChar('0')), {{1, "A"}, {2, "B"}}, 150,
                             quint32(s));
    const QString pdf = app.file("扫描.pdf");
    writeScanPdf(pages, 150, pdf);

    // Killed once the first page is read and stored, then run again.
    ASSERT_TRUE(killAt({"scan", app.path(), pdf}, temp.path(), "scan-page"));
    {
        Bank bank(bankPath);
        EXPECT_EQ(scannedPages(bank, paper.id).size(), 1);
    }
    ASSERT_EQ(runToEnd({"scan", app.path(), pdf}, temp.path()), 0);
    {
        Bank bank(bankPath);
        const QVector<ScannedPage> stored = scannedPages(bank, paper.id);
        EXPECT_EQ(stored.size(), 8);  // every page once
        const QStringList pictures =
            QDir(scanPictureFolder(app.file("扫描答卷"), paper.id)).entryList({"*.jpg"}, QDir::Files);
        EXPECT_EQ(pictures.size(), 8);
        EXPECT_EQ(gatherScans(stored, layout, {}).students.size(), 4);
        EXPECT_EQ(questionMarks(bank, paper.id, 1).size(), 4);  // the objective question marked
    }

    // Marking killed after its first score: the score is there, the rest follow.
    ASSERT_TRUE(killAt({"mark", app.path()}, temp.path(), "marking-score"));
    {
        Bank bank(bankPath);
        EXPECT_EQ(questionMarks(bank, paper.id, 5).size(), 1);
    }
    ASSERT_EQ(runToEnd({"mark", app.path()}, temp.path()), 0);
    Bank bank(bankPath);
    const QHash<QString, Mark> marks = questionMarks(bank, paper.id, 5);
    EXPECT_EQ(marks.size(), 4);
    for (const Mark& m : marks)
        EXPECT_EQ(m.score, 1);
}
