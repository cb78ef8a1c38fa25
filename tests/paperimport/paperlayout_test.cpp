// Splitting papers into questions and answers, on blocks as the office reads
// them.

#include "paperimport/paperlayout.h"
#include "store/bank.h"

#include <gtest/gtest.h>

using namespace zs;

namespace {

DocumentBlock para(const QString& text) {
    DocumentBlock b;
    b.text = text;
    return b;
}

DocumentBlock picture() {
    DocumentBlock b;
    b.text = " ";
    b.pictures = 1;
    return b;
}

DocumentBlock table(const QString& text) {
    DocumentBlock b;
    b.text = text;
    b.table = true;
    return b;
}

QList<DocumentBlock> paras(const QStringList& texts) {
    QList<DocumentBlock> out;
    for (const QString& t : texts)
        out << para(t);
    return out;
}

const QStringList& types() {
    return Bank::defaultTypes();
}

QString questionText(const QList<DocumentBlock>& paper, const DetectedQuestion& q) {
    return passageText(paper, q.question.range);
}

}  // namespace

TEST(NumberedStart, AcceptsTheUsualNumberMarksAndRefusesDecimalsAndSubQuestions) {
    struct Case {
        QString text;
        int number;
        int length;
    };
    for (const Case& c : {Case{"1.计算", 1, 2}, Case{"12．下列", 12, 3}, Case{"3、填空", 3, 2}, Case{"4)选择", 4, 2},
                          Case{"5）选择", 5, 2}, Case{"  6. 题干", 6, 5}, Case{"７．全角", 7, 2},
                          Case{"8 . 空格", 8, 4}, Case{"9.A", 9, 2}, Case{"3．4", 3, 2}}) {
        const auto s = numberedStart(c.text);
        ASSERT_TRUE(s.has_value()) << c.text.toStdString();
        EXPECT_EQ(s->number, c.number) << c.text.toStdString();
        EXPECT_EQ(s->length, c.length) << c.text.toStdString();
    }
    const auto decimal = numberedStart("11.0既不是正数，也不是负数");
    ASSERT_TRUE(decimal.has_value());
    EXPECT_TRUE(decimal->decimalLike);
    EXPECT_EQ(decimal->number, 11);
    EXPECT_EQ(decimal->length, 3);
    EXPECT_FALSE(numberedStart("11．0既不是正数").value_or(NumberedStart{}).decimalLike);
    for (const QString& text :
         QStringList{"（1）求x", "(2)求y", "2023年的考试", "0.计算", "一、选择题", "1..", "1234. 太长", "第1题", ""})
        EXPECT_FALSE(numberedStart(text).has_value()) << text.toStdString();
}

TEST(InlineItems, ShortAnswersOnOneLineAreSplitAtConsecutiveNumbers) {
    const QList<InlineItem> items = inlineItems("1．C　2．B　3．D 5．A");
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0].number, 1);
    EXPECT_EQ(items[0].textStart, 2);
    EXPECT_EQ(items[1].number, 2);
    EXPECT_EQ(items[1].start, 4);
    EXPECT_EQ(items[2].number, 3);
    // A decimal or a number that does not come next is part of the answer.
    EXPECT_EQ(inlineItems("1．x=2.5 3.5 还有 3、").size(), 1);
    EXPECT_TRUE(inlineItems("答：C").isEmpty());
}

TEST(SectionHeadings, HeadingsAndTheTypesTheyName) {
    for (const QString& h : QStringList{"一、选择题（每小题3分，共30分）", "二．填空题", "三、解答题（本大题共5小题）",
                                        "第二部分 非选择题", "第Ⅰ卷（选择题）", "填空题（每空2分）"})
        EXPECT_TRUE(isSectionHeading(h)) << h.toStdString();
    for (const QString& h : QStringList{
             "一、二两组数据的平均数相同。", "1．选择题",
             "选择正确的答案填在括号里，这道题很长很长很长很长很长很长很长很长很长很长很长的题", "计算下列各式。", ""})
        EXPECT_FALSE(isSectionHeading(h)) << h.toStdString();

    EXPECT_EQ(typeForHeading("一、选择题（每小题3分）", types()), "单选题");
    EXPECT_EQ(typeForHeading("一、选择题（1-8题只有一项正确，9-12题为多选）", types()), "多选题");
    EXPECT_EQ(typeForHeading("二、多项选择题", types()), "多选题");
    EXPECT_EQ(typeForHeading("二、不定项选择题", types()), "多选题");
    EXPECT_EQ(typeForHeading("一、单选题（共有3道小题）", types()), "单选题");
    EXPECT_EQ(typeForHeading("三、填空题", types()), "填空题");
    EXPECT_EQ(typeForHeading("四、判断题", types()), "判断题");
    EXPECT_EQ(typeForHeading("五、简答题", types()), "解答题");
    EXPECT_EQ(typeForHeading("第二部分 非选择题", types()), "解答题");
    EXPECT_EQ(typeForHeading("六、作图题", types()), "作图题");
    EXPECT_EQ(typeForHeading("七、阅读理解", types()), "");
    // A bank whose list lacks the type the heading means leaves it to the teacher.
    EXPECT_EQ(typeForHeading("一、选择题", {"填空题", "解答题"}), "");
    EXPECT_EQ(typeForHeading("一、选择题", {"选择题", "单选题"}), "选择题");
}

