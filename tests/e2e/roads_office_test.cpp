// Whole roads through the real screens and the real LibreOffice on a fresh copy
// of the demo bank: the road of a typical paper, the results of its exam coming
// back, and two teachers sharing a section of their banks.

#include "app/appfolder.h"
#include "demo/generator.h"
#include "paper/papergeneration.h"
#include "paper/paperrecord.h"
#include "paper/smartsort.h"
#include "results/resultstats.h"
#include "store/paths.h"
#include "support/testsupport.h"
#include "ui/catalogue/Form_cshtmbh.h"
#include "ui/common/scopetreewidget.h"
#include "ui/common/widgets.h"
#include "ui/compose/Form_sdzj.h"
#include "ui/compose/Form_stszckxg.h"
#include "ui/compose/Form_znzj.h"
#include "ui/paper/Form_scsjjm.h"
#include "ui/questions/Form_stckxg.h"
#include "ui/questions/Form_stlr.h"
#include "ui/results/Form_drcj.h"
#include "ui/sharing/Form_tkfx.h"
#include "ui/start/Form_yhdl.h"
#include "ui/start/Form_zjm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace zs;
using zs::test::child;
using zs::test::openScreen;
using zs::test::tick;

namespace {

const QString kChapter = "1-初中数学\\1-人教版\\7-七年级\\1-上册\\1-第一章 有理数";
const QString kSection1 = kChapter + "\\1-1.1 正数和负数";
const QString kSection2 = kChapter + "\\2-1.2 有理数";

class RoadsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        demo_ = new test::TempFolder;
        demo::writeDemoFolder(demo_->path(), test::office(), {});
    }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }
    static test::TempFolder* demo_;
};

test::TempFolder* RoadsTest::demo_ = nullptr;

int usesOf(const QString& bankPath, const QString& number) {
    return Bank(bankPath).query("select * from 试题库 where 题目编号='" + number + "'").value(0, "使用次数").toInt();
}

}  // namespace

