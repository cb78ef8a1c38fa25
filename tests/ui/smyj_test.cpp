// 扫描阅卷 through its screen: a class of 40 scanned in one PDF (a light mark,
// two marks on a 单选题, a page missing, one 考号 on two sheets), the batch
// stopped and gone on with, the doubtful marks confirmed by keystrokes, a key
// corrected, every written answer marked on screen by keystrokes, and the
// results screen giving each student's total and ranks as the test counts
// them, without a typed sheet.

#include "doubles/pencil.h"
#include "marking/marks.h"
#include "paper/paperrecord.h"
#include "results/classresults.h"
#include "results/roster.h"
#include "scan/scanstore.h"
#include "store/bank.h"
#include "support/testsupport.h"
#include "ui/results/Form_drcj.h"
#include "ui/results/Form_smyj.h"
#include "ui/results/Form_yj.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

namespace {

// 8 单选 (3 points), 2 多选 (4), 1 填空 (4), 3 解答 (10): 62 points on two pages.
struct ScannedClass {
    static constexpr int kStudents = 40;
    TestApp app;
    PaperRecord paper;
    CardLayout layout;
    QString pdf;

    ScannedClass() {
        QVector<CardSection> sections(3);
        sections[0].heading = "一、单选题";
        for (int n = 1; n <= 8; ++n)
            sections[0].questions << cardQuestionOf(n, "单选题", 30, QString("ABCD"[n % 4]));
        sections[1].heading = "二、多选题";
        sections[1].questions << cardQuestionOf(9, "多选题", 40, "AB") << cardQuestionOf(10, "多选题", 40, "ACD");
        sections[2].heading = "三、解答题";
        sections[2].questions << cardQuestionOf(11, "填空题", 40);
        for (int n = 12; n <= 14; ++n)
            sections[2].questions << cardQuestionOf(n, "解答题", 100);
        layout = layoutAnswerCard("CLASS40KEY", "期中考试", sections, PaperLayout::A4Portrait);

        paper.generated = QDateTime(QDate(2026, 3, 10), QTime(8, 0));
        paper.title = "数学（14题）";
        for (const CardQuestion& q : layout.questions)
            paper.questions << PaperQuestion{q.number,
                                             QString("%1").arg(q.number, 5, 10, QChar('0')),
                                             "张三-1",
                                             q.type,
                                             "0.5",
                                             "有理数",
                                             QString::number(*q.score / 10)};
        paper.cardLayout = layout.toJson();
        Bank bank(app.bankPath());
        savePaperRecord(bank, paper);
        QVector<Student> roster;
        for (int i = 1; i <= kStudents; ++i)
            roster << Student{i <= 20 ? "七(1)班" : "七(2)班", number(i), QString("学生%1").arg(i), {}, {}};
        saveStudents(bank, roster);
    }

    static QString number(int i) { return QString("2026%1").arg(i, 4, 10, QChar('0')); }

    // The class's sheets as one copier PDF.
    void scanClass() {
        const double dpi = 150;
        QVector<QImage> stack;
        for (int i = 1; i <= kStudents; ++i) {
            QHash<int, QString> answers;
            for (int n = 1; n <= 8; ++n)
                answers[n] = (i + n) % 3 ? layout.question(n)->key : QString("ABCD"[(n + 1) % 4]);
            answers[9] = i % 4 ? "AB" : "A";
            answers[10] = i % 5 ? "ACD" : "AB";
            if (i == 7)
                answers[3] = "AB";  // two marks on a 单选题
            // Sheet 22 carries the 考号 of sheet 21 by mistake.
            QVector<QImage> sheet = filledSheet(layout, number(i == 22 ? 21 : i), answers, dpi, quint32(i));
            if (i == 12) {
                // A light, small mark on question 4.
                const auto bubble = layout.bubblesOf(CardBubble::Role::Option, 4);
                QImage& page = sheet[0];
                page = renderAnswerCardPage(layout, 0, dpi);
                markExamNumber(page, layout, number(12), dpi, 12);
                for (auto it = answers.cbegin(); it != answers.cend(); ++it)
                    if (it.key() != 4 && it.key() <= 10)
                        markAnswer(page, layout, it.key(), it.value(), dpi, {}, 120 + quint32(it.key()));
                PencilMark light;
                light.coverage = 0.3;
                markAnswer(page, layout, 4, answers[4], dpi, light, 99);
            }
            if (i == 20)
                sheet.removeLast();  // page 2 not handed in
            for (QImage& page : sheet) {
                ScanLook look;
                look.angleDegrees = (i % 7 - 3) * 0.6;
                look.noise = 3;
                page = scanOf(page, dpi, look, quint32(i));
            }
            stack << sheet;
        }
        pdf = app.folder.file("扫描0001.pdf");
        writeScanPdf(stack, dpi, pdf);
    }
};

int rowOf(QListWidget* list, const QString& part) {
    for (int r = 0; r < list->count(); ++r)
        if (list->item(r)->text().contains(part))
            return r;
    return -1;
}

void confirm(Form_smyj& screen, const QString& part, const QString& typed) {
    auto* list = child<QListWidget>(&screen, "List_dq");
    const int row = rowOf(list, part);
    ASSERT_GE(row, 0) << part.toStdString();
    list->setCurrentRow(row);
    auto* field = child<QLineEdit>(&screen, "Text_dd");
    field->clear();
    QTest::keyClicks(field, typed);
    QTest::keyClick(field, Qt::Key_Return);
}

}  // namespace