TEST(AnswerHeadings, TheCommonWaysOfTitlingTheAnswers) {
    for (const QString& h : QStringList{"参考答案", "答案", "答案与解析", "参考答案及评分标准", "四、参考答案",
                                        "【参考答案】", "参考答案：", "答 案", "标准答案"})
        EXPECT_TRUE(isAnswerHeading(h)) << h.toStdString();
    for (const QString& h :
         QStringList{"【答案】D", "【答案】", "答案：C", "本参考答案与同名试卷配套使用", "写出答案", ""})
        EXPECT_FALSE(isAnswerHeading(h)) << h.toStdString();
}

TEST(Scores, FromTheHeadingOrTheQuestion) {
    EXPECT_EQ(headingScore("一、选择题（每小题3分，共30分）").value_or(0), 3);
    EXPECT_EQ(headingScore("二、填空题（每题 2.5 分）").value_or(0), 2.5);
    EXPECT_EQ(headingScore("一、选择题（本大题共10小题，共30分）").value_or(0), 3);
    EXPECT_EQ(headingScore("一、选择题（本大题共１０小题，共４０分）").value_or(0), 4);
    EXPECT_FALSE(headingScore("一、单选题（共有3道小题）").has_value());
    EXPECT_EQ(questionScore("（6分）解方程").value_or(0), 6);
    EXPECT_EQ(questionScore("(本小题满分8分)已知").value_or(0), 8);
    EXPECT_EQ(questionScore("已知函数（本题10分）").value_or(0), 10);
    EXPECT_FALSE(questionScore("小明考了（85分），求平均分").has_value());
    EXPECT_EQ(scoreText(2.5), "2.5");
    EXPECT_EQ(scoreText(3), "3");
}

TEST(AnalysePaper, APaperWithSectionsSubQuestionsAndAnAnswerSection) {
    QList<DocumentBlock> paper = paras({
        "七年级数学期中试卷",
        "注意事项：",
        "1．本试卷共4页。",
        "2．答卷前填写姓名。",
        "一、选择题（每小题3分，共6分）",
        "在每小题给出的四个选项中，只有一项符合题目要求。",
        "1．下列各数中，是负数的是（　　）",
        "A．3　B．-3",
        "2、如图，数轴上的点A表示的数是（　　）",
    });
    paper << picture();
    paper << paras({
        "",
        "二、解答题",
        "3)（8分）计算：",
        "（1）1+2；",
        "（2）3×4。",
        "4．小明有1.5元，",
    });
    paper << table("甲\t乙\r1\t2");
    paper << paras({"求总数。", "", "参考答案", "一、选择题", "1．C　2．B", "二、解答题", "3．（1）3", "（2）12",
                    "4．略", "5．多出来的答案"});

    const PaperAnalysis layout = analysePaper(paper, {}, types());
    ASSERT_EQ(layout.sections.size(), 2);
    EXPECT_EQ(layout.sections[0].type, "单选题");
    EXPECT_EQ(layout.sections[0].score.value_or(0), 3);
    EXPECT_EQ(layout.sections[1].type, "解答题");
    EXPECT_EQ(layout.answerSection, 19);
    ASSERT_EQ(layout.questions.size(), 4);  // the numbered notes are not questions

    const DetectedQuestion& q1 = layout.questions[0];
    EXPECT_EQ(q1.number, 1);
    EXPECT_EQ(q1.type, "单选题");
    EXPECT_EQ(q1.score.value_or(0), 3);
    EXPECT_EQ(questionText(paper, q1), "下列各数中，是负数的是（　　）\rA．3　B．-3");

    const DetectedQuestion& q2 = layout.questions[1];
    EXPECT_EQ(q2.question.range.firstBlock, 8);
    EXPECT_EQ(q2.question.range.lastBlock, 9);  // the picture, not the blank after it

    const DetectedQuestion& q3 = layout.questions[2];
    EXPECT_EQ(q3.type, "解答题");
    EXPECT_EQ(q3.score.value_or(0), 8);  // its own score
    EXPECT_EQ(questionText(paper, q3), "（8分）计算：\r（1）1+2；\r（2）3×4。");

    const DetectedQuestion& q4 = layout.questions[3];
    EXPECT_EQ(q4.question.range.lastBlock, 17);  // the table and the paragraph after it
    EXPECT_FALSE(q4.score.has_value());

    // Answers: two on one line, one over two paragraphs, one without a question.
    ASSERT_TRUE(q1.answer.isValid());
    EXPECT_EQ(q1.answer.document, Passage::Paper);
    EXPECT_EQ(passageText(paper, q1.answer.range), "C");
    EXPECT_EQ(passageText(paper, q2.answer.range), "B");
    EXPECT_EQ(passageText(paper, q3.answer.range), "（1）3\r（2）12");
    EXPECT_EQ(passageText(paper, q4.answer.range), "略");
    EXPECT_EQ(layout.strayAnswers, QList<int>({5}));
}

