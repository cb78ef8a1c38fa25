// A class's scanned sheets through the store: pages read from a copier's PDF
// and TIFF, gathered into students (later pages with their first, a sheet
// scanned twice counted once, one 考号 on two sheets, a page missing, pages of
// no sheet), confirmed by the teacher, marked against the key; a batch read
// again or resumed adds nothing twice.

#include "doubles/pencil.h"
#include "marking/marks.h"
#include "paper/paperrecord.h"
#include "results/roster.h"
#include "scan/scanstore.h"
#include "store/bank.h"
#include "support/pgcluster.h"
#include "support/testsupport.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

namespace {

// 4 单选 (3 points), 2 多选 (4 points), 2 判断 (2 points), 1 填空, 3 解答: two A4 pages.
CardLayout paperLayout() {
    QVector<CardSection> s(4);
    s[0].heading = "一、单选题";
    s[0].questions << cardQuestionOf(1, "单选题", 30, "A") << cardQuestionOf(2, "单选题", 30, "B")
                   << cardQuestionOf(3, "单选题", 30, "C") << cardQuestionOf(4, "单选题", 30, "D");
    s[1].heading = "二、多选题";
    s[1].questions << cardQuestionOf(5, "多选题", 40, "AC") << cardQuestionOf(6, "多选题", 40, "BCD");
    s[2].heading = "三、判断题";
    s[2].questions << cardQuestionOf(7, "判断题", 20, "T") << cardQuestionOf(8, "判断题", 20, "F");
    s[3].heading = "四、解答题";
    s[3].questions << cardQuestionOf(9, "填空题", 40);
    for (int n = 10; n <= 12; ++n)
        s[3].questions << cardQuestionOf(n, "解答题", 100);
    return layoutAnswerCard("CLASSKEY77", "期中考试", s, PaperLayout::A4Portrait, 8);
}

QHash<int, QString> rightAnswers() {
    return {{1, "A"}, {2, "B"}, {3, "C"}, {4, "D"}, {5, "AC"}, {6, "BCD"}, {7, "T"}, {8, "F"}};
}

struct Fixture {
    TempFolder folder;
    QString bankPath = folder.file("试题库.mdb");
    QString scans = folder.file("扫描答卷");
    CardLayout layout = paperLayout();
    Fixture() { Bank::create(bankPath); }

    void readAll(Bank& bank, const QStringList& files, const QDateTime& when, int limit = -1) {
        QStringList problems;
        int read = 0;
        for (const ScanSource& s : scanPages(files, problems)) {
            if (limit >= 0 && read >= limit)
                return;
            if (pageStored(bank, 1, scanPageKey(s)))
                continue;
            readAndStorePage(bank, 1, layout, s, scans, when);
            ++read;
        }
    }
};

QStringList whys(const ScanResults& r) {
    QStringList out;
    for (const ReviewItem& i : r.review)
        out << i.why;
    return out;
}

}  // namespace