TEST(ScanScreen, AClassIsScannedConfirmedAndMarkedWithoutTypingASheet) {
    ScannedClass c;
    c.scanClass();
    Form_smyj screen(c.app.state(), c.paper);
    auto* summary = child<QLabel>(&screen, "Label_tj");
    EXPECT_EQ(summary->text(), "已读 0 页：0 名学生；没有待确认的地方。");

    // The teacher stops the batch after its first page ...
    QTimer::singleShot(0, child<QPushButton>(&screen, "Command_tz"), &QPushButton::click);
    c.app.prompts.type(c.pdf);
    child<QPushButton>(&screen, "Command_wj")->click();
    EXPECT_TRUE(child<QLabel>(&screen, "Label_jd")->text().startsWith("已停止：读了 1 页"))
        << child<QLabel>(&screen, "Label_jd")->text().toStdString();
    // ... and goes on with the same file.
    c.app.prompts.type(c.pdf);
    child<QPushButton>(&screen, "Command_wj")->click();
    EXPECT_EQ(child<QLabel>(&screen, "Label_jd")->text(), "读完：新读 78 页，1 页以前读过");
    // The two sheets of one 考号 wait for the teacher.
    EXPECT_EQ(summary->text(), "已读 79 页：38 名学生；待确认 5 处。") << summary->text().toStdString();

    auto* list = child<QListWidget>(&screen, "List_dq");
    QStringList items;
    for (int r = 0; r < list->count(); ++r)
        items << list->item(r)->text();
    EXPECT_GE(rowOf(list, "20260007  第3题：涂了不止一个选项"), 0) << items.join('\n').toStdString();
    EXPECT_GE(rowOf(list, "20260012  第4题：选项涂得不清楚"), 0) << items.join('\n').toStdString();
    EXPECT_GE(rowOf(list, "考号 20260020 缺少答题卡第2页"), 0);
    EXPECT_EQ(items.filter("考号 20260021 出现在两张不同的答题卡上").size(), 2);
    // The piece of the scan the item is about is shown.
    list->setCurrentRow(rowOf(list, "第3题"));
    EXPECT_FALSE(child<QLabel>(&screen, "Image_dq")->pixmap().isNull());
    EXPECT_EQ(child<QLineEdit>(&screen, "Text_dd")->text(), "AB");

    // Confirmed by keystrokes; a wrong entry is refused.
    confirm(screen, "第3题", "ABC");
    EXPECT_EQ(c.app.prompts.lastMessage(), "单选题请填写一个选项（ABCD 之一），没有作答时留空。");
    confirm(screen, "第3题", "d");
    confirm(screen, "第4题", "");  // the light mark is no answer
    confirm(screen, "出现在两张", "20260022");
    EXPECT_EQ(summary->text(), "已读 79 页：40 名学生；待确认 1 处。") << summary->text().toStdString();

    Bank bank(c.app.bankPath());
    const auto score = [&](int student, int q) {
        return questionMarks(bank, c.paper.id, q).value(ScannedClass::number(student)).score;
    };
    EXPECT_EQ(score(7, 3), 3);  // confirmed D, the key of question 3
    EXPECT_FALSE(questionMarks(bank, c.paper.id, 4).value(ScannedClass::number(12)).score);
    EXPECT_EQ(score(4, 9), 2);   // A of AB: half
    EXPECT_EQ(score(5, 10), 0);  // AB against ACD: a wrong option
    EXPECT_EQ(score(1, 10), 4);

    // The key of question 1 was wrong: corrected on the keys' page, every sheet marked again.
    auto* keys = child<QTableWidget>(&screen, "Table_da");
    ASSERT_EQ(keys->rowCount(), 10);
    EXPECT_EQ(keys->item(0, 3)->text(), "B");
    const double before = score(2, 1);
    keys->item(0, 3)->setText("e");
    EXPECT_EQ(c.app.prompts.lastMessage(), "单选题的答案请填写一个选项（ABCD 之一）。");
    EXPECT_EQ(keys->item(0, 3)->text(), "B");
    keys->item(0, 3)->setText("c");
    EXPECT_EQ(keys->item(0, 3)->text(), "C");
    EXPECT_NE(score(2, 1), before);
    EXPECT_EQ(CardLayout::fromJson(paperCardLayout(bank, c.paper.id)).question(1)->key, "C");

    // The written answers, marked on screen from the scans by keystrokes:
    // every answer of every written question.
    const auto written = [](const QString& examNumber, int q) {
        return double((examNumber.right(2).toInt() + q) % (q == 11 ? 5 : 11));
    };
    int typed = 0;
    c.app.state().modalHook = [&](QObject* d) {
        auto* yj = qobject_cast<Form_yj*>(d);
        ASSERT_TRUE(yj);
        auto* questions = child<QListWidget>(yj, "List_tm");
        ASSERT_EQ(questions->count(), 4);
        auto* field = child<QLineEdit>(yj, "Text_df");
        for (int row = 0; row < questions->count(); ++row) {
            questions->setCurrentRow(row);
            const int q = yj->question();
            // 20260020's second page is missing: its answers there wait.
            const int expected = c.layout.areaOf(q)->page == 0 ? ScannedClass::kStudents : ScannedClass::kStudents - 1;
            ASSERT_EQ(yj->queue()->size(), expected) << q;
            for (int i = 0; i < expected; ++i) {
                field->clear();
                QTest::keyClicks(field, QString::number(written(yj->queue()->current(), q)));
                QTest::keyClick(field, Qt::Key_Return);
                ++typed;
            }
            EXPECT_EQ(yj->queue()->marked(), expected);
        }
    };
    child<QPushButton>(&screen, "Command_yj")->click();
    c.app.state().modalHook = nullptr;
    EXPECT_GE(typed, 4 * (ScannedClass::kStudents - 1));

    // The results screen: every student's total and ranks as the test counts them.
    QHash<QString, double> totals;
    for (int i = 1; i <= ScannedClass::kStudents; ++i) {
        const QString student = ScannedClass::number(i);
        double total = 0;
        for (const CardQuestion& q : c.layout.questions) {
            if (isObjective(q.kind)) {
                total += score(i, q.number);  // checked above against the key
                continue;
            }
            if (i != 20 || c.layout.areaOf(q.number)->page == 0)
                total += written(student, q.number);
        }
        totals[student] = total;
    }
    Form_drcj results(c.app.state());
    child<QPushButton>(&results, "Command_yjcj")->click();
    const ClassResults& back = results.handBack();
    ASSERT_FALSE(back.students.isEmpty()) << c.app.prompts.lastMessage().toStdString();
    int counted = 0;
    for (const StudentResult& s : back.students) {
        if (s.examNumber == ScannedClass::number(20) || s.examNumber == ScannedClass::number(12))
            continue;  // a page missing, a question left open: named, not counted
        ++counted;
        EXPECT_DOUBLE_EQ(s.total, totals.value(s.examNumber)) << s.examNumber.toStdString();
        int better = 0;
        for (const StudentResult& o : back.students)
            better += o.className == s.className && o.total > s.total;
        EXPECT_EQ(s.classRank, better + 1) << s.examNumber.toStdString();
        EXPECT_EQ(s.name, "学生" + QString::number(s.examNumber.right(4).toInt()));
    }
    EXPECT_GE(counted, ScannedClass::kStudents - 2);
}