TEST_F(RoadsTest, TheRoadOfATypicalPaper) {
    // The seed the road was written with (the plan search draws from it).
    test::TestApp app(demo_->path(), 20261208);
    RunState& state = app.state();

    // Log in as the maths teacher of the demo bank.
    {
        auto* login = new Form_yhdl(state);
        login->show();
        child<QLineEdit>(login, "Text_smyhm")->setText("张老师");
        child<QLineEdit>(login, "Text_mm")->setText("123456");
        login->command_qd_Click();
    }
    QPointer<Form_zjm> menu = openScreen<Form_zjm>();
    ASSERT_NE(menu, nullptr) << app.prompts.lastMessage().toStdString();
    EXPECT_EQ(state.CurrentUserName, "张老师");

    // The modal screens of the road, driven as the teacher would.
    QString entered;
    std::function<void(Form_sdzj&)> onComposition;
    std::function<void(Form_stszckxg&)> onPicker;
    QStringList generated;
    state.modalHook = [&](QObject* screen) {
        if (auto* numbers = qobject_cast<Form_cshtmbh*>(screen)) {
            numbers->Form_Activate();
        } else if (auto* entry = qobject_cast<Form_stlr*>(screen)) {
            entry->show();
            entry->Form_Activate();
            entered = entry->currentNumber();
            // The teacher writes the question and its answer in the word processor.
            const auto word = test::office().startWord();
            for (const auto& [path, text] :
                 {qMakePair(questionDocumentPath(state.BankPath, entered),
                            QStringLiteral("比较大小：−3 ____ −2（填“>”或“<”）。")),
                  qMakePair(answerDocumentPath(state.BankPath, entered),
                            QStringLiteral("【答案】<\r【解析】两个负数，绝对值大的反而小。"))}) {
                const auto doc = word->open(path);
                doc->append(text);
                doc->save();
            }
            auto* tree = child<ScopeTreeWidget>(entry, "TreeView1");
            for (const QString& section : {kSection1, kSection2}) {
                tick(tree, section);
                entry->TreeView1_Click();
                entry->Timer1_Timer();
                entry->List_dxzsd_Click(child<QListWidget>(entry, "List_dxzsd")->item(0));
                entry->Timer1_Timer();
            }
            setComboText(child<QComboBox>(entry, "Combo_tx"), "填空题");
            setComboText(child<QComboBox>(entry, "Combo_nd"), "0.2");
            setComboText(child<QComboBox>(entry, "Combo_stly"), "3-课后练习");
            child<QPushButton>(entry, "Command_qdlr")->click();
            app.prompts.answer(Answer::Ok);  // leave, giving up the next question
            entry->close();
        } else if (auto* browse = qobject_cast<Form_stckxg*>(screen)) {
            browse->Form_Activate();
            app.prompts.type(entered);
            browse->Command_dwdthsbm_Click();
            EXPECT_EQ(child<QLabel>(browse, "Label_dqtmbh")->text(), entered);
            EXPECT_EQ(child<ScopeTreeWidget>(browse, "TreeView2")->model().checkedPaths(),
                      QStringList({kSection1, kSection2}));
            browse->Command_fhzjm_Click();
        } else if (auto* picker = qobject_cast<Form_stszckxg*>(screen)) {
            onPicker(*picker);
        } else if (auto* composition = qobject_cast<Form_sdzj*>(screen)) {
            onComposition(*composition);
        } else if (auto* intelligent = qobject_cast<Form_znzj*>(screen)) {
            tick(child<ScopeTreeWidget>(intelligent, "TreeView_kcfw"), "1-初中数学\\1-人教版\\7-七年级\\1-上册");
            for (const auto& [type, count] : {qMakePair(0, 4), qMakePair(2, 2), qMakePair(4, 2), qMakePair(6, 2)}) {
                intelligent->Check_tx[type]->click();
                intelligent->Text_ts[type]->setText(QString::number(count));
            }
            for (const auto& [level, tens] :
                 {qMakePair(0, 2), qMakePair(1, 3), qMakePair(2, 3), qMakePair(3, 1), qMakePair(4, 1)})
                intelligent->HScroll_ndbl[level]->setValue(tens);
            child<QPushButton>(intelligent, "Command_jszyfa")->click();
        } else if (auto* generator = qobject_cast<Form_scsjjm*>(screen)) {
            generator->Form_Activate();
            generated = generator->outputFiles();
        }
    };

    // 试题录入: a question filed under two sections.
    menu->Command_stlr_Click();
    ASSERT_FALSE(entered.isEmpty());
    const RowSet rows = Bank(state.BankPath).query("select * from 试题库 where 题目编号='" + entered + "'");
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.text(0, "试题识别码"), "张老师-" + entered);
    EXPECT_EQ(rows.text(1, "考查范围"), kSection2);

    // 查看修改: it is found with both its scopes.
    menu->Command_stckxg_Click();

    // 手动组卷: the first row gets the new question through the picker, one row per scope.
    onPicker = [&](Form_stszckxg& picker) {
        picker.Command_ss_Click();
        app.prompts.type(entered);
        picker.Command_dwdthsbm_Click();
        picker.Command_xdct_Click();
    };
    onComposition = [&](Form_sdzj& composition) {
        composition.show();
        composition.Form_Activate();
        composition.MSFlexGrid1_DblClick(1, 3);
        EXPECT_EQ(composition.table().cell(1, SpecTable::QuestionNumber), entered);
        EXPECT_EQ(composition.table().cell(2, SpecTable::QuestionNumber), entered);
        EXPECT_EQ(composition.table().cell(2, SpecTable::Scope), kSection2);
        EXPECT_TRUE(composition.TableModified);
        app.prompts.answer(Answer::Yes);  // leave without generating
        composition.close();
    };
    menu->Command_sdzj_Click();

    // 智能组卷: a plan of ten questions, loaded, sorted, kept as used, generated.
    QVector<QString> planned;
    onComposition = [&](Form_sdzj& composition) {
        EXPECT_EQ(composition.windowTitle(), "智能组卷");
        composition.show();
        composition.Form_Activate();
        const SpecTable& t = composition.table();
        ASSERT_EQ(t.dataRows(), 10);
        EXPECT_EQ(t.cell(1, SpecTable::Type), "单选题");  // sorted by type
        EXPECT_EQ(t.cell(10, SpecTable::Type), "解答题");
        for (int r : placedRows(t))
            planned << t.cell(r, SpecTable::QuestionNumber);
        child<QRadioButton>(&composition, "Option_bc")->setChecked(true);
        app.prompts.answer(Answer::Yes);
        composition.Command_scsj_Click();
        composition.TableModified = false;
        composition.close();
    };
    QMap<QString, int> usesBefore;
    {
        const RowSet all = Bank(state.BankPath).query("select * from 试题库");
        for (int r = 0; r < all.count(); ++r)
            usesBefore[all.text(r, "题目编号")] = all.value(r, "使用次数").toInt();
    }
    menu->Command_znzj_Click();
    ASSERT_EQ(planned.size(), 10) << app.prompts.messages().join(" / ").toStdString();
    ASSERT_EQ(generated.size(), 4) << app.prompts.lastMessage().toStdString();

    // The documents: ten numbered questions with their section headings, the
    // review paper's codes and notes, the workbook beside them.
    const auto word = test::office().startWord();
    const QString paper = word->open(generated[0])->text();
    EXPECT_TRUE(paper.contains("一、单选题（共有"));
    for (int n = 1; n <= 10; ++n)
        EXPECT_TRUE(paper.contains(QString("\r%1.").arg(n))) << n;
    const auto review = word->open(generated[2]);
    EXPECT_EQ(review->comments().size(), 10);
    EXPECT_TRUE(review->text().contains("参考答案："));
    const auto calc = test::office().startSpreadsheet();
    const auto book = calc->open(generated[3]);
    EXPECT_EQ(book->cellText("命卷双向细目表", 3, 2), planned.first());
    EXPECT_EQ(book->cellText("sheet2", 1, 1), "a");
    EXPECT_TRUE(app.desktop.openedUrls.contains(state.homePage()));

    // The use records of the placed questions rose by one.
    for (const QString& number : planned)
        EXPECT_EQ(usesOf(state.BankPath, number), usesBefore.value(number) + 1) << number.toStdString();

    menu->close();
}

