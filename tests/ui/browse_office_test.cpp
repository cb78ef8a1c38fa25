// The browse screen and the picker on a small bank whose questions are real
// word-processor documents: both previews of a found question are drawn.
// With ZS_SCREENSHOTS set to a folder, the screens are saved there as pictures.

#include "paper/spectable.h"
#include "questions/questionrecord.h"
#include "store/paths.h"
#include "support/testsupport.h"
#include "ui/common/documentview.h"
#include "ui/common/scopetreewidget.h"
#include "ui/compose/Form_stszckxg.h"
#include "ui/questions/Form_stckxg.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

namespace {

const QString kVolume = "1-数学\\1-人教版\\7-七年级\\1-上册";
const QString kCh1 = kVolume + "\\1-第一章 有理数";
const QString kCh2 = kVolume + "\\2-第二章 整式的加减";

struct Section {
    QString path;
    QStringList points;
};

const QList<Section> kSections = {
    {kCh1 + "\\1-1.1 正数和负数", {"1-正数的概念", "2-负数的概念", "3-相反意义的量"}},
    {kCh1 + "\\2-1.2 有理数", {"1-有理数的分类", "2-数轴", "3-相反数", "4-绝对值"}},
    {kCh1 + "\\3-1.3 有理数的加减法", {"1-有理数加法法则", "2-有理数减法法则"}},
    {kCh2 + "\\1-2.1 整式", {"1-单项式", "2-多项式"}},
    {kCh2 + "\\2-2.2 整式的加减", {"1-同类项", "2-去括号"}},
};

class BrowseOfficeTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bank bank(app.bankPath());
        static const QStringList columns = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};
        for (const Section& s : kSections)
            for (const QString& point : s.points) {
                const QStringList v = s.path.split('\\') << point;
                RowValues row;
                for (int i = 0; i < v.size(); ++i)
                    row << qMakePair(columns[i], QVariant(v[i]));
                bank.addRow("教材设置", row);
            }
        for (const char* source : {"1-期中考试", "2-期末考试", "3-课时练习"})
            bank.addRow("试题来源", {{"试题来源", QString::fromUtf8(source)}});
        auto word = office().startWord();
        auto write = [&](const QString& path, const QString& text) {
            auto doc = word->newDocument();
            doc->append(text);
            doc->saveAs(path);
            doc->close();
        };
        auto question = [&](const QString& number, const QString& type, const QString& level,
                            const QList<QPair<QString, QString>>& scopes, const QString& text, const QString& answer) {
            QuestionRecord r;
            r.number = number;
            r.code = makeIdentificationCode("张老师", number);
            r.type = type;
            r.difficulty = level;
            r.source = "2-期末考试";
            r.date = QDate(2024, 9, 10);
            r.teacher = "张老师";
            r.scopes = scopes;
            addQuestion(bank, r);
            write(questionDocumentPath(app.bankPath(), number), text);
            write(answerDocumentPath(app.bankPath(), number), answer);
        };
        question("00001", "单选题", "0.3", {{kSections[0].path, "2-负数的概念"}},
                 "1. 下列各数中，是负数的是（    ）\rA. 3        B. 0        C. −2        D. 1/2",
                 "C\r解析：小于 0 的数是负数，−2 < 0。");
        question("00002", "填空题", "0.5",
                 {{kSections[1].path, "2-数轴|4-绝对值"}, {kSections[2].path, "1-有理数加法法则"}},
                 "2. 数轴上表示 −3 的点到原点的距离是______；|−3| + 5 = ______。",
                 "3；8\r解析：一个数的绝对值就是数轴上表示这个数的点到原点的距离，|−3| = 3，3 + 5 = 8。");
        question("00003", "解答题", "0.7", {{kSections[4].path, "1-同类项|2-去括号"}},
                 "3. 先化简，再求值：3(2a − b) − 2(a + 3b)，其中 a = 1，b = −1。",
                 "解：原式 = 6a − 3b − 2a − 6b = 4a − 9b。\r当 a = 1，b = −1 时，原式 = 4 + 9 = 13。");
        word->quit();
        app.state().documentPreviews = true;
        app.state().CurrentUserName = "张老师";
    }

    static bool previewsReady(QWidget& form) {
        return QTest::qWaitFor(
            [&] {
                return !test::child<DocumentView>(&form, "OLE_tm")->preview().isNull() &&
                       !test::child<DocumentView>(&form, "OLE_da")->preview().isNull();
            },
            90000);
    }
    static void save(QWidget& form, const QString& name) {
        const QString folder = qEnvironmentVariable("ZS_SCREENSHOTS");
        if (!folder.isEmpty())
            form.grab().save(QDir(folder).filePath(name));
    }

    TestApp app;
};

}  // namespace

TEST_F(BrowseOfficeTest, AFoundQuestionShowsBothDocuments) {
    Form_stckxg form(app.state());
    form.show();
    form.Form_Activate();
    app.prompts.type("2");
    test::child<QPushButton>(&form, "Command_dwdthsbm")->click();
    form.Timer1_Timer();
    ASSERT_EQ(test::child<QLabel>(&form, "Label_dqtmbh")->text(), "00002");
    EXPECT_EQ(test::child<ScopeTreeWidget>(&form, "TreeView2")->model().checkedPaths().size(), 2);
    EXPECT_EQ(test::child<QListWidget>(&form, "List_yxzsd")->count(), 2);
    ASSERT_TRUE(previewsReady(form));
    EXPECT_TRUE(app.prompts.messages().isEmpty());
    save(form, "Form_stckxg.png");
}

TEST_F(BrowseOfficeTest, ThePickerOpensOnTheRowsQuestion) {
    SpecTable table(24);
    table.fillRow(1, "00001", "张老师-00001", "单选题", "0.3", kSections[0].path, "2-负数的概念");
    table.fillRow(2, "00003", "张老师-00003", "解答题", "0.7", kSections[4].path, "1-同类项|2-去括号");
    table.numberRows();
    Form_stszckxg form(app.state(), table, 2, "张老师-00003");
    form.DWDZhiDingTiHao();
    form.show();
    form.Timer1_Timer();
    ASSERT_EQ(test::child<QLabel>(&form, "Label_dqtmbh")->text(), "00003");
    ASSERT_TRUE(previewsReady(form));
    save(form, "Form_stszckxg.png");
    test::child<QPushButton>(&form, "Command_xdct")->click();
    EXPECT_EQ(table.cell(2, SpecTable::QuestionNumber), "00003");
    EXPECT_EQ(table.cell(2, SpecTable::Knowledge), "1-同类项\r2-去括号");
}
