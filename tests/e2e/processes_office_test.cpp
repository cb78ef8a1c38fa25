// The program as real processes on one application folder: the preparation
// refuses unusable banks as a start does, a second program on the folder is
// refused, and a program killed (SIGKILL) in the middle of an entry, an import
// or a generation leaves a sound bank that the next start cleans up.

#include "app/instancelock.h"
#include "catalogue/numberpool.h"
#include "paper/paperrecord.h"
#include "sharing/banksharing.h"
#include "store/documentcheck.h"
#include "store/paths.h"
#include "support/childprocess.h"
#include "support/samplebank.h"
#include "support/testsupport.h"
#include "ui/start/startup.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zs;
using test::TempFolder;

using test::childEnvironment;

namespace {

const QString kProgram = QStringLiteral(ZS_PROGRAM_PATH);
const QString kWorker = QStringLiteral(ZS_KILLWORKER_PATH);
const QString kChapter = QStringLiteral("1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章");
const QString kSection1 = kChapter + QStringLiteral("\\1-第一节");
const QString kSection2 = kChapter + QStringLiteral("\\2-第二节");

struct Finished {
    int status = -1;
    QString out;
    QString err;
};

Finished runToEnd(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Finished f;
    if (!p.waitForStarted(30000) || !p.waitForFinished(600000)) {
        p.kill();
        p.waitForFinished();
        f.err = "did not finish: " + program;
        return f;
    }
    f.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    f.out = QString::fromUtf8(p.readAllStandardOutput());
    f.err = QString::fromUtf8(p.readAllStandardError());
    return f;
}

// The program's texts as the preparation prints them.
QString printed(const QString& text) {
    return QString(text).replace(u'\r', u'\n');
}

// Waits (letting events run) until `done` holds; false after the time is up.
bool waitFor(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    return true;
}

// A child started to be killed at a pause point.
class PausedChild {
public:
    PausedChild(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
        process.setProcessEnvironment(env);
        process.start(program, args);
    }
    ~PausedChild() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    // Waits until the child reports that it stopped at `point`.
    bool waitUntilPaused(const QString& point) {
        const QByteArray mark = "paused at " + point.toUtf8();
        QDeadlineTimer deadline(300000);
        while (!stderrText.contains(mark)) {
            if (deadline.hasExpired() || process.state() == QProcess::NotRunning)
                return false;
            process.waitForReadyRead(200);
            stderrText += process.readAllStandardError();
        }
        return true;
    }
    void killHard() {
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished(30000);
    }

    QProcess process;
    QByteArray stderrText;
};

// The office profiles in a temporary folder that belong to the process `pid`.
QStringList profilesOf(const QString& temp, qint64 pid) {
    return QDir(temp).entryList({QStringLiteral("zhuoshi-office-zhuoshi_%1_*").arg(pid)},
                                QDir::Dirs | QDir::NoDotAndDotDot);
}

QString integrity(const QString& bankPath) {
    Bank bank(bankPath);
    return bank.query("PRAGMA integrity_check").text(0, 0);
}

// How many papers the bank records (none when it never recorded one).
int paperCount(const QString& bankPath) {
    Bank bank(bankPath);
    if (bank.query("select name from sqlite_master where name='试卷记录'").isEmpty())
        return 0;
    return bank.query("select count(*) from 试卷记录").value(0, 0).toInt();
}

void writeCatalogue(Bank& bank) {
    for (const QString& section : {kSection1, kSection2})
        test::addSectionPoints(bank, section, {"1-甲", "2-乙"});
    bank.addRow("试题来源", {{"试题来源", "1-期中考试"}});
}

class ProcessTest : public ::testing::Test {
protected:
    // One application folder prepared by the program itself, copied for each test.
    static void SetUpTestSuite() {
        prepared_ = new TempFolder;
        const Finished f =
            runToEnd(kProgram, {"--prepare", "--app-dir", prepared_->file("app")}, childEnvironment(QDir::tempPath()));
        ASSERT_EQ(f.status, 0) << f.err.toStdString();
    }
    static void TearDownTestSuite() {
        delete prepared_;
        prepared_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(prepared_, nullptr);
        test::copyFolder(prepared_->file("app"), app());
    }

