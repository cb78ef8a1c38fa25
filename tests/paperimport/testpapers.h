#pragma once

// Exam papers as teachers bring them, written through the real office: a
// .docx with its answers at the end, and a .doc with a separate answer
// document, with the usual ways of numbering, sub-questions, a picture, a
// formula and a table.

#include "office/wordprocessor.h"
#include "support/testsupport.h"

#include <QDir>
#include <QImage>

namespace zs::test {

// A picture of a triangle on white.
inline QString writeFigure(const QString& folder) {
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 10; y < 80; ++y)
        for (int x = 60 - (y - 10) * 5 / 7; x <= 60 + (y - 10) * 5 / 7; ++x)
            if (y == 79 || x == 60 - (y - 10) * 5 / 7 || x == 60 + (y - 10) * 5 / 7)
                image.setPixel(x, y, qRgb(0, 0, 0));
    const QString path = QDir(folder).filePath("三角形.png");
    image.save(path);
    return path;
}

struct TestPaper {
    QString paper;
    QString answers;  // empty: the answers are in the paper
};

// 七年级数学 with an answer section, as .docx: 5 questions in 3 sections.
//   1 单选题 (3 分)              answer "B" (two answers on one line)
//   2 单选题 with a picture      answer "C"
//   3 填空题 with a formula      answer "4"
//   4 解答题 (10 分), (1) (2) and a table   answer over two paragraphs
//   5 解答题                      no answer
inline TestPaper writePaperWithAnswerSection(WordInstance& word, const QString& folder) {
    const auto doc = word.newDocument();
    doc->append("2024学年第一学期七年级数学期中试卷");
    doc->append("\r注意事项：");
    doc->append("\r1．本试卷共2页，满分100分。");
    doc->append("\r2．答题前写好姓名和班级。");
    doc->append("\r一、选择题（本大题共2小题，每小题3分，共6分）");
    doc->append("\r1．下列各数中，是负数的是（　　）");
    doc->append("\rA．3　　B．−3　　C．0　　D．|−3|");
    doc->append("\r2．如图，这个三角形是（　　）");
    doc->append("\r ");
    doc->appendPicture(writeFigure(folder), 30);
    doc->append("\rA．直角三角形　B．钝角三角形　C．等腰三角形　D．以上都不对");
    doc->append("\r二、填空题（每小题4分）");
    doc->append("\r3．若 ");
    doc->appendFormula("x^2 = 16");
    doc->append("，且x>0，则x＝______。");
    doc->append("\r三、解答题");
    doc->append("\r4．（10分）下表是某班的成绩：");
    doc->appendTable({{"姓名", "成绩"}, {"甲", "90"}, {"乙", "80"}});
    doc->append("（1）求平均分；");
    doc->append("\r（2）谁的成绩高？");
    doc->append("\r5．化简：3a＋2a。");
    doc->append("\r");
    doc->append("\r参考答案");
    doc->append("\r一、选择题");
    doc->append("\r1．B　2．C");
    doc->append("\r二、填空题");
    doc->append("\r3．4");
    doc->append("\r三、解答题");
    doc->append("\r4．（1）平均分为85分；");
    doc->append("\r（2）甲的成绩高。");
    const QString path = QDir(folder).filePath("期中试卷（含答案）.docx");
    doc->saveAs(path);
    doc->close();
    return {path, {}};
}