TEST(AnalysePaper, ASeparateAnswerDocumentAndNumberingThatStartsAgainInEachSection) {
    const QList<DocumentBlock> paper =
        paras({"一、填空题", "1．填空一", "2．填空二", "二、判断题", "1．判断一", "2．判断二", "3．判断三"});
    const QList<DocumentBlock> answers =
        paras({"参考答案", "一、填空题", "1．甲", "2．乙", "二、判断题", "1．√", "2．×", "（理由略）"});
    const PaperAnalysis layout = analysePaper(paper, answers, types());
    ASSERT_EQ(layout.questions.size(), 5);
    EXPECT_EQ(layout.questions[2].type, "判断题");
    EXPECT_EQ(layout.questions[2].number, 1);
    EXPECT_EQ(layout.questions[0].answer.document, Passage::Answers);
    EXPECT_EQ(passageText(answers, layout.questions[1].answer.range), "乙");
    EXPECT_EQ(passageText(answers, layout.questions[2].answer.range), "√");
    EXPECT_EQ(passageText(answers, layout.questions[3].answer.range), "×\r（理由略）");
    EXPECT_FALSE(layout.questions[4].answer.isValid());
    EXPECT_TRUE(layout.strayAnswers.isEmpty());
}

TEST(AnalysePaper, AnswersWrittenAfterEachQuestion) {
    const QList<DocumentBlock> paper = paras(
        {"1．下列说法正确的是", "A．甲　B．乙", "【答案】A", "【解析】甲是对的。", "2．计算1+1。", "【解析】1+1=2。"});
    const PaperAnalysis layout = analysePaper(paper, {}, types());
    ASSERT_EQ(layout.questions.size(), 2);
    EXPECT_EQ(questionText(paper, layout.questions[0]), "下列说法正确的是\rA．甲　B．乙");
    EXPECT_EQ(passageText(paper, layout.questions[0].answer.range), "【答案】A\r【解析】甲是对的。");
    EXPECT_EQ(passageText(paper, layout.questions[1].answer.range), "【解析】1+1=2。");
    EXPECT_TRUE(layout.questions[0].type.isEmpty());  // no heading names it
}

TEST(AnalysePaper, NumbersOutOfOrderStayInsideTheQuestionAndANumberAloneIsLeftOut) {
    const QList<DocumentBlock> paper =
        paras({"一、解答题", "1．", "已知三点：", "3．第三点在哪里？", "1) 说明理由", "2．第二题", "2.5 米的绳子"});
    const PaperAnalysis layout = analysePaper(paper, {}, types());
    ASSERT_EQ(layout.questions.size(), 2);
    EXPECT_EQ(layout.questions[0].question.range.firstBlock, 2);
    EXPECT_EQ(questionText(paper, layout.questions[0]), "已知三点：\r3．第三点在哪里？\r1) 说明理由");
    EXPECT_EQ(questionText(paper, layout.questions[1]), "第二题\r2.5 米的绳子");
}

TEST(AnalysePaper, AQuestionWhoseTextStartsWithADigitAfterAHalfWidthPoint) {
    const QList<DocumentBlock> paper = paras({"四、判断题（共有3道小题）", "10.一组数据的方差越大，波动越小。（　　）",
                                              "11.0既不是正数，也不是负数。（　　）", "1.5 米长的绳子对折后长多少？",
                                              "12.人提着水桶在水平路面上匀速行走。（　　）"});
    const PaperAnalysis layout = analysePaper(paper, {}, types());
    ASSERT_EQ(layout.questions.size(), 3);
    EXPECT_EQ(layout.questions[0].number, 10);
    EXPECT_EQ(questionText(paper, layout.questions[1]),
              "0既不是正数，也不是负数。（　　）\r1.5 米长的绳子对折后长多少？");
    EXPECT_EQ(layout.questions[2].number, 12);
    // A paper that starts with a decimal does not start with a question.
    EXPECT_TRUE(analysePaper(paras({"3.5 米", "一、填空题"}), {}, types()).questions.isEmpty());
}