    QString app() const { return folder.file("app"); }
    QString bankPath() const { return QDir(app()).filePath(kBankFileName); }
    Finished prepare(const QProcessEnvironment& env) {
        return runToEnd(kProgram, {"--prepare", "--app-dir", app()}, env);
    }
    // A question with both documents (real Word files: copies of a template).
    void completeQuestion(const QString& number, const QStringList& scopes, const QString& bank = {}) {
        const QString path = bank.isEmpty() ? bankPath() : bank;
        QDir().mkpath(documentsFolderOf(path));
        ASSERT_TRUE(QFile::copy(QDir(app()).filePath(kPaperTemplateName), questionDocumentPath(path, number)));
        ASSERT_TRUE(QFile::copy(QDir(app()).filePath(kAnswerTemplateName), answerDocumentPath(path, number)));
        Bank b(path);
        for (const QString& scope : scopes)
            b.addRow("试题库", {{"题目编号", number},
                                {"考查范围", scope},
                                {"题型", "单选题"},
                                {"难度", "0.5"},
                                {"知识点", "1-甲"},
                                {"试题识别码", "李四-" + number},
                                {"入库教师", "李四"}});
    }

    TempFolder folder;
    TempFolder temp;  // the children's temporary folder
    static TempFolder* prepared_;
};

TempFolder* ProcessTest::prepared_ = nullptr;

}  // namespace

TEST_F(ProcessTest, ThePreparationRefusesUnusableBanksWithTheMessagesOfAStart) {
    const QProcessEnvironment env = childEnvironment(temp.path());
    const QString bank = bankPath();
    auto replaceBank = [&](const QByteArray& content) {
        QFile::remove(bank);
        QFile f(bank);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    };
    struct Case {
        const char* name;
        std::function<void()> make;
    };
    QByteArray jet(4, '\0');
    jet[1] = 1;
    jet += "Standard Jet DB" + QByteArray(200, '\0');
    const Case cases[] = {
        {"empty", [&] { replaceBank({}); }},
        {"Access", [&] { replaceBank(jet); }},
        {"text", [&] { replaceBank("这是一个文本文件"); }},
        {"directory",
         [&] {
             QFile::remove(bank);
             QDir().mkpath(bank);
         }},
        {"incomplete",
         [&] {
             Bank b(bank);
             b.execute("DROP TABLE 用户管理");
             b.execute("DROP TABLE 难度");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(bank).removeRecursively();
        QFile::remove(bank);
        QFile::copy(QDir(prepared_->file("app")).filePath(kBankFileName), bank);
        c.make();
        // What a start of the program says about this bank.
        QString refusal;
        {
            StartChecks start(app());
            ASSERT_FALSE(start.run(test::office()));
            refusal = start.refusal();
        }
        EXPECT_FALSE(refusal.isEmpty());
        const Finished f = prepare(env);
        EXPECT_EQ(f.status, 1) << f.err.toStdString();
        EXPECT_TRUE(f.err.contains(printed(refusal))) << f.err.toStdString();
        EXPECT_FALSE(f.out.contains("程序文件夹已准备好"));
        if (QString(c.name) == "incomplete") {
            EXPECT_TRUE(refusal.contains("数据表<用户管理>")) << refusal.toStdString();
            EXPECT_TRUE(refusal.contains("数据表<难度>"));
        }
    }

    // A read-only bank, run as a user who cannot write it.
    QDir(bank).removeRecursively();
    QFile::remove(bank);
    QFile::copy(QDir(prepared_->file("app")).filePath(kBankFileName), bank);
    QFile::setPermissions(bank, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QStringList command = {kProgram, "--prepare", "--app-dir", app()};
    if (::geteuid() == 0) {
        // Root writes everything: the program runs as nobody, on a folder it may read.
        for (const QString& dir : {folder.path(), app(), QDir(app()).filePath(kDocumentsFolderName)})
            ::chmod(QFile::encodeName(dir).constData(), 0755);
        ::chmod(QFile::encodeName(temp.path()).constData(), 0777);
        command = QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"} + command;
    }
    const Finished f = runToEnd(command.first(), command.mid(1), env);
    EXPECT_EQ(f.status, 1) << f.err.toStdString();
    EXPECT_TRUE(f.err.contains(printed("试题库文件是只读的，无法写入：\r" + QDir::toNativeSeparators(bank))))
        << f.err.toStdString();
}

TEST_F(ProcessTest, ThePreparationKeepsAMissingDocumentsFolderMissingAndSaysSo) {
    completeQuestion("00001", {kSection1});
    completeQuestion("00002", {kSection2});
    ASSERT_TRUE(QDir(QDir(app()).filePath(kDocumentsFolderName)).removeRecursively());
    const Finished f = prepare(childEnvironment(temp.path()));
    EXPECT_EQ(f.status, 1);
    EXPECT_TRUE(f.err.contains("试题源文件夹不见了")) << f.err.toStdString();
    EXPECT_TRUE(f.err.contains(QDir::toNativeSeparators(QDir(app()).filePath(kDocumentsFolderName))));
    EXPECT_FALSE(QFileInfo::exists(QDir(app()).filePath(kDocumentsFolderName)));
    EXPECT_EQ(Bank(bankPath()).query("select * from 试题库").count(), 2);
}

TEST_F(ProcessTest, ASecondProgramIsRefusedAndAKilledOneLeavesNothingThatBlocks) {
    const QProcessEnvironment env = childEnvironment(temp.path());
    const QString lockFile = QDir(app()).filePath(AppFolderLock::kFileName);
    PausedChild first(kProgram, {"--app-dir", app()}, env);
    ASSERT_TRUE(first.process.waitForStarted(30000));
    const qint64 pid = first.process.processId();
    // The first program holds the folder and has started its office.
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(lockFile); }, 60000));
    ASSERT_TRUE(waitFor([&] { return !profilesOf(temp.path(), pid).isEmpty(); }, 120000));

    const QString refusal = AppFolderLock::refusalMessage(app(), pid);
    EXPECT_TRUE(refusal.startsWith("该题库已被另一个琢石-试题库程序"));
    EXPECT_TRUE(refusal.contains(QDir::toNativeSeparators(app())));
    const Finished second = prepare(env);
    EXPECT_EQ(second.status, 1);
    EXPECT_TRUE(second.err.contains(printed(refusal))) << second.err.toStdString();
    {
        // A start in this process is refused the same way.
        StartChecks start(app());
        EXPECT_FALSE(start.run(test::office()));
        EXPECT_EQ(start.refusal(), refusal);
    }
    EXPECT_TRUE(QFileInfo::exists(lockFile));

    first.killHard();
    ASSERT_TRUE(QFileInfo::exists(lockFile));  // left behind by the killed program
    ASSERT_FALSE(profilesOf(temp.path(), pid).isEmpty());
    const Finished next = prepare(env);
    EXPECT_EQ(next.status, 0) << next.err.toStdString();
    EXPECT_TRUE(profilesOf(temp.path(), pid).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(lockFile));  // the preparation let go of it at its end
}

