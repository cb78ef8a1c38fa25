// Moving a teacher's bank file to a school bank and back: codes kept, numbers
// the school bank holds replaced, documents carried, all or nothing. The bank
// export and import of the sharing screen work on a school bank as on a file:
// the documents come from the bank and go into it.

#include "catalogue/numberpool.h"
#include "questions/questionrecord.h"
#include "sharing/banksharing.h"
#include "sharing/schooltransfer.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/serverdocuments.h"
#include "support/pgcluster.h"
#include "support/samplebank.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

class SchoolTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PostgresCluster::instance())
            GTEST_SKIP() << PostgresCluster::unavailableReason().toStdString();
        school = newBank(StoreKind::Server, serverFolder);
        file = newBank(StoreKind::File, fileFolder);
        Bank mine(file);
        addSampleCatalogue(mine);
        mine.addRow("试题来源", {{"试题来源", "1-期中考试"}});
        addSampleQuestion(
            mine, {"00001", "张三-00001", "单选题", "0.5", "1-期中考试", {{kSection11, "1-A"}, {kSection12, "1-D"}}});
        addSampleQuestion(mine, {"00002", "张三-00002", "填空题", "0.3", std::nullopt, {{kSection21, "1-F"}}});
        addSampleQuestion(mine, {"00003", "张三-00003", "判断题", "0.7", std::nullopt, {{kSection11, "2-B"}}});
        writeFile(questionDocumentPath(file, "00001"), "题目一");
        writeFile(answerDocumentPath(file, "00001"), "答案一");
        writeFile(questionDocumentPath(file, "00002"), "题目二");
        QFile::remove(answerDocumentPath(file, "00003"));  // an unfinished question

        // The school bank holds number 00001 (another teacher's) and another
        // teacher's pool holds 00002.
        Bank theirs(school);
        addSampleCatalogue(theirs);
        addSampleQuestion(theirs,
                          {"00001", "李四-00001", "单选题", "0.5", std::nullopt, {{kSection11, "3-C"}}, "李四"});
        theirs.addRow("题目编号预留", {{"题目编号", "00002"}, {"预留者", "别的老师"}});
    }

    TempFolder serverFolder, fileFolder, downloadFolder;
    QString school, file;
};

}  // namespace

TEST_F(SchoolTransfer, UploadKeepsCodesGivesFreeNumbersAndCarriesTheDocuments) {
    const TransferResult r = uploadToSchoolBank(file, school);
    EXPECT_EQ(r.questions, 2);
    EXPECT_EQ(r.renumbered, 2);
    EXPECT_EQ(r.missingDocuments, 1);
    EXPECT_EQ(r.alreadyThere, 0);
    EXPECT_EQ(r.catalogueRows, 0);  // the school has the same catalogue
    EXPECT_EQ(r.sources, 1);
    EXPECT_EQ(uploadedMessage(r), "已上传到学校题库：2 道试题（其中 2 道因编号已被占用而换了新的题目编号），"
                                  "0 条教材设置，1 个试题来源。\r1 道试题缺少题目或答案文档，没有上传。");

    Bank bank(school);
    // 张三-00001 (two rows) became 00003, 张三-00002 became 00004.
    RowSet rows = bank.query("select * from 试题库 where 试题识别码='张三-00001'");
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.text(0, "题目编号"), "00003");
    EXPECT_EQ(rows.text(1, "题目编号"), "00003");
    EXPECT_EQ(rows.text(0, "试题来源"), "1-期中考试");
    rows = bank.query("select * from 试题库 where 试题识别码='张三-00002'");
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.text(0, "题目编号"), "00004");
    EXPECT_TRUE(bank.query("select * from 试题库 where 试题识别码='张三-00003'").isEmpty());
    EXPECT_EQ(bank.query("select * from 试题库 where 试题识别码='李四-00001'").text(0, "题目编号"), "00001");

    fetchDocuments(bank, {"00003", "00004"});
    EXPECT_EQ(readFile(questionDocumentPath(school, "00003")), "题目一");
    EXPECT_EQ(readFile(answerDocumentPath(school, "00003")), "答案一");
    EXPECT_EQ(readFile(questionDocumentPath(school, "00004")), "题目二");

    // Once there, a question is not uploaded again.
    const TransferResult again = uploadToSchoolBank(file, school);
    EXPECT_EQ(again.questions, 0);
    EXPECT_EQ(again.alreadyThere, 2);
    EXPECT_EQ(again.sources, 0);
    EXPECT_EQ(bank.query("select distinct 题目编号 from 试题库").count(), 3);

    // A refill never hands out the uploaded numbers.
    NumberPool pool;
    ASSERT_TRUE(refillNumberPool(pool, school).completed);
    EXPECT_EQ(pool.slot(1), "00005");
}