TEST(ScanScreen, APaperWithoutAMachineSheetSaysHowToGetOne) {
    TestApp app;
    PaperRecord paper;
    paper.title = "数学（3题）";
    {
        Bank bank(app.bankPath());
        savePaperRecord(bank, paper);
    }
    Form_smyj screen(app.state(), paper);
    EXPECT_TRUE(child<QLabel>(&screen, "Label_tj")->text().startsWith("这份试卷生成时没有机读答题卡"));
    EXPECT_FALSE(child<QPushButton>(&screen, "Command_wj")->isEnabled());
}

TEST(ScanScreen, FilesThatAreNoScansAreNamed) {
    ScannedClass c;
    Form_smyj screen(c.app.state(), c.paper);
    QFile broken(c.app.folder.file("坏的.pdf"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a pdf");
    broken.close();
    c.app.prompts.type(c.app.folder.file("坏的.pdf"));
    child<QPushButton>(&screen, "Command_wj")->click();
    EXPECT_EQ(c.app.prompts.lastMessage(),
              "有些文件无法读取：\r\r无法打开PDF文件（文件已损坏、加了密码或没有页面）：坏的.pdf");
    EXPECT_EQ(child<QLabel>(&screen, "Label_tj")->text(), "已读 0 页：0 名学生；没有待确认的地方。");
    // An empty folder.
    c.app.prompts.type(c.app.desktopFolder.path());
    child<QPushButton>(&screen, "Command_wjj")->click();
    EXPECT_TRUE(c.app.prompts.lastMessage().startsWith("这个文件夹里没有扫描的答题卡"));
}
