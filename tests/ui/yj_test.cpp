// 阅卷: written answers marked on screen by keystrokes, every score stored
// the moment it is given.

#include "marking/answersource.h"
#include "marking/marks.h"
#include "paper/paperrecord.h"
#include "results/roster.h"
#include "store/bank.h"
#include "support/testsupport.h"
#include "ui/results/Form_yj.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

using namespace zs;

namespace {

// Answers drawn as a student's handwriting would be cut from a sheet: a
// picture naming the student and the question.
class DrawnAnswers : public AnswerSource {
public:
    QVector<int> questions() override { return {2, 3}; }
    QStringList students(int) override { return {"20260003", "20260001", "20260002"}; }
    QImage answer(const QString& examNumber, int question) override {
        ++drawn;
        if (examNumber == broken)
            return {};
        QImage image(600, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.drawText(20, 100, QStringLiteral("%1 第%2题").arg(examNumber).arg(question));
        return image;
    }
    int drawn = 0;
    QString broken;
};

PaperRecord paper() {
    PaperRecord p;
    p.id = 4;
    p.title = "期中考试";
    p.questions = {{1, "", "", "单选题", "0.5", "", "3"},
                   {2, "", "", "填空题", "0.5", "", "4"},
                   {3, "", "", "解答题", "0.5", "", ""}};  // no score written
    return p;
}

void typeScore(QLineEdit* field, const QString& text) {
    field->clear();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

}  // namespace

TEST(MarkingScreen, AQuestionIsMarkedByKeystrokesAndEveryScoreIsKept) {
    test::TestApp app;
    {
        Bank bank(app.bankPath());
        saveStudents(bank, {{"七(1)班", "20260001", "王小明", "", ""}});
    }
    auto source = std::make_shared<DrawnAnswers>();
    auto screen = std::make_unique<Form_yj>(app.state(), paper(), source);
    auto* field = test::child<QLineEdit>(screen.get(), "Text_df");
    auto* who = test::child<QLabel>(screen.get(), "Label_xs");
    EXPECT_EQ(test::child<QListWidget>(screen.get(), "List_tm")->count(), 2);
    ASSERT_EQ(screen->question(), 2);
    ASSERT_EQ(screen->queue()->size(), 3);
    EXPECT_TRUE(who->text().startsWith("第 1 / 3 份"));
    EXPECT_FALSE(who->text().contains("2026"));  // anonymous

    const QString first = screen->queue()->current();
    typeScore(field, "3.5");
    EXPECT_EQ(screen->queue()->marked(), 1);
    EXPECT_NE(screen->queue()->current(), first);
    typeScore(field, "5");  // above the full mark: refused, nothing stored
    EXPECT_EQ(test::child<QLabel>(screen.get(), "Label_ts")->text(), "分数要在 0 到 4 分之间。");
    EXPECT_EQ(screen->queue()->marked(), 1);
    QTest::keyClick(field, Qt::Key_F);  // full marks
    QTest::keyClick(field, Qt::Key_P);  // set aside
    EXPECT_EQ(screen->queue()->marked(), 2);
    EXPECT_EQ(screen->queue()->problems(), 1);
    // The problem comes back; zero this time.
    QTest::keyClick(field, Qt::Key_Z);
    EXPECT_EQ(screen->queue()->marked(), 3);
    EXPECT_EQ(test::child<QLabel>(screen.get(), "Label_ts")->text(), "这道题已经全部阅完。");
    // Back to an earlier answer: its score is shown and can be changed.
    QTest::keyClick(field, Qt::Key_PageUp);
    EXPECT_FALSE(field->text().isEmpty());
    EXPECT_TRUE(who->text().contains("已给"));

    {
        // Every score is in the bank already, before the screen closes (a
        // killed program loses nothing).
        Bank bank(app.bankPath());
        const QHash<QString, Mark> marks = questionMarks(bank, 4, 2);
        ASSERT_EQ(marks.size(), 3);
        EXPECT_DOUBLE_EQ(marks[first].score, 3.5);
        double total = 0;
        for (const Mark& m : marks) {
            total += m.score;
            EXPECT_FALSE(m.problem);
        }
        EXPECT_DOUBLE_EQ(total, 7.5);
    }

    // Question 3 has no score on the paper: the teacher says it once.
    app.prompts.type("10");
    test::child<QListWidget>(screen.get(), "List_tm")->setCurrentRow(1);
    EXPECT_EQ(screen->question(), 3);
    typeScore(field, "7.5");
    screen.reset();

    // A second screen (the next day, or after a kill) starts where marking
    // stopped and knows the full mark.
    source->broken = "20260002";
    Form_yj again(app.state(), paper(), source);
    test::child<QListWidget>(&again, "List_tm")->setCurrentRow(1);
    EXPECT_EQ(again.question(), 3);
    EXPECT_EQ(again.queue()->marked(), 1);
    EXPECT_TRUE(again.queue()->needsMark(again.queue()->current()));
    // Names appear when the teacher asks; a picture that cannot be read says so.
    test::child<QCheckBox>(&again, "Check_nm")->setChecked(false);
    auto* again_field = test::child<QLineEdit>(&again, "Text_df");
    while (again.queue()->position() > 0)
        QTest::keyClick(again_field, Qt::Key_PageUp);
    QStringList seen;
    for (int i = 0; i < again.queue()->size(); ++i) {
        const QString student = again.queue()->current();
        seen << student;
        const QString label = test::child<QLabel>(&again, "Label_xs")->text();
        EXPECT_TRUE(label.contains(student)) << label.toStdString();
        if (student == "20260001") {
            EXPECT_TRUE(label.contains("王小明"));
        }
        if (student == "20260002") {
            EXPECT_EQ(test::child<QLabel>(&again, "Image_da")->text(), "这份答卷的图片读不出来。");
        }
        QTest::keyClick(again_field, Qt::Key_PageDown);
    }
    seen.sort();
    EXPECT_EQ(seen, QStringList({"20260001", "20260002", "20260003"}));
}