TEST(ScanStore, AClassScannedGathersIntoStudentsWithWhatNeedsAnEye) {
    Fixture f;
    ASSERT_EQ(f.layout.pages, 2);
    const double dpi = 150;
    QVector<QImage> stack;
    // Students 1 and 2 right; student 3 fills two options on question 2.
    stack << filledSheet(f.layout, "20250001", rightAnswers(), dpi, 1);
    QHash<int, QString> second = rightAnswers();
    second[5] = "A";   // a correct part of a 多选题
    second[6] = "AB";  // a wrong option
    second[7] = "F";
    stack << filledSheet(f.layout, "20250002", second, dpi, 2);
    QHash<int, QString> third = rightAnswers();
    third[2] = "AB";
    stack << filledSheet(f.layout, "20250003", third, dpi, 3);
    // Student 4 hands in the first page only.
    stack << filledSheet(f.layout, "20250004", rightAnswers(), dpi, 4).first();
    // Two sheets carry 考号 20250005.
    stack << filledSheet(f.layout, "20250005", rightAnswers(), dpi, 5);
    QHash<int, QString> other = rightAnswers();
    other[1] = "C";
    stack << filledSheet(f.layout, "20250005", other, dpi, 6);
    // A blank page and a sheet of another paper.
    QImage blank(stack.first().size(), QImage::Format_Grayscale8);
    blank.fill(255);
    stack << blank;
    const CardLayout foreign = layoutAnswerCard("FOREIGN222", "别的考试", {}, PaperLayout::A4Portrait);
    stack << renderAnswerCardPage(foreign, 0, dpi);
    // The copier turns every page a little.
    for (int i = 0; i < stack.size(); ++i) {
        ScanLook look;
        look.angleDegrees = (i % 5 - 2) * 0.8;
        look.noise = 4;
        stack[i] = scanOf(stack[i], dpi, look, quint32(i));
    }
    const QString pdf = f.folder.file("扫描0001.pdf");
    writeScanPdf(stack, dpi, pdf);

    Bank bank(f.bankPath);
    ensureScanTables(bank);
    const QDateTime when(QDate(2026, 3, 20), QTime(9, 0));
    // Stopped after five pages (the program was closed), then again from the start.
    f.readAll(bank, {pdf}, when, 5);
    EXPECT_EQ(scannedPages(bank, 1).size(), 5);
    f.readAll(bank, {pdf}, when);
    EXPECT_EQ(scannedPages(bank, 1).size(), stack.size());
    f.readAll(bank, {pdf}, when);  // once more: nothing new
    EXPECT_EQ(scannedPages(bank, 1).size(), stack.size());

    QVector<Student> roster;
    for (int i = 1; i <= 5; ++i)
        roster << Student{"七(1)班", QString("2025000%1").arg(i), QString("学生%1").arg(i), {}, {}};
    ScanResults r = gatherScans(scannedPages(bank, 1), f.layout, roster);
    EXPECT_EQ(r.pages, stack.size());
    EXPECT_EQ(r.unread, 2);
    QStringList numbers;
    for (const ScannedStudent& s : r.students)
        numbers << s.examNumber;
    EXPECT_EQ(numbers, QStringList({"20250001", "20250002", "20250003", "20250004"}));
    const QStringList told = whys(r);
    EXPECT_EQ(told.filter("找不到答题卡的二维码").size(), 1) << told.join('\n').toStdString();
    EXPECT_EQ(told.filter("这张答题卡不属于所选的试卷（卡号 FOREIGN222）").size(), 1);
    EXPECT_EQ(told.filter("涂了不止一个选项").size(), 1);
    EXPECT_EQ(told.filter("考号 20250004 缺少答题卡第2页").size(), 1);
    EXPECT_EQ(told.filter("考号 20250005 出现在两张不同的答题卡上").size(), 2);
    EXPECT_EQ(r.review.size(), 6) << told.join('\n').toStdString();
    // The written answers' places are on the second page.
    EXPECT_FALSE(r.students[0].pageOfQuestion.value(12).isEmpty());
    EXPECT_NE(r.students[0].pageOfQuestion.value(12), r.students[0].pageOfQuestion.value(1));

    // The teacher reads question 2 of student 3 as A; a 考号 corrected to one
    // of no form is refused.
    const auto item = std::find_if(r.review.cbegin(), r.review.cend(),
                                   [](const ReviewItem& i) { return i.kind == ReviewItem::Kind::Question; });
    ASSERT_NE(item, r.review.cend());
    EXPECT_EQ(item->examNumber, "20250003");
    EXPECT_EQ(confirmReview(bank, 1, f.layout, *item, "AB"), "单选题请填写一个选项（ABCD 之一），没有作答时留空。");
    EXPECT_EQ(confirmReview(bank, 1, f.layout, *item, "a"), "");
    const auto twice = std::find_if(r.review.cbegin(), r.review.cend(),
                                    [](const ReviewItem& i) { return i.kind == ReviewItem::Kind::ExamNumber; });
    ASSERT_NE(twice, r.review.cend());
    EXPECT_EQ(confirmReview(bank, 1, f.layout, *twice, "123"), "考号要填写8位数字。");
    EXPECT_EQ(confirmReview(bank, 1, f.layout, *twice, "20250006"), "");
    r = gatherScans(scannedPages(bank, 1), f.layout, {});
    EXPECT_EQ(r.students.size(), 6);
    EXPECT_EQ(whys(r).filter("出现在两张").size(), 0);

    // Marked against the key: all or nothing, a correct part of a 多选题 half.
    const QVector<int> noKey = markObjectiveQuestions(bank, 1, f.layout, r, ObjectiveRule{}, when);
    EXPECT_TRUE(noKey.isEmpty());
    const auto score = [&](const QString& student, int q) { return questionMarks(bank, 1, q).value(student).score; };
    EXPECT_EQ(score("20250001", 1), 3);
    EXPECT_EQ(score("20250001", 6), 4);
    EXPECT_EQ(score("20250002", 5), 2);  // A of AC
    EXPECT_EQ(score("20250002", 6), 0);  // A is wrong
    EXPECT_EQ(score("20250002", 7), 0);
    EXPECT_EQ(score("20250003", 2), 0);                 // confirmed as A, the key is B
    EXPECT_TRUE(questionMarks(bank, 1, 12).isEmpty());  // written answers wait for the teacher
    EXPECT_EQ(questionMarks(bank, 1, 1).value("20250001").marker, kScanMarker);
    const int marks = int(paperMarks(bank, 1).size());
    EXPECT_EQ(marks, 6 * 8);

    // The first sheet scanned again (another scan of the same paper) changes nothing.
    const QString again = f.folder.file("补扫.tif");
    writeScanTiff(filledSheet(f.layout, "20250001", rightAnswers(), 200, 1), again);
    f.readAll(bank, {again}, when.addSecs(600));
    r = gatherScans(scannedPages(bank, 1), f.layout, {});
    EXPECT_EQ(r.repeated, 2);
    EXPECT_EQ(r.students.size(), 6);
    markObjectiveQuestions(bank, 1, f.layout, r, ObjectiveRule{}, when);
    EXPECT_EQ(paperMarks(bank, 1).size(), marks);
}