TEST_F(RoadsTest, AfterTheExamTheResultsComeBackAndAFollowUpPaperIsPrinted) {
    test::TestApp app(demo_->path(), 20261208);
    RunState& state = app.state();
    Form_zjm menu(state);

    // A paper of twelve maths questions of the first volume, generated from 手动组卷.
    QStringList paperNumbers, followUp;
    int followUpCount = 0;
    std::function<void(Form_sdzj&)> onComposition;
    QStringList generated;
    state.modalHook = [&](QObject* screen) {
        if (auto* composition = qobject_cast<Form_sdzj*>(screen)) {
            onComposition(*composition);
        } else if (auto* generator = qobject_cast<Form_scsjjm*>(screen)) {
            generator->Form_Activate();
            generated = generator->outputFiles();
        } else if (auto* results = qobject_cast<Form_drcj*>(screen)) {
            // The marking system's sheet: a class of 40, the odd questions went badly.
            QStringList lines{"考号,姓名," + [&] {
                QStringList h;
                for (int q = 1; q <= paperNumbers.size(); ++q)
                    h << QString("第%1题(%2分)").arg(q).arg(q % 2 ? 4 : 2);
                return h.join(',');
            }()};
            for (int s = 0; s < 40; ++s) {
                QStringList row{QString::number(s), "学生"};
                for (int q = 1; q <= paperNumbers.size(); ++q)
                    row << QString::number(q % 2 ? (s % 8 == 0 ? 4 : 0) : (s % 4 ? 2 : 1));
                lines << row.join(',');
            }
            const QString sheet = app.folder.file("小题分.csv");
            QFile f(sheet);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write((lines.join('\n') + '\n').toUtf8());
            f.close();

            EXPECT_EQ(child<QComboBox>(results, "Combo_sj")->currentText(),
                      state.now().toString("yyyy-MM-dd HH:mm") + "  初中数学（12题）");
            app.prompts.type(sheet);
            child<QPushButton>(results, "Command_xzcjb")->click();
            ASSERT_EQ(results->check().students(), 40) << app.prompts.lastMessage().toStdString();
            EXPECT_EQ(results->results()[0].difficulty, "0.9");  // 12.5 % of the marks
            EXPECT_EQ(results->results()[1].difficulty, "0.1");  // 87.5 %

            app.prompts.answer(Answer::Yes);
            child<QPushButton>(results, "Command_gxnd")->click();
            EXPECT_TRUE(app.prompts.lastMessage().startsWith("已经按成绩更新了 12 道题的难度"))
                << app.prompts.lastMessage().toStdString();

            // The follow-up: up to five questions on the weakest points, printed.
            onComposition = [&](Form_sdzj& composition) {
                composition.show();
                composition.Form_Activate();
                for (int r : placedRows(composition.table()))
                    followUp << composition.table().cell(r, SpecTable::QuestionNumber);
                child<QRadioButton>(&composition, "Option_bbc")->setChecked(true);
                app.prompts.answer(Answer::Yes);
                composition.Command_scsj_Click();
                composition.close();
            };
            QStringList weakest;
            for (int i = 0; i < 3 && i < results->points().size(); ++i)
                weakest << results->points()[i].point;
            const int offered = int(
                remedialQuestions(Bank(state.BankPath).query(remedialQuery(weakest, paperNumbers)), weakest).size());
            ASSERT_GE(offered, 1);
            followUpCount = std::min(offered, 5);
            app.prompts.type(QString::number(followUpCount));
            child<QPushButton>(results, "Command_scbjlx")->click();
            child<QPushButton>(results, "Command_dcfx")->click();
        }
    };

    onComposition = [&](Form_sdzj& composition) {
        const RowSet rows =
            Bank(state.BankPath)
                .query("select * from 试题库 where 考查范围 like '1-初中数学\\1-人教版\\7-七年级\\1-上册%' "
                       "order by 题目编号");
        QSet<QString> numbers;
        int take = 0;
        while (take < rows.count() && (numbers.size() < 12 || numbers.contains(rows.text(take, "题目编号"))))
            numbers.insert(rows.text(take++, "题目编号"));
        composition.show();
        fillTableFromRows(composition.table(), rows, take);
        composition.showTable();
        for (int r : placedRows(composition.table()))
            paperNumbers << composition.table().cell(r, SpecTable::QuestionNumber);
        child<QRadioButton>(&composition, "Option_bbc")->setChecked(true);
        app.prompts.answer(Answer::Yes);
        composition.Command_scsj_Click();
        composition.TableModified = false;
        composition.close();
    };
    menu.Command_sdzj_Click();
    ASSERT_EQ(paperNumbers.size(), 12);
    ASSERT_EQ(generated.size(), 4) << app.prompts.lastMessage().toStdString();
    const QString paperFolder = QFileInfo(generated[0]).absolutePath();
    {
        Bank bank(state.BankPath);
        ASSERT_EQ(paperRecords(bank).size(), 1);
    }

    generated.clear();
    menu.Command_drcj_Click();
    ASSERT_EQ(followUp.size(), followUpCount) << app.prompts.messages().join(" / ").toStdString();
    for (const QString& number : followUp)
        EXPECT_FALSE(paperNumbers.contains(number)) << number.toStdString();
    ASSERT_EQ(generated.size(), 4) << app.prompts.lastMessage().toStdString();
    EXPECT_EQ(QDir(paperFolder).entryList({"成绩分析-*.xls"}).size(), 1);
    {
        Bank bank(state.BankPath);
        EXPECT_EQ(paperRecords(bank).size(), 2);  // the follow-up paper can be analysed in its turn
        EXPECT_GE(bank.query("select * from 难度历史").count(), 1);
    }
    const QString followUpPaper = test::office().startWord()->open(generated[0])->text();
    for (int n = 1; n <= followUpCount; ++n)
        EXPECT_TRUE(followUpPaper.contains(QString("\r%1.").arg(n))) << n;
}