TEST_F(ProcessTest, AProgramKilledInTheMiddleOfAnEntryStoresNoHalfQuestion) {
    {
        Bank bank(bankPath());
        writeCatalogue(bank);
    }
    completeQuestion("00001", {kSection1});
    const QProcessEnvironment env = childEnvironment(temp.path(), "question-rows");
    PausedChild worker(kWorker, {"entry", app(), kSection1, kSection2}, env);
    ASSERT_TRUE(worker.waitUntilPaused("question-rows")) << worker.stderrText.toStdString();
    const qint64 pid = worker.process.processId();
    // One of the question's two rows is written, inside the unfinished transaction.
    EXPECT_TRUE(QFileInfo::exists(bankPath() + "-journal"));
    EXPECT_TRUE(QFileInfo::exists(questionDocumentPath(bankPath(), "00002")));
    worker.killHard();

    const Finished next = prepare(childEnvironment(temp.path()));
    EXPECT_EQ(next.status, 0) << next.err.toStdString();
    // The bank is whole; the unfinished transaction is gone (SQLite ignores or
    // rolls back the journal it left).
    EXPECT_EQ(integrity(bankPath()), "ok");
    EXPECT_TRUE(profilesOf(temp.path(), pid).isEmpty());
    Bank bank(bankPath());
    EXPECT_EQ(bank.query("select * from 试题库 where 题目编号='00002'").count(), 0);
    EXPECT_EQ(bank.query("select * from 试题库").count(), 1);

    // The documents of the unfinished entry are an abandoned entry: the next
    // entry's refill takes the number back.
    NumberPool pool;
    EXPECT_TRUE(refillNumberPool(pool, bankPath()).completed);
    EXPECT_EQ(pool.slot(1), "00002");
    EXPECT_FALSE(QFileInfo::exists(questionDocumentPath(bankPath(), "00002")));
    EXPECT_TRUE(QFileInfo::exists(questionDocumentPath(bankPath(), "00001")));
}

