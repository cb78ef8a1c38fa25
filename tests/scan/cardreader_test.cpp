// The machine-readable answer sheet and its reader: the sheet's geometry,
// pages made as a copier and a phone would give them back, and the states a
// reader must never guess (two marks, a light mark, an erased one, a digit
// missing), each read or flagged, never wrong.

#include "doubles/pencil.h"
#include "paper/answercard.h"
#include "scan/cardreader.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

namespace {

// A paper of every kind of answer: 12 单选, 4 多选, 5 判断, 4 填空, 3 解答.
QVector<CardSection> sections() {
    QVector<CardSection> out(5);
    int n = 0;
    out[0].heading = "一、单选题";
    for (int i = 0; i < 12; ++i)
        out[0].questions << cardQuestionOf(++n, "单选题", std::nullopt, QString("ABCD"[i % 4]));
    out[1].heading = "二、多选题";
    for (int i = 0; i < 4; ++i)
        out[1].questions << cardQuestionOf(++n, "多选题", std::nullopt, "AC");
    out[2].heading = "三、判断题";
    for (int i = 0; i < 5; ++i)
        out[2].questions << cardQuestionOf(++n, "判断题", std::nullopt, i % 2 ? "F" : "T");
    out[3].heading = "四、填空题";
    for (int i = 0; i < 4; ++i)
        out[3].questions << cardQuestionOf(++n, "填空题", std::nullopt);
    out[4].heading = "五、解答题";
    for (int i = 0; i < 3; ++i)
        out[4].questions << cardQuestionOf(++n, "解答题", std::nullopt);
    return out;
}

const CardLayout& a4() {
    static const CardLayout layout =
        layoutAnswerCard("TESTKEY234", "七年级数学期中考试", sections(), PaperLayout::A4Portrait, 8);
    return layout;
}

// The answers the student of a test gives: question → options.
QHash<int, QString> answers() {
    QHash<int, QString> out;
    for (int q = 1; q <= 12; ++q)
        out[q] = QString("DCBA"[q % 4]);
    out[13] = "ABD";
    out[14] = "C";
    out[15] = "";  // left out
    out[16] = "BCD";
    for (int q = 17; q <= 21; ++q)
        out[q] = q % 2 ? "T" : "F";
    return out;
}

QImage filledPage(const CardLayout& layout, int page, double dpi, const QString& examNumber, quint32 seed,
                  const PencilMark& mark = {}) {
    QImage image = renderAnswerCardPage(layout, page, dpi);
    if (page == 0)
        markExamNumber(image, layout, examNumber, dpi, seed);
    const QHash<int, QString> given = answers();
    for (auto it = given.cbegin(); it != given.cend(); ++it) {
        const auto bubbles = layout.bubblesOf(CardBubble::Role::Option, it.key());
        if (!bubbles.isEmpty() && bubbles.first()->page == page)
            markAnswer(image, layout, it.key(), it.value(), dpi, mark, seed + quint32(it.key()) * 7);
    }
    return image;
}

PencilMark pencil(double coverage, int grey = 55) {
    PencilMark m;
    m.coverage = coverage;
    m.grey = grey;
    return m;
}
PencilMark shaped(PencilMark::Shape shape) {
    PencilMark m;
    m.shape = shape;
    return m;
}

PageReading readOf(const QImage& picture, const CardLayout& layout = a4()) {
    return readCardPage(picture, [&](const QString& key) { return key == layout.key ? &layout : nullptr; });
}

// Every question read as given, nothing doubtful.
void expectReadRight(const PageReading& r, const QString& examNumber) {
    ASSERT_TRUE(r.read()) << r.problem.toStdString();
    EXPECT_EQ(r.examNumber, examNumber) << r.examWhy.toStdString();
    EXPECT_FALSE(r.examDoubtful);
    EXPECT_FALSE(r.absent);
    const QHash<int, QString> given = answers();
    ASSERT_EQ(r.questions.size(), 21);
    for (const QuestionReading& q : r.questions) {
        EXPECT_FALSE(q.doubtful) << "question " << q.question << ": " << q.why.toStdString();
        EXPECT_EQ(q.answer, given.value(q.question)) << "question " << q.question;
    }
}

}  // namespace

