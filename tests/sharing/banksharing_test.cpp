// Export and import between real bank files with their documents folders.

#include "plan/candidates.h"
#include "questions/scopetree.h"
#include "sharing/banksharing.h"
#include "sharing/exchangearchive.h"
#include "store/paths.h"
#include "support/testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace zs;
using zs::test::TempFolder;
using zs::test::TestApp;

namespace {

const QStringList kUpper = {"1-数学", "1-人教版", "7-七年级", "1-上册"};
const QStringList kCatalogueColumns = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};

QString scope(const QString& chapter, const QString& section) {
    return (kUpper + QStringList{chapter, section}).join('\\');
}

const QString kA = scope("1-第一章", "1-正数和负数");
const QString kB = scope("1-第一章", "2-有理数");
const QString kC = scope("2-第二章", "1-整式");
const QString kChapter1 = (kUpper + QStringList{"1-第一章"}).join('\\');
const QDateTime kWhen(QDate(2026, 12, 6), QTime(21, 45, 30));
const QString kStamp = "导出试题库-26年12月06日21时45分";

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << qPrintable(path);
    f.write(content);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray fingerprint(const QString& path) {
    return QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha1);
}

QStringList filesIn(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Files);
    names.sort();
    return names;
}

// A bank with a catalogue (an upper-level row, section rows and knowledge-point
// rows of three sections) and helpers to file questions with their documents.
class BankFixture {
public:
    explicit BankFixture(TestApp& app) : app_(app) {
        Bank::createExportTemplate(app.folder.file(kExportTemplateName));
        Bank bank(app.bankPath());
        catalogueRow(bank, {"1-数学"});
        catalogueRow(bank, kUpper + QStringList{"1-第一章", "1-正数和负数"});
        catalogueRow(bank, kUpper + QStringList{"1-第一章", "1-正数和负数", "1-正数"});
        catalogueRow(bank, kUpper + QStringList{"1-第一章", "1-正数和负数", "2-负数"});
        catalogueRow(bank, kUpper + QStringList{"1-第一章", "2-有理数", "1-数轴"});
        catalogueRow(bank, kUpper + QStringList{"2-第二章", "1-整式", "1-单项式"});
    }

    static void catalogueRow(Bank& bank, const QStringList& names) {
        RowValues row;
        for (int i = 0; i < names.size(); ++i)
            row << qMakePair(kCatalogueColumns[i], QVariant(names[i]));
        bank.addRow("教材设置", row);
    }

    // Files question `number` under each scope; its documents hold its number.
    void question(const QString& number, const QStringList& scopes, bool answer = true) {
        Bank bank(app_.bankPath());
        for (const QString& s : scopes)
            bank.addRow("试题库", {{"题目编号", number},
                                   {"考查范围", s},
                                   {"题型", "单选题"},
                                   {"难度", "0.3"},
                                   {"试题来源", "1-期中考试"},
                                   {"试题识别码", "张三-" + number},
                                   {"入库日期", QDate(2024, 3, 7)},
                                   {"入库教师", "张三"},
                                   {"知识点", "1-正数|2-负数"},
                                   {"使用次数", 2},
                                   {"最后使用日期", QDate(2025, 1, 9)}});
        writeFile(questionDocumentPath(app_.bankPath(), number), "题目 " + number.toUtf8());
        if (answer)
            writeFile(answerDocumentPath(app_.bankPath(), number), "答案 " + number.toUtf8());
    }

private:
    TestApp& app_;
};

class SharingTest : public ::testing::Test {
protected:
    SharingTest() : fixture(app) { app.clock.set(kWhen); }

    QString exportFolder() const { return app.desktopFolder.file(kStamp); }
    QString exportFile() const { return QDir(exportFolder()).filePath(kStamp + ".mdb"); }
    QString exportDocuments() const { return QDir(exportFolder()).filePath(kDocumentsFolderName); }

    TestApp app;
    BankFixture fixture;
};

}  // namespace

// ---------------------------------------------------------------- export