// 八年级物理 as .doc with a separate answer document; each question numbered
// another way: "1." "2．" "3、" "4)".
inline TestPaper writePaperAndAnswerDocument(WordInstance& word, const QString& folder) {
    TestPaper out;
    {
        const auto doc = word.newDocument();
        doc->append("八年级物理单元测试");
        doc->append("\r一、单项选择题");
        doc->append("\r1.声音是由物体的（　　）产生的。");
        doc->append("\rA．振动　B．运动　C．静止");
        doc->append("\r2．光在真空中的速度约为（　　）");
        doc->append("\rA．3×10⁸ m/s　B．340 m/s");
        doc->append("\r二、计算题");
        doc->append("\r3、一辆汽车以 ");
        doc->appendFormula("v = s over t");
        doc->append(" 计算速度：");
        doc->append("\r（1）行驶 1.5 km 用了 100 s，求速度；");
        doc->append("\r（2）以这个速度行驶 3 km 要多少时间？");
        doc->append("\r4)作图：画出光线经平面镜反射后的光路。");
        doc->append("\r ");
        doc->appendPicture(writeFigure(folder), 25);
        out.paper = QDir(folder).filePath("物理单元测试.doc");
        doc->saveAs(out.paper);
        doc->close();
    }
    {
        const auto doc = word.newDocument();
        doc->append("八年级物理单元测试 参考答案");
        doc->append("\r1.A");
        doc->append("\r2．A");
        doc->append("\r3、（1）v＝s/t＝1500 m÷100 s＝15 m/s；");
        doc->append("\r（2）t＝s/v＝3000 m÷15 m/s＝200 s。");
        doc->append("\r4)见下图。");
        doc->append("\r7．这道题不在试卷里。");
        out.answers = QDir(folder).filePath("物理单元测试答案.doc");
        doc->saveAs(out.answers);
        doc->close();
    }
    return out;
}

// A paper as downloaded from a paper site, as .docx: each question followed by
// its own 【答案】 and 【解析】, and the site's furniture around them.
//   1 单选题 (3 分)   answer "A"
//   2 单选题 (3 分)   answer "B"
//   3 单选题 (3 分)   its 解析 starts with the decimal "4.5×2=9（元），"
//   4 填空题, two blanks of 2 分   answer "-3　3"
//   5 解答题 (6 分)   answer over two paragraphs
// Between 3 and 4: "第II卷（非选择题）", "请点击修改第II卷的文字说明" and a
// 评卷人/得分 table.
inline TestPaper writeDownloadedPaper(WordInstance& word, const QString& folder) {
    const auto doc = word.newDocument();
    doc->append("XX学校2023-2024学年上学期期中考试数学试卷");
    doc->append("\r学校:___________姓名:___________班级:___________考号:___________");
    doc->append("\r第I卷（选择题）");
    doc->append("\r请点击修改第I卷的文字说明");
    doc->appendTable({{"评卷人", "得分"}, {" ", " "}});
    doc->append("一、单选题（每小题3分）");
    doc->append("\r1．下列各数中最小的是（　　）");
    doc->append("\rA．-2　B．0　C．1　D．2");
    doc->append("\r【答案】A");
    doc->append("\r【解析】负数小于0，故选：A．");
    doc->append("\r2．计算2+3的结果是（　　）");
    doc->append("\rA．4　B．5　C．6　D．7");
    doc->append("\r【答案】B");
    doc->append("\r【解析】2+3=5，故选：B．");
    doc->append("\r3．一支笔4.5元，买2支要多少元（　　）");
    doc->append("\rA．8　B．9　C．10　D．11");
    doc->append("\r【答案】B");
    doc->append("\r【解析】");
    doc->append("\r4.5×2=9（元），");
    doc->append("\r故选：B．");
    doc->append("\r第II卷（非选择题）");
    doc->append("\r请点击修改第II卷的文字说明");
    doc->appendTable({{"评卷人", "得分"}, {" ", " "}});
    doc->append("二、填空题（每空2分）");
    doc->append("\r4．3的相反数是______，绝对值是______。");
    doc->append("\r【答案】-3　3");
    doc->append("\r三、解答题");
    doc->append("\r5．（6分）计算：(1) 1+1；(2) 2×3．");
    doc->append("\r【答案】(1) 2；");
    doc->append("\r(2) 6．");
    const QString path = QDir(folder).filePath("下载的试卷.docx");
    doc->saveAs(path);
    doc->close();
    return {path, {}};
}

}  // namespace zs::test