TEST_F(ProcessTest, AProgramKilledInTheMiddleOfAnImportLeavesBankAndFolderAsBefore) {
    {
        Bank bank(bankPath());
        writeCatalogue(bank);
    }
    completeQuestion("00001", {kSection1});
    // The other bank: a question filed under both sections, and another one.
    const QString other = folder.file("other/试题库.mdb");
    QDir().mkpath(folder.file("other"));
    Bank::create(other);
    completeQuestion("00005", {kSection1, kSection2}, other);
    completeQuestion("00006", {kSection1}, other);
    {
        Bank b(other);
        // With their source, so that the import asks nothing before it runs.
        b.execute("UPDATE 试题库 SET 试题识别码 = '王五-' || 题目编号, 试题来源 = '1-期中考试'");
    }

    const QStringList importArgs = {"import", app(), other, kSection1, kSection2};
    PausedChild worker(kWorker, importArgs, childEnvironment(temp.path(), "import-row"));
    ASSERT_TRUE(worker.waitUntilPaused("import-row")) << worker.stderrText.toStdString();
    EXPECT_TRUE(QFileInfo::exists(importJournalPath(bankPath())));
    EXPECT_TRUE(QFileInfo::exists(questionDocumentPath(bankPath(), "00002")));
    worker.killHard();

    const Finished next = prepare(childEnvironment(temp.path()));
    EXPECT_EQ(next.status, 0) << next.err.toStdString();
    EXPECT_EQ(integrity(bankPath()), "ok");
    EXPECT_FALSE(QFileInfo::exists(importJournalPath(bankPath())));
    EXPECT_EQ(QDir(documentsFolderOf(bankPath())).entryList(QDir::Files),
              QStringList({"00001-答案.doc", "00001-题目.doc"}));
    EXPECT_EQ(Bank(bankPath()).query("select * from 试题库").count(), 1);

    // Run to its end, the import gives the two-section question one number.
    const Finished done = runToEnd(kWorker, importArgs, childEnvironment(temp.path()));
    EXPECT_EQ(done.status, 0) << done.err.toStdString();
    EXPECT_TRUE(done.out.contains("成功导入的<试题>的数量为： 2")) << done.out.toStdString();
    const RowSet rows = Bank(bankPath()).query("select 题目编号, 试题识别码 from 试题库 order by ID");
    ASSERT_EQ(rows.count(), 4);
    EXPECT_EQ(rows.text(1, 0), "00002");
    EXPECT_EQ(rows.text(2, 0), "00002");
    EXPECT_EQ(rows.text(2, 1), "王五-00005");
    EXPECT_EQ(rows.text(3, 0), "00003");
    EXPECT_EQ(QDir(documentsFolderOf(bankPath())).entryList(QDir::Files).size(), 6);
}