TEST_F(SharingTest, ExportingOneSectionMakesTheDatedFolderWithItsBankAndDocuments) {
    fixture.question("00001", {kA});
    fixture.question("00002", {kA});
    fixture.question("00003", {kC});
    const QByteArray before = fingerprint(app.bankPath());
    app.state().resetBankPath();

    runExport(app.state(), ShareContent::Questions, {kA});

    EXPECT_EQ(app.prompts.messages(),
              QStringList(
                  {"勾选范围内的<试题>，已全部导出！\r\r成功导出的<试题数>为： 2\r\r导出位置为<桌面>，请注意查看！"}));
    EXPECT_EQ(filesIn(app.desktopFolder.path()), QStringList());
    EXPECT_EQ(QDir(app.desktopFolder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList({kStamp}));
    EXPECT_EQ(filesIn(exportFolder()), QStringList({kStamp + ".mdb"}));
    EXPECT_EQ(filesIn(exportDocuments()),
              QStringList({"00001-答案.doc", "00001-题目.doc", "00002-答案.doc", "00002-题目.doc"}));
    EXPECT_EQ(readFile(QDir(exportDocuments()).filePath("00002-答案.doc")), "答案 00002");

    Bank exported(exportFile());
    const RowSet rows = exported.query("select * from 试题库");
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.text(1, "题目编号"), "00002");
    EXPECT_EQ(rows.text(1, "考查范围"), kA);
    EXPECT_EQ(rows.text(1, "试题识别码"), "张三-00002");
    EXPECT_EQ(rows.text(1, "知识点"), "1-正数|2-负数");
    EXPECT_EQ(rows.date(1, "入库日期"), QDate(2024, 3, 7));
    EXPECT_EQ(rows.date(1, "最后使用日期"), QDate(2025, 1, 9));
    EXPECT_EQ(rows.text(1, "使用次数"), "2");
    EXPECT_EQ(rows.text(1, "入库教师"), "张三");
    // The source travels with the question: without it the colleague's
    // composition would never take it.
    EXPECT_EQ(rows.text(1, "试题来源"), "1-期中考试");
    EXPECT_TRUE(exported.query("select * from 教材设置").isEmpty());
    EXPECT_EQ(fingerprint(app.bankPath()), before);  // the current bank is only read
}

TEST_F(SharingTest, ExportCountsRowsAndSkipsRowsWithoutBothDocuments) {
    EXPECT_EQ(exportQuestionsStatement({kA, "1-O'Neil"}),
              "select * from 试题库 where 考查范围 = '" + kA + "' or 考查范围 = '1-O''Neil'");
    fixture.question("00004", {kA, kC});
    fixture.question("00005", {kA}, /*answer=*/false);
    app.state().resetBankPath();

    runExport(app.state(), ShareContent::Questions, {kA, kC});

    EXPECT_EQ(app.prompts.lastMessage(),
              "勾选范围内的<试题>，已全部导出！\r\r成功导出的<试题数>为： 2\r\r导出位置为<桌面>，请注意查看！");
    EXPECT_EQ(filesIn(exportDocuments()), QStringList({"00004-答案.doc", "00004-题目.doc"}));
    EXPECT_EQ(Bank(exportFile()).query("select 考查范围 from 试题库").texts(), QStringList({kA, kC}));
}