TEST(AnalysePaper, APaperWithoutQuestions) {
    EXPECT_TRUE(analysePaper(paras({"致家长的一封信", "各位家长：", "你们好。"}), {}, types()).questions.isEmpty());
    EXPECT_TRUE(analysePaper({}, {}, types()).questions.isEmpty());
}

TEST(AnalysePaper, InsideAnAnswerBlockOnlyTheNextNumberedQuestionStartsOne) {
    const QList<DocumentBlock> paper = paras({
        "一、选择题",
        "3．一支笔4.5元，买2支要多少元（　　）",
        "A．8　B．9",
        "【答案】B",
        "【解析】",
        "4.5×2=9（元），",
        "4．5元是两支笔的价钱吗？不是。",
        "故选：B．",
        "【点睛】",
        "5．注意单位。",
        "4．下一道题",
        "【详解】",
        "5.5÷5=1.1",
        "5. 最后一题",
    });
    const PaperAnalysis layout = analysePaper(paper, {}, types());
    ASSERT_EQ(layout.questions.size(), 3);
    EXPECT_EQ(questionText(paper, layout.questions[0]), "一支笔4.5元，买2支要多少元（　　）\rA．8　B．9");
    // A decimal, a number with a digit after its point, and a number out of
    // turn stay in the answer.
    EXPECT_EQ(
        passageText(paper, layout.questions[0].answer.range),
        "【答案】B\r【解析】\r4.5×2=9（元），\r4．5元是两支笔的价钱吗？不是。\r故选：B．\r【点睛】\r5．注意单位。");
    EXPECT_EQ(layout.questions[1].number, 4);
    EXPECT_EQ(passageText(paper, layout.questions[1].answer.range), "【详解】\r5.5÷5=1.1");
    EXPECT_EQ(questionText(paper, layout.questions[2]), "最后一题");
}

TEST(AnalysePaper, PaperFurnitureIsLeftOutOfQuestionsAndAnswersAndNamed) {
    QList<DocumentBlock> paper = paras({
        "XX学校2023-2024学年上学期期中考试数学试卷",
        "学校:___________姓名:___________班级:___________考号:___________",
        "第I卷（选择题）",
        "请点击修改第I卷的文字说明",
    });
    paper << table("评卷人\t得分\r\t");
    paper << paras({"一、单选题（每小题3分）", "1．最小的数是（　　）", "【答案】A", "【解析】负数小于0。",
                    "第II卷（非选择题）", "请点击修改第II卷的文字说明"});
    paper << table("评卷人\t得分\r\t");
    paper << paras({"二、填空题（每空2分）", "2．3的相反数是______，绝对值是______。", "【答案】-3　3", "第2页，共4页",
                    "3．某学校2023学年的考试人数是______。", "【答案】120", "密封线内不要答题"});
    const PaperAnalysis layout = analysePaper(paper, {}, types());
    ASSERT_EQ(layout.questions.size(), 3);
    EXPECT_EQ(layout.sections.size(), 2);
    EXPECT_EQ(passageText(paper, layout.questions[0].answer.range), "【答案】A\r【解析】负数小于0。");
    EXPECT_EQ(passageText(paper, layout.questions[1].answer.range), "【答案】-3　3");
    EXPECT_EQ(questionText(paper, layout.questions[2]), "某学校2023学年的考试人数是______。");
    EXPECT_EQ(passageText(paper, layout.questions[2].answer.range), "【答案】120");
    EXPECT_EQ(layout.dropped, QStringList({"第II卷（非选择题）", "请点击修改第II卷的文字说明", "评卷人 得分",
                                           "第2页，共4页", "密封线内不要答题"}));
    // Scores: each question of the section, and each blank.
    EXPECT_EQ(layout.questions[0].score.value_or(0), 3);
    EXPECT_EQ(layout.questions[1].score.value_or(0), 4);
    EXPECT_EQ(layout.questions[2].score.value_or(0), 2);

    for (const QString& text : QStringList{"第Ⅱ卷 非选择题", "评卷人", "得分", "注意事项：", "试卷第1页，共4页"})
        EXPECT_TRUE(isPaperFurniture(para(text))) << text.toStdString();
    for (const QString& text : QStringList{"某学校2023学年举行考试，参加的人数是多少？", "1．得分最高的是谁？",
                                           "第一部分", "注意事项有哪些？请写出两条。"})
        EXPECT_FALSE(isPaperFurniture(para(text))) << text.toStdString();
    EXPECT_FALSE(isPaperFurniture(table("姓名\t成绩\r甲\t90")));
    EXPECT_EQ(headingBlankScore("二、填空题（每空2分，共12分）").value_or(0), 2);
    EXPECT_EQ(blanksIn("没有横线的题"), 1);
}