TEST_F(ProcessTest, AProgramKilledInTheMiddleOfAGenerationRecordsNoUse) {
    completeQuestion("00001", {kSection1});
    completeQuestion("00002", {kSection1, kSection2});
    {
        Bank bank(bankPath());
        bank.execute("UPDATE 试题库 SET 使用次数 = 3 WHERE 题目编号 = '00002'");
    }
    const QString desktop = folder.file("desktop");
    QDir().mkpath(desktop);
    PausedChild worker(kWorker, {"generate", app(), desktop, "00001", "00002"},
                       childEnvironment(temp.path(), "use-record"));
    ASSERT_TRUE(worker.waitUntilPaused("use-record")) << worker.stderrText.toStdString();
    const qint64 pid = worker.process.processId();
    worker.killHard();

    const Finished next = prepare(childEnvironment(temp.path()));
    EXPECT_EQ(next.status, 0) << next.err.toStdString();
    EXPECT_EQ(integrity(bankPath()), "ok");
    EXPECT_TRUE(profilesOf(temp.path(), pid).isEmpty());
    const RowSet rows = Bank(bankPath()).query("select * from 试题库 order by ID");
    ASSERT_EQ(rows.count(), 3);
    EXPECT_TRUE(rows.isNull(0, "使用次数"));
    EXPECT_TRUE(rows.isNull(0, "最后使用日期"));
    EXPECT_EQ(rows.value(1, "使用次数").toInt(), 3);
    EXPECT_EQ(rows.value(2, "使用次数").toInt(), 3);
    // The use is recorded with the paper, in the same transaction: neither stays.
    EXPECT_EQ(paperCount(bankPath()), 0);
    // The documents were complete before the bank was written: the paper stays.
    const QStringList folders = QDir(desktop).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 1);
    EXPECT_FALSE(folders[0].contains("未完成"));
    EXPECT_EQ(QDir(desktop + "/" + folders[0]).entryList({"*.doc"}, QDir::Files).size(), 3);
    EXPECT_FALSE(QFileInfo::exists(generationJournalPath(app())));
}

TEST_F(ProcessTest, AGenerationKilledBeforeItsDocumentsAreCompleteLeavesNoUseNoRecordAndNoFolder) {
    completeQuestion("00001", {kSection1});
    completeQuestion("00002", {kSection1, kSection2});
    {
        Bank bank(bankPath());
        bank.execute("UPDATE 试题库 SET 使用次数 = 3 WHERE 题目编号 = '00002'");
    }
    const QString desktop = folder.file("desktop");
    QDir().mkpath(desktop);
    PausedChild worker(kWorker, {"generate", app(), desktop, "00001", "00002"},
                       childEnvironment(temp.path(), "paper-progress"));
    ASSERT_TRUE(worker.waitUntilPaused("paper-progress")) << worker.stderrText.toStdString();
    // The first question is in, the documents are not complete.
    const QStringList made = QDir(desktop).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(made.size(), 1);
    const QString output = desktop + "/" + made[0];
    EXPECT_EQ(QDir(output).entryList({"*.doc"}, QDir::Files).size(), 3);
    worker.killHard();
    EXPECT_FALSE(QDir(output).entryList({".~lock.*"}, QDir::Files | QDir::Hidden).isEmpty());

    const Finished next = prepare(childEnvironment(temp.path()));
    EXPECT_EQ(next.status, 0) << next.err.toStdString();
    EXPECT_TRUE(
        next.err.contains(printed("上次生成试卷时程序中途退出了，那份试卷没有生成完，试题的使用次数也没有改动。\r\r"
                                  "没有生成完的试卷文件夹已删除：\r") +
                          QDir::toNativeSeparators(output)))
        << next.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(output));
    EXPECT_TRUE(QDir(desktop).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(generationJournalPath(app())));
    EXPECT_EQ(integrity(bankPath()), "ok");
    const RowSet rows = Bank(bankPath()).query("select * from 试题库 order by ID");
    ASSERT_EQ(rows.count(), 3);
    EXPECT_TRUE(rows.isNull(0, "使用次数"));
    EXPECT_TRUE(rows.isNull(0, "最后使用日期"));
    EXPECT_EQ(rows.value(1, "使用次数").toInt(), 3);
    EXPECT_TRUE(rows.isNull(1, "最后使用日期"));
    EXPECT_EQ(paperCount(bankPath()), 0);

    // A second start finds nothing more to say.
    const Finished again = prepare(childEnvironment(temp.path()));
    EXPECT_EQ(again.status, 0);
    EXPECT_FALSE(again.err.contains("上次生成试卷")) << again.err.toStdString();

    // Run to its end, the generation records the paper and its use together.
    const Finished done =
        runToEnd(kWorker, {"generate", app(), desktop, "00001", "00002"}, childEnvironment(temp.path()));
    EXPECT_EQ(done.status, 0) << done.err.toStdString();
    EXPECT_EQ(paperCount(bankPath()), 1);
    EXPECT_EQ(Bank(bankPath()).query("select 使用次数 from 试题库 where 题目编号='00002'").value(0, 0).toInt(), 4);
    EXPECT_FALSE(QFileInfo::exists(generationJournalPath(app())));
}