TEST_F(SharingTest, CatalogueExportTakesTheSectionRowAndItsKnowledgePointsOnly) {
    fixture.question("00001", {kA});
    app.state().resetBankPath();

    runExport(app.state(), ShareContent::Both, {kA});

    EXPECT_EQ(
        app.prompts.messages(),
        QStringList({"勾选范围内的<试题>，已全部导出！\r\r成功导出的<试题数>为： 1\r\r导出位置为<桌面>，请注意查看！",
                     "勾选范围内的<教材设置>，已全部导出！\r\r成功导出的<教材设置>条目数量为： 3\r\r"
                     "导出位置为<桌面>，请注意查看！"}));
    const RowSet rows = Bank(exportFile()).query("select * from 教材设置");
    ASSERT_EQ(rows.count(), 3);
    EXPECT_TRUE(rows.isNull(0, "知识点"));
    EXPECT_EQ(rows.text(0, "节"), "1-正数和负数");
    EXPECT_EQ(rows.text(1, "知识点"), "1-正数");
    EXPECT_EQ(rows.text(2, "知识点"), "2-负数");

    // Catalogue only: no documents folder, and a chapter path matches no row exactly.
    app.prompts.clear();
    runExport(app.state(), ShareContent::Catalogue, {kChapter1});
    const QString second = app.desktopFolder.file(kStamp + "(2)");
    EXPECT_EQ(filesIn(second), QStringList({kStamp + "(2).mdb"}));
    EXPECT_FALSE(QFileInfo::exists(QDir(second).filePath(kDocumentsFolderName)));
    EXPECT_EQ(app.prompts.messages(),
              QStringList({"勾选范围内的<教材设置>，已全部导出！\r\r成功导出的<教材设置>条目数量为： 0\r\r"
                           "导出位置为<桌面>，请注意查看！"}));
}

TEST_F(SharingTest, RefusedExportsAndTheSameMinuteTwice) {
    app.state().resetBankPath();
    runExport(app.state(), ShareContent::None, {kA});
    EXPECT_EQ(app.prompts.messages(), QStringList({"请在左侧勾选要导出的内容！"}));
    EXPECT_TRUE(QDir(app.desktopFolder.path()).isEmpty());

    // Nothing ticked: the folder and its bank file are made, then each part refuses.
    app.prompts.clear();
    runExport(app.state(), ShareContent::Both, {});
    EXPECT_EQ(app.prompts.messages(), QStringList({"你还没有勾选任何范围，所以不能执行<导出试题库>操作！",
                                                   "你还没有勾选任何范围，所以不能执行<导出试题库>操作！"}));
    EXPECT_TRUE(QFileInfo::exists(exportFile()));

    // The same minute again and again: folders of their own, each with its own bank file.
    const ExportTarget second = PrepareExportFolder(app.bankPath(), app.desktopFolder.path(), kWhen);
    const ExportTarget third = PrepareExportFolder(app.bankPath(), app.desktopFolder.path(), kWhen);
    EXPECT_EQ(second.folder, app.desktopFolder.file(kStamp + "(2)"));
    EXPECT_EQ(third.file, QDir(app.desktopFolder.file(kStamp + "(3)")).filePath(kStamp + "(3).mdb"));
    EXPECT_TRUE(Bank(third.file).query("select * from 试题库").isEmpty());
}

TEST_F(SharingTest, AMissingExportTemplateIsNamedAndNothingIsMade) {
    fixture.question("00001", {kA});
    const QString templatePath = app.folder.file(kExportTemplateName);
    QFile::remove(templatePath);
    app.state().resetBankPath();
    try {
        runExport(app.state(), ShareContent::Questions, {kA});
        FAIL() << "no error";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.message(), "找不到试题库导出模板文件，不能导出：\r" + QDir::toNativeSeparators(templatePath));
    }
    EXPECT_TRUE(QDir(app.desktopFolder.path()).isEmpty());

    // A template that is no bank is refused the same way, naming it.
    writeFile(templatePath, "not a bank");
    EXPECT_THROW(PrepareExportFolder(app.bankPath(), app.desktopFolder.path(), kWhen), StoreError);
    EXPECT_TRUE(QDir(app.desktopFolder.path()).isEmpty());
}

// ---------------------------------------------------------------- import

namespace {

// A second application folder whose bank receives the imports.
class ImportTest : public SharingTest {
protected:
    void exportAll(ShareContent content = ShareContent::Both) {
        app.state().resetBankPath();
        runExport(app.state(), content, {kA, kB, kC});
        app.prompts.clear();
    }
    QStringList numbers(const QString& bankPath) { return Bank(bankPath).query("select 题目编号 from 试题库").texts(); }

    TestApp other;
};

}  // namespace

