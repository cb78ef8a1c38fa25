// The checks every start makes, on real application folders: the folder lock,
// stale office profiles, unusable and incomplete banks, lost question
// documents and the leftovers of an interrupted import.

#include "app/appfolder.h"
#include "app/instancelock.h"
#include "sharing/banksharing.h"
#include "store/paths.h"
#include "support/testsupport.h"
#include "ui/start/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

using namespace zs;
using test::TempFolder;
using test::TestApp;

namespace {

// An application folder with every file present (stand-ins for the templates),
// so that a start makes nothing and needs no office.
class StartTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QString& name : AppFolder::expectedNames())
            if (!QFileInfo::exists(app.folder.file(name)))
                TestApp::touch(app.folder.file(name));
    }
    std::unique_ptr<StartChecks> checks() {
        auto c = std::make_unique<StartChecks>(app.dir());
        c->tempFolder = temp.path();
        return c;
    }
    void question(const QString& number) {
        TestApp::touch(questionDocumentPath(app.bankPath(), number));
        TestApp::touch(answerDocumentPath(app.bankPath(), number));
        Bank(app.bankPath()).addRow("试题库", {{"题目编号", number}, {"试题识别码", "张三-" + number}});
    }

    TestApp app;
    TempFolder temp;
};

}  // namespace

TEST_F(StartTest, ASoundFolderStartsAndHoldsItsLockUntilTheEnd) {
    {
        StartChecks start(app.dir());
        start.tempFolder = temp.path();
        ASSERT_TRUE(start.run(test::office())) << start.refusal().toStdString();
        EXPECT_TRUE(start.warnings().isEmpty());
        EXPECT_TRUE(start.created().isEmpty());
        EXPECT_TRUE(QFileInfo::exists(app.folder.file(AppFolderLock::kFileName)));

        StartChecks second(app.dir());
        second.tempFolder = temp.path();
        EXPECT_FALSE(second.run(test::office()));
        EXPECT_EQ(second.refusal(), AppFolderLock::refusalMessage(app.dir(), QCoreApplication::applicationPid()));
        EXPECT_EQ(second.refusal(),
                  "该题库已被另一个琢石-试题库程序（进程号 " + QString::number(QCoreApplication::applicationPid()) +
                      "）打开：\r" + QDir::toNativeSeparators(app.dir()) +
                      "\r\r同一个程序文件夹同时只能由一个琢石-试题库程序使用，否则两个程序会分出相同的题目编号，"
                      "互相覆盖正在编辑的试题文档。\r请回到已经打开的那个程序窗口继续工作；"
                      "如果它正在关闭，请稍等片刻再启动本程序。");
    }
    // The lock went with the first start.
    EXPECT_FALSE(QFileInfo::exists(app.folder.file(AppFolderLock::kFileName)));
    StartChecks again(app.dir());
    again.tempFolder = temp.path();
    EXPECT_TRUE(again.run(test::office()));
}