TEST_F(SchoolTransfer, AFailedUploadLeavesTheSchoolBankAsItWas) {
    {
        Bank bank(school);
        bank.execute("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE "
                     "check_violation USING MESSAGE = 'refused'; END $$");
        bank.execute("CREATE TRIGGER refuse BEFORE INSERT ON 试题来源 FOR EACH ROW EXECUTE FUNCTION refuse()");
    }
    EXPECT_THROW(uploadToSchoolBank(file, school), StoreError);
    Bank bank(school);
    EXPECT_EQ(bank.query("select * from 试题库").count(), 1);
    EXPECT_TRUE(bank.query("select * from 试题文档").isEmpty());
}

TEST_F(SchoolTransfer, DownloadWritesACompleteBankFileOnlyWhenDone) {
    uploadToSchoolBank(file, school);
    const QString target = downloadFolder.file("试题库.mdb");
    const TransferResult r = downloadSchoolBank(school, target);
    EXPECT_EQ(r.questions, 3);
    EXPECT_EQ(downloadedMessage(r, target), "已把学校题库下载为本地题库：3 道试题，7 条教材设置，1 个试题来源。\r" +
                                                QDir::toNativeSeparators(target));

    Bank local(target);
    EXPECT_EQ(local.schemaProblem(), "");
    EXPECT_EQ(local.query("select distinct 题目编号 from 试题库").texts(), QStringList({"00001", "00003", "00004"}));
    EXPECT_EQ(local.query("select * from 试题库 where 题目编号='00003'").text(0, "试题识别码"), "张三-00001");
    EXPECT_EQ(local.query("select 题型 from 题型").count(), 8);
    EXPECT_EQ(local.query("select * from 教材设置").count(), 7);
    EXPECT_TRUE(local.query("select * from 用户管理").isEmpty());
    EXPECT_EQ(readFile(questionDocumentPath(target, "00003")), "题目一");
    EXPECT_EQ(readFile(answerDocumentPath(target, "00003")), "答案一");
    // Nothing of the work in progress stays behind.
    EXPECT_EQ(QDir(downloadFolder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"试题库.mdb", "试题源文件"}));

    // An existing file is never overwritten.
    try {
        downloadSchoolBank(school, target);
        FAIL() << "overwrote the bank file";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().startsWith("文件已经存在")) << e.message().toStdString();
    }
    EXPECT_EQ(Bank(target).query("select distinct 题目编号 from 试题库").count(), 3);
}