TEST_F(ImportTest, ImportingAnExportIntoItsOwnBankAddsNoQuestionButRepeatsTheCatalogue) {
    fixture.question("00001", {kA});
    fixture.question("00002", {kB});
    exportAll();
    const int catalogueRows = Bank(app.bankPath()).query("select * from 教材设置").count();

    runImport(app.state(), ShareContent::Both, exportFile(), {kA, kB});

    EXPECT_EQ(
        app.prompts.messages(),
        QStringList({"勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： 0\r\r2 道已存在，未重复导入。",
                     "勾选范围内的<教材设置>，已全部导入！\r\r成功导入的<教材设置>条目数量为： 4"}));
    // The numbers the bank has them under are under 详细信息.
    EXPECT_EQ(app.prompts.records()[0].details, "已存在的试题（本题库中的题目编号）：\r00001、00002");
    EXPECT_EQ(numbers(app.bankPath()), QStringList({"00001", "00002"}));
    EXPECT_EQ(Bank(app.bankPath()).query("select * from 教材设置").count(), catalogueRows + 4);
    EXPECT_EQ(filesIn(app.documents()).size(), 4);
}

TEST_F(ImportTest, NewNumbersFollowTheDocumentsFolderAndRowsKeepTheirSourceAndDate) {
    fixture.question("00001", {kA});
    fixture.question("00009", {kA});
    exportAll(ShareContent::Questions);

    other.state().resetBankPath();
    runImport(other.state(), ShareContent::Questions, exportFile(), {kA});
    EXPECT_EQ(other.prompts.messages(),
              QStringList({"勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： 2"}));
    EXPECT_EQ(numbers(other.bankPath()), QStringList({"00001", "00002"}));
    EXPECT_EQ(readFile(QDir(other.documents()).filePath("00002-题目.doc")), "题目 00009");
    EXPECT_EQ(readFile(QDir(other.documents()).filePath("00002-答案.doc")), "答案 00009");

    const RowSet rows = Bank(other.bankPath()).query("select * from 试题库");
    EXPECT_EQ(rows.text(1, "试题识别码"), "张三-00009");
    EXPECT_EQ(rows.text(1, "考查范围"), kA);
    EXPECT_EQ(rows.text(1, "题型"), "单选题");
    EXPECT_EQ(rows.text(1, "难度"), "0.3");
    EXPECT_EQ(rows.text(1, "知识点"), "1-正数|2-负数");
    EXPECT_EQ(rows.text(1, "入库教师"), "张三");
    EXPECT_EQ(rows.text(1, "试题来源"), "1-期中考试");
    EXPECT_EQ(rows.date(1, "入库日期"), QDate(2024, 3, 7));
    // The use of the other teacher's papers is not this bank's.
    for (const char* empty : {"使用次数", "最后使用日期"})
        EXPECT_TRUE(rows.isNull(1, empty)) << empty;
    // The source can be chosen on every screen of the receiving bank.
    EXPECT_TRUE(Bank(other.bankPath()).query("select 试题来源 from 试题来源").texts().contains("1-期中考试"));

    // The highest number spelled by any file name counts, whatever the rows say.
    TestApp third;
    TestApp::touch(QDir(third.documents()).filePath("00007-题目.doc"));
    TestApp::touch(QDir(third.documents()).filePath("00012-答案.doc"));
    TestApp::touch(QDir(third.documents()).filePath("说明.txt"));
    EXPECT_EQ(nextImportNumber(third.documents()), 13);
    third.state().resetBankPath();
    runImport(third.state(), ShareContent::Questions, exportFile(), {kA});
    EXPECT_EQ(numbers(third.bankPath()), QStringList({"00013", "00014"}));
    EXPECT_EQ(nextImportNumber(other.folder.file("无此文件夹")), 1);
}