TEST_F(StartTest, OnlyTheOfficeProfilesOfProgramsThatAreGoneAreRemoved) {
    // A process that has ended: its number names no running program.
    QProcess ended;
    ended.start("sleep", {"0.1"});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 gone = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    const QStringList names = {QString("zhuoshi-office-zhuoshi_%1_0").arg(gone),
                               QString("zhuoshi-office-zhuoshi_%1_3").arg(gone),
                               QString("zhuoshi-office-zhuoshi_%1_0").arg(QCoreApplication::applicationPid()),
                               QString("zhuoshi-office-zhuoshi_%1_0").arg(::getppid()),
                               "zhuoshi-office-zhuoshi_x_0",
                               "zhuoshi-office-other",
                               "something-else"};
    for (const QString& name : names) {
        QDir(temp.path()).mkpath(name + "/user");
        TestApp::touch(QDir(temp.path()).filePath(name + "/user/registrymodifications.xcu"));
    }
    auto start = checks();
    ASSERT_TRUE(start->run(test::office()));
    EXPECT_EQ(start->removedProfiles(),
              QStringList({QDir(temp.path()).filePath(names[0]), QDir(temp.path()).filePath(names[1])}));
    QStringList left = QDir(temp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    left.sort();
    QStringList expected = names.mid(2);
    expected.sort();
    EXPECT_EQ(left, expected);
}

TEST_F(StartTest, UnusableBanksAreRefusedBeforeAnythingIsMade) {
    const QString bank = app.bankPath();
    QFile::remove(app.folder.file(kExportTemplateName));  // would be made by a start that goes on
    struct Case {
        const char* name;
        QByteArray content;
        QString words;
    } cases[] = {{"empty", {}, "试题库文件是空的"},
                 {"text", "这不是数据库", "这个文件不是试题库文件"},
                 {"Access", QByteArray(4, '\0') + "Standard Jet DB" + QByteArray(100, '\0'), "Access"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(bank);
        QFile f(bank);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.content);
        f.close();
        auto start = checks();
        EXPECT_FALSE(start->run(test::office()));
        EXPECT_EQ(start->refusal(), Bank::problemWith(bank));
        EXPECT_TRUE(start->refusal().contains(c.words)) << start->refusal().toStdString();
        EXPECT_FALSE(QFileInfo::exists(app.folder.file(kExportTemplateName)));
    }
    QFile::remove(bank);
    QDir().mkpath(bank);
    auto start = checks();
    EXPECT_FALSE(start->run(test::office()));
    EXPECT_EQ(start->refusal(), "无法读取试题库文件：\r" + QDir::toNativeSeparators(bank));
}

TEST_F(StartTest, AnIncompleteBankIsRefusedNamingWhatItLacks) {
    {
        Bank bank(app.bankPath());
        bank.execute("DROP TABLE 试题来源");
        bank.execute("ALTER TABLE 用户管理 DROP COLUMN 联系方式");
        // Extra tables and columns are no problem.
        bank.execute("CREATE TABLE 备注 (内容 TEXT)");
        bank.execute("ALTER TABLE 题型 ADD COLUMN 说明 TEXT");
    }
    {
        auto start = checks();
        EXPECT_FALSE(start->run(test::office()));
        EXPECT_EQ(start->refusal(), "试题库文件不完整，缺少：数据表<试题来源>、数据表<用户管理>的列<联系方式>\r" +
                                        QDir::toNativeSeparators(app.bankPath()) + "\r\r请用完整的试题库文件替换它。");
    }

    // A bank without the question table is no bank at all.
    QFile::remove(app.bankPath());
    Bank::createExportTemplate(app.bankPath());
    {
        Bank bank(app.bankPath());
        bank.execute("DROP TABLE 教材设置");
    }
    auto second = checks();
    EXPECT_FALSE(second->run(test::office()));
    EXPECT_TRUE(second->refusal().contains("缺少<试题库>或<教材设置>数据表")) << second->refusal().toStdString();
}

TEST_F(StartTest, LostQuestionDocumentsAreToldAndTheFolderIsNotMadeAnew) {
    question("00001");
    question("00002");
    ASSERT_TRUE(QDir(app.documents()).removeRecursively());
    {
        auto start = checks();
        ASSERT_TRUE(start->run(test::office()));  // browsing stays possible
        ASSERT_EQ(start->warnings().size(), 1);
        EXPECT_EQ(start->warnings()[0],
                  "试题源文件夹不见了！\r\r试题库里有 2 "
                  "道试题，但是在下面这个文件夹里找不到它们的任何题目文档和答案文档：\r" +
                      QDir::toNativeSeparators(app.documents()) +
                      "\r\r请把原来的“试题源文件”文件夹（连同里面的文档）放回试题库文件旁边，然后重新启动本程序。\r"
                      "在此之前，试题的记录都保留着，可以查看，但是不能录入试题，也不能导入试题。");
        EXPECT_FALSE(QFileInfo::exists(app.documents()));
    }
    // An emptied folder is the same loss.
    QDir().mkpath(app.documents());
    {
        auto start = checks();
        ASSERT_TRUE(start->run(test::office()));
        ASSERT_EQ(start->warnings().size(), 1);
        EXPECT_TRUE(start->warnings()[0].startsWith("试题源文件夹里的试题文档都不见了！"));
    }
    // One document of one question is enough: the rest are ordinary gaps.
    TestApp::touch(answerDocumentPath(app.bankPath(), "00002"));
    auto start = checks();
    ASSERT_TRUE(start->run(test::office()));
    EXPECT_TRUE(start->warnings().isEmpty());
    EXPECT_EQ(Bank(app.bankPath()).query("select * from 试题库").count(), 2);
}

TEST_F(StartTest, TheDocumentsOfAnInterruptedImportAreRemoved) {
    question("00001");
    // An import killed after writing the documents of 00002 and 00003; 00001's
    // documents are listed too but belong to a stored question.
    TestApp::touch(questionDocumentPath(app.bankPath(), "00002"));
    TestApp::touch(answerDocumentPath(app.bankPath(), "00002"));
    TestApp::touch(questionDocumentPath(app.bankPath(), "00003"));
    QFile journal(importJournalPath(app.bankPath()));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    for (const char* n : {"00001", "00002", "00003"})
        journal.write(
            (questionDocumentPath(app.bankPath(), n) + "\n" + answerDocumentPath(app.bankPath(), n) + "\n").toUtf8());
    journal.close();

    auto start = checks();
    ASSERT_TRUE(start->run(test::office()));
    QStringList left = QDir(app.documents()).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, QStringList({"00001-答案.doc", "00001-题目.doc"}));
    EXPECT_FALSE(QFileInfo::exists(importJournalPath(app.bankPath())));
    // The teacher hears that the import was undone.
    ASSERT_EQ(start->notices().size(), 1);
    EXPECT_EQ(start->notices()[0].text,
              "上次导入试题时程序中途退出了，那次导入已全部撤销，试题库还是导入前的样子。\r导入中途复制的 3 "
              "份试题文档已删除。\r\r如果还需要那些试题，请重新导入。");
    // Said once: the next start has nothing to tell.
    start.reset();
    EXPECT_TRUE(checks()->run(test::office()));
    auto next = checks();
    ASSERT_TRUE(next->run(test::office()));
    EXPECT_TRUE(next->notices().isEmpty());
}