TEST_F(RoadsTest, ASectionTravelsFromOneBankToAnother) {
    // The teacher with the demo bank exports one section, questions and catalogue.
    test::TestApp sender(demo_->path(), 20261208);
    const RowSet sectionRows = Bank(sender.bankPath()).query("select * from 试题库 where 考查范围='" + kSection1 + "'");
    const int exported = sectionRows.count();
    ASSERT_GT(exported, 0);
    QStringList codes;
    QHash<QString, QString> sourceOf;
    for (int r = 0; r < sectionRows.count(); ++r) {
        codes << sectionRows.text(r, "试题识别码");
        sourceOf.insert(sectionRows.text(r, "试题识别码"), sectionRows.text(r, "试题来源"));
    }
    {
        Form_tkfx screen(sender.state());
        tick(child<ScopeTreeWidget>(&screen, "TreeView_tkdc"), kSection1);
        child<QRadioButton>(&screen, "Option_stkandjcsz_tkdc")->setChecked(true);
        child<QPushButton>(&screen, "Command_dc")->click();
    }
    const QStringList told = sender.prompts.messages();
    ASSERT_EQ(told.size(), 3);  // questions, catalogue, and the one-file form
    EXPECT_EQ(told[0], "勾选范围内的<试题>，已全部导出！\r\r成功导出的<试题数>为： " + QString::number(exported) +
                           "\r\r导出位置为<桌面>，请注意查看！");
    EXPECT_TRUE(told[1].startsWith("勾选范围内的<教材设置>，已全部导出！"));
    const QStringList folders = QDir(sender.desktopFolder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 1);
    const QString exportBank =
        QDir(QDir(sender.desktopFolder.path()).filePath(folders[0])).filePath(folders[0] + ".mdb");
    ASSERT_TRUE(QFileInfo::exists(exportBank));

    // The other teacher, with a bank of her own, imports the folder she was given.
    test::TestApp receiver;
    AppFolder(receiver.dir()).prepare(test::office());
    receiver.state().CurrentUserName = "王老师";
    {
        Form_tkfx screen(receiver.state());
        receiver.prompts.type(exportBank);
        child<QPushButton>(&screen, "Command_dkwbtk")->click();
        tick(child<ScopeTreeWidget>(&screen, "TreeView_tkdr"), kSection1);
        child<QRadioButton>(&screen, "Option_stkandjcsz_tkdr")->setChecked(true);
        child<QPushButton>(&screen, "Command_dr")->click();
    }
    const QStringList imported = receiver.prompts.messages();
    ASSERT_EQ(imported.size(), 2) << imported.join(" / ").toStdString();
    EXPECT_EQ(imported[0],
              "勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： " + QString::number(exported));
    Bank bank(receiver.bankPath());
    const RowSet arrived = bank.query("select * from 试题库");
    ASSERT_EQ(arrived.count(), exported);
    for (int r = 0; r < arrived.count(); ++r) {
        const QString number = arrived.text(r, "题目编号");
        EXPECT_EQ(number, QString::number(r + 1).rightJustified(5, '0'));
        EXPECT_TRUE(codes.contains(arrived.text(r, "试题识别码")));
        EXPECT_TRUE(QFileInfo::exists(questionDocumentPath(receiver.bankPath(), number)));
        EXPECT_TRUE(QFileInfo::exists(answerDocumentPath(receiver.bankPath(), number)));
        // Its source comes along, so that her composition takes it.
        EXPECT_FALSE(arrived.text(r, "试题来源").isEmpty());
        EXPECT_EQ(arrived.text(r, "试题来源"), sourceOf.value(arrived.text(r, "试题识别码")));
    }
    EXPECT_GT(bank.query("select * from 教材设置").count(), 0);

    // She finds the first of them on her browse screen by its identification code.
    receiver.prompts.clear();
    Form_stckxg browse(receiver.state());
    browse.Form_Activate();
    receiver.prompts.type(codes.first());
    browse.Command_dwdthsbm_Click();
    EXPECT_EQ(test::child<QLabel>(&browse, "Label_dqtmsbm")->text(), codes.first());
    EXPECT_EQ(test::child<QLabel>(&browse, "Label_dqtmbh")->text(), "00001");
}