TEST_F(ImportTest, ATwoScopeQuestionArrivesAsOneQuestionWithOnePairOfDocuments) {
    fixture.question("00003", {kA, kC});
    fixture.question("00004", {kB});
    exportAll(ShareContent::Questions);

    other.state().resetBankPath();
    runImport(other.state(), ShareContent::Questions, exportFile(), {kA, kB, kC});
    EXPECT_EQ(other.prompts.lastMessage(), "勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： 2");
    const RowSet rows = Bank(other.bankPath()).query("select 题目编号, 考查范围, 试题识别码 from 试题库");
    // The export lists the rows section by section: 00003 under kA, 00004, then
    // 00003 again under kC.
    ASSERT_EQ(rows.count(), 3);
    EXPECT_EQ(rows.text(0, 0), "00001");
    EXPECT_EQ(rows.text(0, 1), kA);
    EXPECT_EQ(rows.text(1, 0), "00002");
    EXPECT_EQ(rows.text(1, 2), "张三-00004");
    EXPECT_EQ(rows.text(2, 0), "00001");
    EXPECT_EQ(rows.text(2, 1), kC);
    EXPECT_EQ(rows.text(0, 2), rows.text(2, 2));
    EXPECT_EQ(filesIn(other.documents()),
              QStringList({"00001-答案.doc", "00001-题目.doc", "00002-答案.doc", "00002-题目.doc"}));
    EXPECT_EQ(readFile(QDir(other.documents()).filePath("00001-题目.doc")), "题目 00003");
    EXPECT_FALSE(QFileInfo::exists(importJournalPath(other.bankPath())));

    // Importing the other section later: the question is known by its code.
    other.prompts.clear();
    runImport(other.state(), ShareContent::Questions, exportFile(), {kC});
    EXPECT_EQ(other.prompts.lastMessage(),
              "勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： 0\r\r1 道已存在，未重复导入。");
}

TEST_F(ImportTest, ANumberThatRowsCarryIsNeverGivenAgain) {
    fixture.question("00001", {kA});
    fixture.question("00002", {kB});
    exportAll(ShareContent::Questions);

    // The other bank has question 00003 whose documents are missing, and
    // documents up to 00002 only.
    {
        Bank bank(other.bankPath());
        bank.addRow("试题库", {{"题目编号", "00003"}, {"考查范围", kC}, {"试题识别码", "李四-00003"}});
        bank.addRow("试题库", {{"题目编号", "00001"}, {"考查范围", kC}, {"试题识别码", "李四-00001"}});
    }
    TestApp::touch(questionDocumentPath(other.bankPath(), "00001"));
    TestApp::touch(answerDocumentPath(other.bankPath(), "00001"));
    TestApp::touch(questionDocumentPath(other.bankPath(), "00002"));
    other.state().resetBankPath();
    runImport(other.state(), ShareContent::Questions, exportFile(), {kA, kB});
    const RowSet rows =
        Bank(other.bankPath()).query("select 题目编号, 试题识别码 from 试题库 where 试题识别码 like '张三%'");
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.text(0, 0), "00004");
    EXPECT_EQ(rows.text(1, 0), "00005");
    EXPECT_EQ(Bank(other.bankPath()).query("select * from 试题库 where 题目编号='00003'").count(), 1);
}

TEST_F(ImportTest, NoImportWhileTheDocumentsOfTheBankAreLost) {
    fixture.question("00001", {kA});
    exportAll(ShareContent::Questions);
    {
        Bank bank(other.bankPath());
        bank.addRow("试题库", {{"题目编号", "00001"}, {"考查范围", kC}, {"试题识别码", "李四-00001"}});
    }
    ASSERT_TRUE(QDir(other.documents()).removeRecursively());
    other.state().resetBankPath();
    try {
        runImport(other.state(), ShareContent::Questions, exportFile(), {kA});
        FAIL() << "imported";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().startsWith("试题源文件夹不见了！")) << e.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(other.documents()));
    EXPECT_EQ(Bank(other.bankPath()).query("select * from 试题库").count(), 1);
}