TEST(AnswerCardLayout, EveryBubbleAndAreaOnItsPageAndApart) {
    const CardLayout& l = a4();
    ASSERT_GE(l.pages, 1);
    const QRectF content(14, 14, l.page.width() - 28, l.page.height() - 28);
    for (const CardBubble& b : l.bubbles) {
        EXPECT_TRUE(content.contains(b.rect)) << b.index;
        EXPECT_LT(b.page, l.pages);
        EXPECT_FALSE(b.rect.intersects(l.qrRect()));
    }
    for (int i = 0; i < l.bubbles.size(); ++i)
        for (int j = i + 1; j < l.bubbles.size(); ++j)
            if (l.bubbles[i].page == l.bubbles[j].page) {
                EXPECT_FALSE(l.bubbles[i].rect.intersects(l.bubbles[j].rect)) << i << " " << j;
            }
    // 8 digits of ten, one 缺考, four options of 16 choice questions, two of 5 判断.
    EXPECT_EQ(l.bubbles.size(), 80 + 1 + 16 * 4 + 5 * 2);
    for (int q = 22; q <= 28; ++q) {
        ASSERT_TRUE(l.areaOf(q)) << q;
        EXPECT_TRUE(content.contains(l.areaOf(q)->rect)) << q;
    }
    // The written areas do not overlap.
    for (int a = 22; a <= 28; ++a)
        for (int b = a + 1; b <= 28; ++b)
            if (l.areaOf(a)->page == l.areaOf(b)->page) {
                EXPECT_FALSE(l.areaOf(a)->rect.intersects(l.areaOf(b)->rect)) << a << " " << b;
            }
}

TEST(AnswerCardLayout, TwoColumnsOnA3AndTheLayoutKeptAsText) {
    const CardLayout l = layoutAnswerCard("A3KEY", "期末", sections(), PaperLayout::A3TwoColumns);
    EXPECT_EQ(l.page, QSizeF(420, 297));
    EXPECT_EQ(l.pages, 1);  // three 解答题 areas fit in the second column
    bool right = false;
    for (const CardArea& a : l.areas)
        right = right || a.rect.left() > 210;
    EXPECT_TRUE(right);

    const CardLayout back = CardLayout::fromJson(l.toJson());
    EXPECT_EQ(back.toJson(), l.toJson());
    EXPECT_EQ(back.questions.size(), 28);
    EXPECT_EQ(back.question(13)->key, "AC");
    EXPECT_EQ(CardLayout::fromJson("not a layout").pages, 0);
    EXPECT_EQ(CardLayout::fromJson(l.toJson().left(200)).pages, 0);
}

TEST(AnswerCardLayout, NoPageForALittleOverflow) {
    // Four 解答题 after the objective part: at full height the fourth would
    // stand alone on a second A3 page; shorter areas keep the sheet on one.
    QVector<CardSection> s = sections();
    s[4].questions << cardQuestionOf(29, "解答题", std::nullopt);
    const CardLayout l = layoutAnswerCard("ONEPAGEKEY", "期末", s, PaperLayout::A3TwoColumns);
    EXPECT_EQ(l.pages, 1);
    EXPECT_GE(l.areaOf(29)->rect.height(), 0.7 * 80 - 0.01);
    EXPECT_LT(l.areaOf(29)->rect.height(), 80);
    // A sheet that fills its last page keeps its areas as they are.
    EXPECT_EQ(a4().areaOf(26)->rect.height(), 80);
    EXPECT_EQ(a4().areaOf(27)->rect.height(), 80);
}

TEST(AnswerCardLayout, ManyQuestionsGoOnFurtherPagesWithTheirOwnQr) {
    QVector<CardSection> big = sections();
    for (int i = 0; i < 6; ++i)
        big[4].questions << cardQuestionOf(29 + i, "解答题", std::nullopt);
    const CardLayout l = layoutAnswerCard("BIGKEY", "期末", big, PaperLayout::A4Portrait);
    EXPECT_GE(l.pages, 3);
    EXPECT_NE(l.qrText(0), l.qrText(1));
    const CardIdentity id = readCardIdentity(l.qrText(1));
    EXPECT_EQ(id.key, "BIGKEY");
    EXPECT_EQ(id.page, 1);
    EXPECT_FALSE(readCardIdentity("ZSDTK1|KEY|0").valid());
    EXPECT_FALSE(readCardIdentity("http://example.com").valid());
}