TEST_F(SchoolTransfer, AnExportOfTheSchoolBankCarriesItsDocumentsIntoAFileBank) {
    writeFile(answerDocumentPath(file, "00002"), "答案二");
    uploadToSchoolBank(file, school);
    // Nothing of the school bank on this computer yet: the export fetches it.
    QDir(documentsFolderOf(school)).removeRecursively();
    TestApp app;
    Bank::createExportTemplate(app.folder.file(kExportTemplateName));
    app.clock.set(QDateTime(QDate(2026, 12, 8), QTime(20, 5)));
    RunState& state = app.state();
    state.SchoolBank = school;
    state.resetBankPath();

    runExport(state, ShareContent::Questions, {kSection11, kSection21});
    // 李四-00001 has no documents; 张三-00001 (now 00003) under two sections
    // is exported under the ticked one, 张三-00002 (now 00004) under its own.
    EXPECT_EQ(app.prompts.lastMessage(),
              "勾选范围内的<试题>，已全部导出！\r\r成功导出的<试题数>为： 2\r\r导出位置为<桌面>，请注意查看！");
    const QString folder = app.desktopFolder.file("导出试题库-26年12月08日20时05分");
    const QString exported = QDir(folder).filePath("导出试题库-26年12月08日20时05分.mdb");
    EXPECT_EQ(QDir(documentsFolderOf(exported)).entryList(QDir::Files, QDir::Name),
              QStringList({"00003-答案.doc", "00003-题目.doc", "00004-答案.doc", "00004-题目.doc"}));

    // Imported into a teacher's bank file, the documents are the school bank's, byte for byte.
    TestApp teacher;
    const ImportResult r = ImportQuestions(teacher.bankPath(), exported, {kSection11, kSection21});
    EXPECT_EQ(r.imported, 2);
    Bank mine(teacher.bankPath());
    Bank theirs(school);
    for (const QString code : {"张三-00001", "张三-00002"}) {
        const QString here = mine.query("select 题目编号 from 试题库 where 试题识别码='" + code + "'").text(0, 0);
        const QString there = theirs.query("select 题目编号 from 试题库 where 试题识别码='" + code + "'").text(0, 0);
        ASSERT_FALSE(here.isEmpty()) << code.toStdString();
        for (const QString suffix : {"-题目.doc", "-答案.doc"}) {
            const QByteArray stored = theirs.query("select 内容 from 试题文档 where 文件名='" + there + suffix + "'")
                                          .value(0, 0)
                                          .toByteArray();
            EXPECT_FALSE(stored.isEmpty());
            EXPECT_EQ(readFile(QDir(documentsFolderOf(teacher.bankPath())).filePath(here + suffix)), stored)
                << (code + suffix).toStdString();
        }
    }
}

TEST_F(SchoolTransfer, AnImportIntoTheSchoolBankWritesTheDocumentsIntoTheBank) {
    writeFile(answerDocumentPath(file, "00002"), "答案二");
    // The school bank's documents are not on this computer, which is no reason to refuse.
    QDir(documentsFolderOf(school)).removeRecursively();
    const ImportResult r = ImportQuestions(school, file, {kSection11, kSection21});
    EXPECT_EQ(r.imported, 2);
    EXPECT_EQ(r.skipped, 1);  // 张三-00003 has no answer

    Bank bank(school);
    // 00001 carries rows and another teacher's pool holds 00002.
    EXPECT_EQ(bank.query("select distinct 题目编号 from 试题库 where 试题识别码='张三-00001'").texts(),
              QStringList({"00003"}));
    EXPECT_EQ(bank.query("select distinct 题目编号 from 试题库 where 试题识别码='张三-00002'").texts(),
              QStringList({"00004"}));
    EXPECT_EQ(bank.query("select 文件名 from 试题文档 order by 文件名").texts(),
              QStringList({"00003-答案.doc", "00003-题目.doc", "00004-答案.doc", "00004-题目.doc"}));
    EXPECT_EQ(bank.query("select 内容 from 试题文档 where 文件名='00004-答案.doc'").value(0, 0).toByteArray(),
              QByteArray("答案二"));
    // Another computer, with an empty folder, gets them from the bank.
    QDir(documentsFolderOf(school)).removeRecursively();
    fetchDocuments(bank, {"00003", "00004"});
    EXPECT_EQ(readFile(questionDocumentPath(school, "00003")), "题目一");
    EXPECT_EQ(readFile(answerDocumentPath(school, "00004")), "答案二");

    // A second import adds nothing: the codes are known.
    EXPECT_EQ(ImportQuestions(school, file, {kSection11, kSection21}).imported, 0);
    EXPECT_EQ(bank.query("select * from 试题文档").count(), 4);
}