TEST_F(ImportTest, ATickedChapterTakesEveryQuestionAndCatalogueRowBelowIt) {
    fixture.question("00001", {kA});
    fixture.question("00002", {kB});
    exportAll();

    ScopeTreeModel tree;
    ASSERT_EQ(loadExternalTree(exportFile(), tree), "");
    EXPECT_EQ(tree.node(tree.findByPath(kA)).key, (kUpper + QStringList{"1-第一章", "1-正数和负数"}).join(""));
    // The import tree ticks only the node clicked.
    tree.setChecked(tree.findByPath(kChapter1), true);
    const QStringList paths = tree.deepestCheckedPaths();
    EXPECT_EQ(paths, QStringList({kChapter1}));

    other.state().resetBankPath();
    runImport(other.state(), ShareContent::Both, exportFile(), paths);
    EXPECT_EQ(other.prompts.messages(),
              QStringList({"勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： 2",
                           "勾选范围内的<教材设置>，已全部导入！\r\r成功导入的<教材设置>条目数量为： 4"}));
    EXPECT_EQ(numbers(other.bankPath()), QStringList({"00001", "00002"}));
    // A path that only begins like a ticked one is not below it.
    EXPECT_TRUE(scopeTakes({kChapter1}, kB));
    EXPECT_FALSE(scopeTakes({kChapter1 + "0"}, kA));
    EXPECT_FALSE(scopeTakes({kA}, kChapter1));

    other.prompts.clear();
    runImport(other.state(), ShareContent::None, exportFile(), paths);
    runImport(other.state(), ShareContent::Catalogue, exportFile(), {});
    EXPECT_EQ(other.prompts.messages(),
              QStringList({"请在左侧勾选要导出的内容！", "你还没有勾选任何范围，所以不能执行<导出试题库>操作！"}));
}

TEST_F(ImportTest, AFileThatIsNoBankIsRefusedAndTheTreeKept) {
    ScopeTreeModel tree = ScopeTreeModel::fromPaths({kUpper});
    const QString notes = other.folder.file("notes.mdb");
    writeFile(notes, "这不是试题库");
    EXPECT_EQ(loadExternalTree(notes, tree), "这个文件不是试题库文件：\r" + QDir::toNativeSeparators(notes));
    EXPECT_EQ(tree.count(), 4);
    const QString missing = other.folder.file("无.mdb");
    EXPECT_EQ(loadExternalTree(missing, tree), "找不到试题库文件：\r" + QDir::toNativeSeparators(missing));
    EXPECT_EQ(tree.count(), 4);
}

TEST_F(ImportTest, RowsWithoutExternalDocumentsAreSkippedAndCounted) {
    fixture.question("00001", {kA});
    fixture.question("00002", {kA});
    exportAll(ShareContent::Questions);
    QFile::remove(QDir(exportDocuments()).filePath("00001-答案.doc"));

    other.state().resetBankPath();
    runImport(other.state(), ShareContent::Questions, exportFile(), {kA});
    EXPECT_EQ(other.prompts.lastMessage(), "勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： 1\r\r"
                                           "缺少题目或答案文档、没有导入的<试题>记录数量为： 1");
    EXPECT_EQ(numbers(other.bankPath()), QStringList({"00001"}));
    EXPECT_EQ(readFile(QDir(other.documents()).filePath("00001-题目.doc")), "题目 00002");
}

TEST_F(ImportTest, NumbersPast32767StopTheImportAndLeaveBankAndFolderAsBefore) {
    fixture.question("00001", {kA});
    fixture.question("00002", {kA});
    exportAll(ShareContent::Questions);

    TestApp::touch(QDir(other.documents()).filePath("32766-题目.doc"));
    other.state().resetBankPath();
    try {
        runImport(other.state(), ShareContent::Both, exportFile(), {kA});
        FAIL() << "no error";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.message(), "题目编号已经用到 32767，没有新的编号可以给导入的试题！\r"
                               "本次导入已经撤销，当前试题库保持原样。");
    }
    // The first row (00001 → 32767) was written and copied before the second
    // failed: none of it stays, and the catalogue part did not run.
    EXPECT_TRUE(other.prompts.messages().isEmpty());
    EXPECT_TRUE(Bank(other.bankPath()).query("select * from 试题库").isEmpty());
    EXPECT_TRUE(Bank(other.bankPath()).query("select * from 教材设置").isEmpty());
    EXPECT_EQ(filesIn(other.documents()), QStringList({"32766-题目.doc"}));
}