TEST(AnswerKeys, ReadFromTheAnswerDocumentsText) {
    EXPECT_EQ(answerKeyFromText("【答案】D\r【解析】−(−3)=3，故选D。", CardKind::Single), "D");
    EXPECT_EQ(answerKeyFromText("答案：Ｂ", CardKind::Single), "B");
    EXPECT_EQ(answerKeyFromText("【答案】A、C、D\r【解析】…", CardKind::Multiple), "ACD");
    EXPECT_EQ(answerKeyFromText("BD", CardKind::Multiple), "BD");
    EXPECT_EQ(answerKeyFromText("【答案】√\r【解析】0是…", CardKind::TrueFalse), "T");
    EXPECT_EQ(answerKeyFromText("错误", CardKind::TrueFalse), "F");
    // No letter, or two letters where one is asked: no key, never a guess.
    EXPECT_EQ(answerKeyFromText("解：因为 x=3 …", CardKind::Single), "");
    EXPECT_EQ(answerKeyFromText("【答案】AB", CardKind::Single), "");
    EXPECT_EQ(answerKeyFromText("", CardKind::TrueFalse), "");
}

TEST(CardReader, ACleanPageReadsAsFilled) {
    expectReadRight(readOf(filledPage(a4(), 0, 200, "20240731", 1)), "20240731");
}

TEST(CardReader, CopierScansTurnedScaledBlurredAndThresholded) {
    const QImage page = filledPage(a4(), 0, 300, "31415926", 2);
    QVector<ScanLook> looks(5);
    looks[0].angleDegrees = 4.5, looks[0].scale = 0.97, looks[0].shiftMm = {3, -2}, looks[0].noise = 6;
    looks[0].outputDpi = 150;
    looks[1].angleDegrees = -5, looks[1].blur = 1.2, looks[1].jpegQuality = 55, looks[1].outputDpi = 200;
    looks[2].angleDegrees = 2, looks[2].scale = 1.02, looks[2].noise = 10, looks[2].blackAndWhite = true;
    looks[2].outputDpi = 200;
    looks[3].angleDegrees = 1, looks[3].upsideDown = true, looks[3].outputDpi = 200;
    looks[4].angleDegrees = -0.5, looks[4].noise = 4, looks[4].jpegQuality = 80;
    for (int i = 0; i < looks.size(); ++i) {
        SCOPED_TRACE(i);
        expectReadRight(readOf(scanOf(page, 300, looks[i], 10 + i)), "31415926");
    }
}

TEST(CardReader, PhonePhotosInPerspectiveAndShadow) {
    const QImage page = filledPage(a4(), 0, 200, "27182818", 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ScanLook look;
        look.angleDegrees = -3.0 + 3 * i, look.noise = 5, look.jpegQuality = 75;
        look.perspective = 0.5 + 0.25 * i, look.unevenLight = 0.6;
        expectReadRight(readOf(scanOf(page, 200, look, 20 + i)), "27182818");
    }
}

TEST(CardReader, AnA3SheetInTwoColumnsReadsLikeA4) {
    const CardLayout a3 = layoutAnswerCard("A3READKEY2", "期末考试", sections(), PaperLayout::A3TwoColumns);
    ScanLook look;
    look.angleDegrees = -2.5;
    look.noise = 5;
    look.jpegQuality = 70;
    const QImage scan = scanOf(filledPage(a3, 0, 200, "55555555", 9), 200, look, 9);
    expectReadRight(readOf(scan, a3), "55555555");
}