TEST(ScanStore, TheKeyDecidesAndAQuestionWithoutKeyWaits) {
    CardQuestion multi = cardQuestionOf(5, "多选题", 50, "ACD");
    const ObjectiveRule half;
    EXPECT_EQ(objectiveScore(multi, "ACD", 5, half), 5);
    EXPECT_EQ(objectiveScore(multi, "AC", 5, half), 2.5);
    EXPECT_EQ(objectiveScore(multi, "AB", 5, half), 0);
    EXPECT_EQ(objectiveScore(multi, "", 5, half), 0);
    EXPECT_EQ(objectiveScore(multi, "C", 3, half), 1.5);
    ObjectiveRule none;
    none.partialShare = 0;
    EXPECT_EQ(objectiveScore(multi, "AC", 5, none), 0);
    CardQuestion single = cardQuestionOf(1, "单选题", 30, "B");
    EXPECT_EQ(objectiveScore(single, "B", 3, half), 3);
    EXPECT_EQ(objectiveScore(single, "C", 3, half), 0);
    EXPECT_EQ(cardFullMark(single), 3);
    single.score.reset();
    EXPECT_EQ(cardFullMark(single), 1);
    single.key.clear();
    EXPECT_EQ(objectiveScore(single, "B", 3, half), 0);

    Fixture f;
    f.layout.questions[1].key.clear();
    Bank bank(f.bankPath);
    ensureScanTables(bank);
    ScanResults r;
    ScannedStudent s;
    s.examNumber = "20250009";
    QuestionReading q1;
    q1.question = 1;
    q1.answer = "A";
    QuestionReading q2 = q1;
    q2.question = 2;
    s.answers = {{1, q1}, {2, q2}};
    r.students << s;
    EXPECT_EQ(markObjectiveQuestions(bank, 1, f.layout, r, half, {}), QVector<int>{2});
    EXPECT_EQ(paperMarks(bank, 1).size(), 1);
    // Absent after all: the scan's scores go.
    r.students[0].absent = true;
    markObjectiveQuestions(bank, 1, f.layout, r, half, {});
    EXPECT_TRUE(paperMarks(bank, 1).isEmpty());
}