TEST_F(RoadsTest, APaperOfTwoSectionQuestionsReadsAsAChinesePaper) {
    test::TestApp app(demo_->path(), 20261208);
    RunState& state = app.state();
    Bank bank(state.BankPath);

    // Every row of the maths questions filed under two sections, and as many
    // questions of one section, in bank order; then the smart sort.
    const RowSet twice = bank.query(
        "select 题目编号 from 试题库 where 考查范围 like '1-初中数学%' group by 题目编号 having count(*) = 2");
    ASSERT_GE(twice.count(), 3);
    QStringList numbers;
    for (int r = 0; r < twice.count() && r < 6; ++r)
        numbers << twice.text(r, "题目编号");
    const RowSet once = bank.query(
        "select 题目编号 from 试题库 where 考查范围 like '1-初中数学%' group by 题目编号 having count(*) = 1");
    for (int r = 0; r < once.count() && r < 8; ++r)
        numbers << once.text(r, "题目编号");
    const RowSet rows = bank.query("select * from 试题库 where 题目编号 in ('" + numbers.join("','") +
                                   "') order by 难度, 题目编号 desc");
    SpecTable table;
    fillTableFromRows(table, rows, rows.count());
    smartSort(table);

    Form_scsjjm generator(state, table, false);
    generator.Form_Activate();
    ASSERT_TRUE(generator.succeeded()) << app.prompts.lastMessage().toStdString();
    const QStringList files = generator.outputFiles();

    // Each question once, in one place, under a heading that counts questions.
    const auto word = test::office().startWord();
    const auto paper = word->open(files[0]);
    const QString text = paper->text();
    for (const QString& number : numbers) {
        const QString opening =
            word->open(questionDocumentPath(state.BankPath, number))->text().section('\r', 0, 0).left(12);
        EXPECT_EQ(text.count(opening), 1) << number.toStdString() << " " << opening.toStdString();
    }
    QMap<QString, int> perType;
    for (const QString& number : numbers)
        ++perType[bank.query("select 题型 from 试题库 where 题目编号='" + number + "'").text(0, 0)];
    int headings = 0;
    static const QRegularExpression heading(QStringLiteral("^.、(.+)（共有(\\d+)道小题）$"));
    for (const Paragraph& p : paper->paragraphs()) {
        if (const auto m = heading.match(p.text); m.hasMatch()) {
            ++headings;
            EXPECT_EQ(m.captured(2).toInt(), perType.value(m.captured(1))) << p.text.toStdString();
        }
        // Headings and question numbers stand at the left.
        if (heading.match(p.text).hasMatch() || QRegularExpression("^\\d+\\.").match(p.text).hasMatch()) {
            EXPECT_EQ(p.alignment, ParagraphAlignment::Left) << p.text.toStdString();
        }
    }
    EXPECT_EQ(headings, perType.size());
    EXPECT_TRUE(text.contains(QString("\r%1.").arg(numbers.size())));
    EXPECT_FALSE(text.contains(QString("\r%1.").arg(numbers.size() + 1)));

    // Printed in the Chinese serif face.
    const QString pdf = app.folder.file("试卷.pdf");
    test::office().exportPdf(files[0], pdf);
    QProcess fonts;
    fonts.start("pdffonts", {pdf});
    ASSERT_TRUE(fonts.waitForFinished(30000));
    const QString listed = QString::fromUtf8(fonts.readAllStandardOutput());
    EXPECT_TRUE(listed.contains("NotoSerifCJK")) << listed.toStdString();
    EXPECT_FALSE(listed.contains("SansCJK")) << listed.toStdString();  // symbols may come from another face
    if (const QString keep = qEnvironmentVariable("ZS_SCREENSHOTS"); !keep.isEmpty()) {
        QFile::copy(pdf, QDir(keep).filePath("demo-paper.pdf"));
        test::office().exportPdf(files[2], QDir(keep).filePath("demo-review.pdf"));
        test::office().exportPdf(files[3], QDir(keep).filePath("demo-workbook.pdf"));
    }
}