TEST(CardReader, WhatIsNotClearIsDoubtfulNeverGuessed) {
    const double dpi = 200;
    QImage image = renderAnswerCardPage(a4(), 0, dpi);
    markExamNumber(image, a4(), "1234 678", dpi, 4);  // the fifth digit left out
    markAnswer(image, a4(), 1, "AB", dpi, {}, 1);     // two on a 单选题
    markAnswer(image, a4(), 2, "C", dpi, pencil(0.3), 2);
    markAnswer(image, a4(), 3, "D", dpi, shaped(PencilMark::Shape::Erased), 3);
    markAnswer(image, a4(), 4, "A", dpi, shaped(PencilMark::Shape::Tick), 4);
    markAnswer(image, a4(), 5, "B", dpi, pencil(0.65), 5);    // most of it: filled
    markAnswer(image, a4(), 6, "C", dpi, pencil(1, 120), 6);  // a light pencil, fully: filled
    markAnswer(image, a4(), 7, "B", dpi, {}, 7);
    markAnswer(image, a4(), 7, "D", dpi, shaped(PencilMark::Shape::Erased), 8);  // changed its mind
    markAnswer(image, a4(), 13, "ABD", dpi, {}, 9);                              // a 多选题 takes several
    const PageReading r = readOf(image);
    ASSERT_TRUE(r.read());
    EXPECT_EQ(r.examNumber, "1234?678");
    EXPECT_TRUE(r.examDoubtful);
    EXPECT_EQ(r.examWhy, "考号第5位没有填涂");
    const auto reading = [&](int q) {
        for (const QuestionReading& x : r.questions)
            if (x.question == q)
                return x;
        return QuestionReading{};
    };
    EXPECT_TRUE(reading(1).doubtful);
    EXPECT_EQ(reading(1).why, "涂了不止一个选项");
    EXPECT_TRUE(reading(2).doubtful);
    EXPECT_TRUE(reading(3).doubtful);
    EXPECT_TRUE(reading(4).doubtful);
    EXPECT_FALSE(reading(5).doubtful);
    EXPECT_EQ(reading(5).answer, "B");
    EXPECT_FALSE(reading(6).doubtful);
    EXPECT_EQ(reading(6).answer, "C");
    EXPECT_TRUE(reading(7).doubtful);
    EXPECT_EQ(reading(7).why, "另有选项涂得不清楚");
    EXPECT_FALSE(reading(8).doubtful);
    EXPECT_EQ(reading(8).answer, "");
    EXPECT_EQ(reading(13).answer, "ABD");
    EXPECT_FALSE(reading(13).doubtful);
    EXPECT_TRUE(r.doubtful());
}

TEST(CardReader, TheAbsentMarkIsRead) {
    QImage image = renderAnswerCardPage(a4(), 0, 200);
    markBubble(image, a4().bubblesOf(CardBubble::Role::Absent, 0).first()->rect, 200, {}, 1);
    const PageReading r = readOf(image);
    ASSERT_TRUE(r.read());
    EXPECT_TRUE(r.absent);
    EXPECT_FALSE(r.absentDoubtful);
}

TEST(CardReader, PagesThatAreNoSheetOfThePaperAreNamed) {
    QImage blank(1654, 2339, QImage::Format_Grayscale8);
    blank.fill(255);
    EXPECT_TRUE(readOf(blank).problem.contains("找不到答题卡的二维码"));
    const CardLayout other = layoutAnswerCard("OTHERKEY22", "别的试卷", sections(), PaperLayout::A4Portrait);
    const PageReading r = readOf(renderAnswerCardPage(other, 0, 200));
    EXPECT_EQ(r.problem, "这张答题卡不属于所选的试卷（卡号 OTHERKEY22）");
    // A page cut off at the foot: its lower corner marks are gone.
    QImage cut = renderAnswerCardPage(a4(), 0, 200);
    for (int y = cut.height() * 3 / 4; y < cut.height(); ++y)
        memset(cut.scanLine(y), 255, size_t(cut.bytesPerLine()));
    EXPECT_TRUE(readOf(cut).problem.contains("定位标记"));
}

TEST(CardReader, CropsComeFromTheAlignedPage) {
    const PageReading r = readOf(filledPage(a4(), 0, 200, "20240731", 5));
    ASSERT_TRUE(r.read());
    const QImage area = cropAligned(r.aligned, a4().areaOf(25)->rect);
    EXPECT_NEAR(area.width(), (a4().areaOf(25)->rect.width() + 4) * kAlignedDpi / 25.4, 2);
    EXPECT_EQ(cropAligned(r.aligned, QRectF(-50, -50, 10, 10)).isNull(), true);
}