TEST(ScanFiles, WhatCannotBeReadIsNamed) {
    TempFolder folder;
    QFile broken(folder.file("坏的.pdf"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("%PDF-1.4 this is no pdf");
    broken.close();
    QFile text(folder.file("名单.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.close();
    QImage picture(100, 100, QImage::Format_Grayscale8);
    picture.fill(255);
    picture.save(folder.file("第2张.png"));
    picture.save(folder.file("第10张.png"));
    EXPECT_EQ(scanFilesIn(folder.path()).join('|').toStdString(),
              // Chinese names by their pinyin, numbers by their value.
              QStringList({folder.file("第2张.png"), folder.file("第10张.png"), folder.file("坏的.pdf")})
                  .join('|')
                  .toStdString());
    QStringList problems;
    const QVector<ScanSource> pages =
        scanPages({folder.file("坏的.pdf"), folder.file("名单.txt"), folder.file("第2张.png")}, problems);
    EXPECT_EQ(pages.size(), 1);
    EXPECT_EQ(problems, QStringList({"无法打开PDF文件（文件已损坏、加了密码或没有页面）：坏的.pdf",
                                     "不是扫描的答题卡（只能读PDF、TIFF、JPEG、PNG文件）：名单.txt"}));
    // The same file's page is the same page wherever it lies.
    QFile::copy(folder.file("第2张.png"), folder.file("副本.png"));
    EXPECT_EQ(scanPageKey({folder.file("第2张.png"), 0, 1}), scanPageKey({folder.file("副本.png"), 0, 1}));
    EXPECT_NE(scanPageKey({folder.file("第2张.png"), 0, 1}), scanPageKey({folder.file("第2张.png"), 1, 2}));
}

// The same on a school bank: pages kept and read again, the sheet's layout
// found by its key, the objective marks stored, a page removed.
class ScanBanks : public test::BothStores {};
ZS_BOTH_STORES(ScanBanks);

TEST_P(ScanBanks, PagesMarksAndTheLayoutOnEitherStore) {
    ZS_MAKE_BANK();
    const CardLayout layout = paperLayout();
    Bank bank(location);
    PaperRecord paper;
    paper.title = "数学（12题）";
    paper.cardLayout = layout.toJson();
    savePaperRecord(bank, paper);
    EXPECT_EQ(paperOfCard(bank, layout.key), paper.id);
    EXPECT_EQ(paperOfCard(bank, "NOSUCHKEY"), 0);
    EXPECT_EQ(CardLayout::fromJson(paperCardLayout(bank, paper.id)).toJson(), layout.toJson());

    const QString pdf = folder.file("扫描.pdf");
    QVector<QImage> pages = filledSheet(layout, "20250001", rightAnswers(), 150, 1);
    pages << filledSheet(layout, "20250002", rightAnswers(), 150, 2);
    writeScanPdf(pages, 150, pdf);
    ensureScanTables(bank);
    QStringList problems;
    const QDateTime when(QDate(2026, 3, 20), QTime(9, 0));
    for (const ScanSource& s : scanPages({pdf}, problems))
        readAndStorePage(bank, paper.id, layout, s, folder.file("扫描答卷"), when);
    // Read again: replaced, not added.
    readAndStorePage(bank, paper.id, layout, {pdf, 0, 4}, folder.file("扫描答卷"), when.addSecs(60));
    const QVector<ScannedPage> stored = scannedPages(bank, paper.id);
    ASSERT_EQ(stored.size(), 4);
    EXPECT_TRUE(pageStored(bank, paper.id, stored[0].key));
    EXPECT_EQ(stored[0].when, when.addSecs(60));
    EXPECT_FALSE(scannedPicture(folder.file("扫描答卷"), paper.id, stored[0]).isNull());

    const ScanResults r = gatherScans(stored, layout, {});
    ASSERT_EQ(r.students.size(), 2);
    EXPECT_TRUE(r.review.isEmpty());
    markObjectiveQuestions(bank, paper.id, layout, r, ObjectiveRule::load(bank), when);
    EXPECT_EQ(paperMarks(bank, paper.id).size(), 16);

    removeScannedPage(bank, paper.id, stored[0].key);
    EXPECT_EQ(scannedPages(bank, paper.id).size(), 3);
    ObjectiveRule rule;
    rule.partialShare = 0.25;
    rule.save(bank);
    EXPECT_EQ(ObjectiveRule::load(bank).partialShare, 0.25);
}