// ---------------------------------------------------------------- between colleagues

TEST_F(ImportTest, AColleaguesImportedChapterIsACandidateOfCompositionLikeOnesOwn) {
    fixture.question("00001", {kA});
    fixture.question("00002", {kB});
    exportAll(ShareContent::Questions);

    other.state().resetBankPath();
    runImport(other.state(), ShareContent::Questions, exportFile(), {kChapter1});
    EXPECT_EQ(other.prompts.lastMessage(), "勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： 2");

    // The colleague ticks every source her bank lists, as the composition screen offers them.
    CompositionParameters p;
    p.ScopePaths = {kA, kB};
    p.SourceFilter = Bank(other.bankPath()).query("select 试题来源 from 试题来源").texts();
    Bank bank(other.bankPath());
    const CandidateTable candidates = BuildCandidates(bank, p);
    ASSERT_EQ(candidates.size(), 2u);
    EXPECT_EQ(candidates[0].code, "张三-00001");
    EXPECT_EQ(candidates[1].code, "张三-00002");
}

TEST_F(ImportTest, AFileWithoutSourcesGetsTheSourceTheTeacherChoosesOrNothingWhenSheCancels) {
    fixture.question("00001", {kA});
    exportAll(ShareContent::Questions);
    // As written by an older version: no source, no date.
    Bank(exportFile()).execute("update 试题库 set 试题来源 = null, 入库日期 = null");
    EXPECT_EQ(rowsWithoutSource(exportFile(), {kA}), 1);
    EXPECT_EQ(rowsWithoutSource(exportFile(), {kC}), 0);

    other.state().resetBankPath();
    other.prompts.cancel();
    runImport(other.state(), ShareContent::Questions, exportFile(), {kA});
    ASSERT_EQ(other.prompts.records().size(), 1);
    EXPECT_EQ(other.prompts.records()[0].kind, PromptRecord::Kind::Input);
    EXPECT_EQ(other.prompts.records()[0].defaultText, kStamp);
    EXPECT_TRUE(Bank(other.bankPath()).query("select * from 试题库").isEmpty());

    other.prompts.clear();
    other.prompts.type("张老师分享");
    runImport(other.state(), ShareContent::Questions, exportFile(), {kA});
    const RowSet rows = Bank(other.bankPath()).query("select * from 试题库");
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.text(0, "试题来源"), "张老师分享");
    EXPECT_EQ(rows.date(0, "入库日期"), other.clock.now().date());
    EXPECT_TRUE(Bank(other.bankPath()).query("select 试题来源 from 试题来源").texts().contains("张老师分享"));
}

TEST_F(ImportTest, AQuestionsOnlyExportShowsTheTreeOfItsQuestions) {
    fixture.question("00001", {kA});
    fixture.question("00002", {kC});
    exportAll(ShareContent::Questions);
    ASSERT_TRUE(Bank(exportFile()).query("select * from 教材设置").isEmpty());

    ScopeTreeModel tree;
    ASSERT_EQ(loadExternalTree(exportFile(), tree), "");
    EXPECT_GE(tree.findByPath(kA), 0);
    EXPECT_GE(tree.findByPath(kC), 0);
    EXPECT_GE(tree.findByPath(kChapter1), 0);
    EXPECT_LT(tree.findByPath(kB), 0);
    EXPECT_EQ(tree.node(tree.findByPath(kA)).key, (kUpper + QStringList{"1-第一章", "1-正数和负数"}).join(""));
}

