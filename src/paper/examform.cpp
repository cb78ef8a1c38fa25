#include "paper/examform.h"

#include "office/wordprocessor.h"

namespace zs {

namespace {

TextStyle centred(double pointSize, bool bold) {
    return songStyle(pointSize, bold, TextStyle::Align::Center);
}

TextStyle body(double pointSize, bool bold = false) {
    return songStyle(pointSize, bold, TextStyle::Align::Left);
}

QString kindLine(PaperDocument kind) {
    switch (kind) {
    case PaperDocument::Paper:
        return {};
    case PaperDocument::Answers:
        return QStringLiteral("参考答案");
    case PaperDocument::Review:
        return QStringLiteral("讲评卷");
    case PaperDocument::AnswerSheet:
        return QStringLiteral("答题卡");
    }
    return {};
}

}  // namespace

void writeExamHeader(WordDocument& doc, PaperDocument kind, const PaperSettings& settings,
                     std::optional<int> fullMark) {
    // Each line starts a paragraph of its own; the first goes into the empty
    // paragraph a cleared document keeps.
    bool first = true;
    const auto line = [&](const QString& text, const TextStyle& style) {
        doc.append((first ? QString() : QStringLiteral("\r")) + text, style);
        first = false;
    };
    if (!settings.school.isEmpty())
        line(settings.school, centred(15, true));
    if (!settings.title.isEmpty())
        line(settings.title, centred(18, true));
    if (!settings.subtitle.isEmpty())
        line(settings.subtitle, centred(15, true));
    if (const QString name = kindLine(kind); !name.isEmpty())
        line(name, centred(kind == PaperDocument::AnswerSheet ? 16 : 15, true));
    if (kind == PaperDocument::Paper || kind == PaperDocument::AnswerSheet) {
        if (const QString time = timeAndMarkLine(settings.minutes, fullMark); !time.isEmpty())
            line(time, centred(12, false));
    }
    // The student line on one line of the text (of a column).
    const auto textWidth = [&] {
        const PageSetup page = doc.pageSetup();
        const double width = page.widthMm - page.leftMm - page.rightMm;
        return (width - (page.columns - 1) * page.columnGapMm) / qMax(1, page.columns);
    };
    if (kind == PaperDocument::Paper && !settings.twoColumns())
        line(studentLine(true, textWidth()), centred(12, false));
    if (kind == PaperDocument::AnswerSheet)
        line(studentLine(false, textWidth()), centred(12, false));
    // The questions follow in the document's own alignment.
    line(QString(), songStyle(12, false, TextStyle::Align::Body));
}

AnswerKind answerKindOf(const QString& type) {
    if (type == u"单选题" || type == u"多选题" || type == u"选择题")
        return AnswerKind::Choice;
    if (type == u"判断题")
        return AnswerKind::TrueFalse;
    if (type == u"填空题")
        return AnswerKind::Blank;
    return AnswerKind::Area;
}

double answerAreaHeightMm(const QString& type) {
    if (type == u"作文题")
        return 180;
    if (type == u"解答题")
        return 80;
    if (type == u"作图题")
        return 70;
    return 60;  // 计算题 and any other type
}

QString optionBoxes(AnswerKind kind) {
    if (kind == AnswerKind::TrueFalse)
        return QStringLiteral("[√]　　[×]");
    return QStringLiteral("[A]　　[B]　　[C]　　[D]");
}

void writeAnswerSheet(WordDocument& doc, const QVector<SheetSection>& sections) {
    // The 考号 grid: a row of boxes to write the digits in, and under each a
    // column [0] … [9] to mark them.
    doc.append(QStringLiteral("考号：\r"), body(12, true));
    QList<QStringList> grid;
    grid << QStringList(kExamNumberDigits, QString());
    for (int digit = 0; digit <= 9; ++digit)
        grid << QStringList(kExamNumberDigits, QStringLiteral("[%1]").arg(digit));
    TableLook gridLook;
    gridLook.widthMm = kExamNumberDigits * 9.0;
    // Rows high enough for a digit and the cell's own padding.
    gridLook.pointSize = 8;
    gridLook.rowHeightsMm << 8;
    for (int digit = 0; digit <= 9; ++digit)
        gridLook.rowHeightsMm << 6;
    doc.appendTable(grid, gridLook);
    doc.append(
        QStringLiteral("注意事项：1．答题前，请将学校、班级、姓名、考号填写清楚，并在考号下面涂黑对应的数字。"
                       "2．选择题、判断题用2B铅笔把所选的方框涂黑；其他题用黑色签字笔在对应题号的答题区域内作答，"
                       "超出答题区域的答案无效。\r"),
        body(9));

    TableLook areaLook;
    areaLook.centred = false;
    areaLook.pointSize = 12;
    // A section's heading stays with its first question, never alone at the
    // foot of a column.
    TextStyle heading = body(12, true);
    heading.keepWithNext = true;
    for (const SheetSection& section : sections) {
        if (!section.heading.isEmpty())
            doc.append(section.heading + u'\r', heading);
        for (const SheetQuestion& q : section.questions) {
            const QString number = QString::number(q.number) + QStringLiteral("．");
            const AnswerKind kind = answerKindOf(q.type);
            switch (kind) {
            case AnswerKind::Choice:
            case AnswerKind::TrueFalse:
                doc.append(number + QStringLiteral("　") + optionBoxes(kind) + u'\r', body(12));
                break;
            case AnswerKind::Blank:
                doc.append(number + QString(46, u'_') + u'\r', body(12));
                break;
            case AnswerKind::Area: {
                QString label = number;
                if (q.score)
                    label += QStringLiteral("（%1分）").arg(scoreText(*q.score));
                areaLook.rowHeightsMm = {answerAreaHeightMm(q.type)};
                doc.appendTable({{label}}, areaLook);
                // Tables that touch would become one in Word.
                doc.append(QStringLiteral("\r"), body(6));
                break;
            }
            }
        }
    }
}

}  // namespace zs