TEST_F(StartTest, BadDifficultiesAndSharedNumbersAreNamedOnceWithTheirNumbersUnderTheDetails) {
    question("00001");
    {
        Bank bank(app.bankPath());
        bank.execute("update 试题库 set 难度 = '0.5'");
        bank.addRow("试题库", {{"题目编号", "00002"}, {"试题识别码", "张三-00002"}, {"难度", "2.5"}});
        bank.addRow("试题库", {{"题目编号", "00003"}, {"试题识别码", "张三-00003"}, {"难度", "abc"}});
        bank.addRow("试题库", {{"题目编号", "00003"}, {"试题识别码", "张三-00003"}, {"难度", "abc"}});
        bank.addRow("试题库",
                    {{"题目编号", "00004"}, {"试题识别码", "张三-00004"}, {"难度", ""}});  // not given: left alone
        // Two different questions under one number, and one question in two scopes.
        bank.addRow("试题库", {{"题目编号", "00010"}, {"试题识别码", "张三-00010"}, {"难度", "0.3"}});
        bank.addRow("试题库", {{"题目编号", "00010"}, {"试题识别码", "李四-00007"}, {"难度", "0.3"}});
        bank.addRow("试题库", {{"题目编号", "00011"}, {"试题识别码", "张三-00011"}, {"难度", "0.3"}});
        bank.addRow("试题库", {{"题目编号", "00011"}, {"试题识别码", "张三-00011"}, {"难度", "0.3"}});
        for (const char* n : {"00002", "00003", "00004", "00010", "00011"}) {
            TestApp::touch(questionDocumentPath(app.bankPath(), n));
            TestApp::touch(answerDocumentPath(app.bankPath(), n));
        }
    }
    auto start = checks();
    ASSERT_TRUE(start->run(test::office()));
    EXPECT_TRUE(start->warnings().isEmpty());
    ASSERT_EQ(start->notices().size(), 1);
    EXPECT_EQ(
        start->notices()[0].text,
        "试题库中有 2 道试题的难度不正确，1 个题目编号被不同的试题共用（题目编号见详细信息）。\r\r这些试题在改正之前"
        "不参加组卷（手动组卷和智能组卷都不选用），请在<查看修改>中找到它们并改正。");
    EXPECT_EQ(start->notices()[0].details,
              "难度不正确的试题：\n00002  难度为“2.5”\n00003  难度为“abc”\n\n被不同试题共用的题目编号：\n00010  "
              "试题识别码：张三-00010、李四-00007");

    // Corrected, nothing is said.
    {
        Bank bank(app.bankPath());
        bank.execute("update 试题库 set 难度 = '0.5' where 题目编号 in ('00002', '00003')");
        bank.execute("update 试题库 set 题目编号 = '00012' where 试题识别码 = '李四-00007'");
    }
    start.reset();
    auto next = checks();
    ASSERT_TRUE(next->run(test::office()));
    EXPECT_TRUE(next->notices().isEmpty());
}

TEST_F(StartTest, NoEmptyBankIsMadeBesideTheDocumentsOfQuestions) {
    question("00001");
    question("00002");
    QFile::remove(app.bankPath());
    {
        auto start = checks();
        EXPECT_FALSE(start->run(test::office()));
        EXPECT_EQ(start->refusal(), "找不到试题库文件：\r" + QDir::toNativeSeparators(app.bankPath()) +
                                        "\r\r试题源文件夹里还有 4 个试题文档，它们的试题记录都在这个试题库文件里。"
                                        "为了不让这些文档被当作废弃的文档删掉，本程序没有新建空的试题库。\r"
                                        "请把原来的试题库文件放回程序文件夹，然后重新启动本程序；"
                                        "如果确实要从空的试题库重新开始，请先把“试题源文件”文件夹移到别处。");
        EXPECT_FALSE(QFileInfo::exists(app.bankPath()));
        EXPECT_EQ(QDir(app.documents()).entryList(QDir::Files).size(), 4);
    }
    // Beside an empty documents folder a new bank is made as always.
    ASSERT_TRUE(QDir(app.documents()).removeRecursively());
    QDir().mkpath(app.documents());
    auto start = checks();
    EXPECT_TRUE(start->run(test::office())) << start->refusal().toStdString();
    EXPECT_EQ(start->created(), QStringList({kBankFileName}));
    EXPECT_TRUE(QFileInfo::exists(app.bankPath()));
}