TEST_F(ImportTest, TheOneFileExportUnpacksToTheSameBankAndDocuments) {
    fixture.question("00001", {kA});
    fixture.question("00002", {kB});
    app.state().resetBankPath();
    runExport(app.state(), ShareContent::Both, {kA, kB}, true);
    const QString zip = exportFolder() + ".zip";
    EXPECT_EQ(app.prompts.lastMessage(),
              "同样的内容也已打包成一个文件，便于发送给同事：\r" + QDir::toNativeSeparators(zip));
    ASSERT_TRUE(isZipArchive(zip));
    EXPECT_FALSE(QFileInfo::exists(zip + ".part"));

    TempFolder unpacked;
    const QString bank = unpackExchange(zip, unpacked.path());
    EXPECT_EQ(bank, QDir(unpacked.path()).filePath(kStamp + "/" + kStamp + ".mdb"));
    EXPECT_EQ(fingerprint(bank), fingerprint(exportFile()));
    EXPECT_EQ(filesIn(QFileInfo(bank).absoluteDir().filePath(kDocumentsFolderName)),
              QStringList({"00001-答案.doc", "00001-题目.doc", "00002-答案.doc", "00002-题目.doc"}));
    EXPECT_EQ(readFile(questionDocumentPath(bank, "00002")), "题目 00002");

    // And it imports like the folder.
    other.state().resetBankPath();
    runImport(other.state(), ShareContent::Questions, bank, {kA, kB});
    EXPECT_EQ(numbers(other.bankPath()), QStringList({"00001", "00002"}));

    // An existing archive is never overwritten.
    EXPECT_THROW(packFolder(exportFolder(), zip), StoreError);
}

TEST_F(ImportTest, ABrokenOrHostileArchiveIsRefusedWithItsName) {
    TempFolder target;
    const QString text = other.folder.file("不是压缩文件.zip");
    writeFile(text, "plain text");
    try {
        unpackExchange(text, target.path());
        FAIL() << "unpacked";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.message(), "这个文件不是试题库的压缩文件，或者已经损坏：\r" + QDir::toNativeSeparators(text));
    }
    // A truncated archive.
    fixture.question("00001", {kA});
    app.state().resetBankPath();
    runExport(app.state(), ShareContent::Questions, {kA}, true);
    const QByteArray whole = readFile(exportFolder() + ".zip");
    const QString cut = other.folder.file("截断.zip");
    writeFile(cut, whole.left(whole.size() / 2));
    EXPECT_THROW(unpackExchange(cut, target.path()), StoreError);

    // An archive without a bank file.
    TempFolder loose;
    QDir(loose.path()).mkpath("资料");
    writeFile(QDir(loose.path()).filePath("资料/说明.txt"), "说明");
    const QString noBank = other.folder.file("资料.zip");
    packFolder(QDir(loose.path()).filePath("资料"), noBank);
    try {
        unpackExchange(noBank, target.path());
        FAIL() << "unpacked";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().startsWith("压缩文件里没有试题库文件")) << e.message().toStdString();
    }
}

TEST(CopyingDocuments, AFailedCopyNamesTheReasonAndLeavesNothingHalfWritten) {
    TempFolder folder;
    const QString source = folder.file("00001-题目.doc");
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(200000, 'x'));
    }
    auto failure = [](const QString& from, const QString& to) -> QString {
        try {
            copyFileNamingTheReason(from, to);
        } catch (const StoreError& e) {
            return e.message();
        }
        return {};
    };
    // A full disk: /dev/full refuses every write with "no space left".
    const QString full = folder.file("满/00002-题目.doc");
    QDir().mkpath(folder.file("满"));
    ASSERT_TRUE(QFile::link("/dev/full", full));
    EXPECT_EQ(failure(source, full), "无法复制文件：\r" + QDir::toNativeSeparators(source) + "\r到：\r" +
                                         QDir::toNativeSeparators(full) + "\r\r磁盘已满，请先腾出磁盘空间。");
    EXPECT_TRUE(QFileInfo::exists("/dev/full"));  // the link went, never the device

    EXPECT_TRUE(failure(folder.file("没有.doc"), folder.file("x.doc")).endsWith("\r\r原文件不存在。"));
    EXPECT_FALSE(QFileInfo::exists(folder.file("x.doc")));
    EXPECT_TRUE(failure(source, folder.file("没有的文件夹/x.doc")).contains("\r\r目标文件夹不能写入"));

    // A copy that works is the whole file.
    EXPECT_EQ(failure(source, folder.file("00003-题目.doc")), "");
    EXPECT_EQ(QFileInfo(folder.file("00003-题目.doc")).size(), 200000);
}
