#include "paper/papersettings.h"

#include "paper/spectable.h"
#include "store/bank.h"

#include <QRegularExpression>

namespace zs {

namespace {

// Names of the remembered settings in the bank.
const QString kTitleKey = QStringLiteral("试卷标题");
const QString kSubtitleKey = QStringLiteral("试卷副标题");
const QString kSchoolKey = QStringLiteral("学校名称");
const QString kMinutesKey = QStringLiteral("考试时间");
const QString kIntendedTotalKey = QStringLiteral("预定总分");
const QString kLayoutKey = QStringLiteral("试卷版式");
const QString kAnswerSheetKey = QStringLiteral("生成答题卡");
const QString kDocxKey = QStringLiteral("另存docx");
const QString kExamDigitsKey = QStringLiteral("考号位数");
const QString kPdfKey = QStringLiteral("另存pdf");

const QString kYes = QStringLiteral("是");

const QStringList& layoutKeys() {
    static const QStringList keys = {QStringLiteral("A4"), QStringLiteral("A3"), QStringLiteral("8K")};
    return keys;
}

// One line of a title: blanks at the ends and line breaks go.
QString oneLine(QString s) {
    s.replace(QRegularExpression(QStringLiteral("[\\r\\n\\t]+")), QStringLiteral(" "));
    return s.trimmed();
}

}  // namespace

PaperSettings PaperSettings::load(Bank& bank) {
    PaperSettings s;
    s.title = bank.setting(kTitleKey);
    s.subtitle = bank.setting(kSubtitleKey);
    s.school = bank.setting(kSchoolKey);
    s.minutes = qMax(0, bank.setting(kMinutesKey).toInt());
    s.intendedTotal = parseScore(bank.setting(kIntendedTotalKey));
    const int layout = layoutKeys().indexOf(bank.setting(kLayoutKey));
    s.layout = layout < 0 ? PaperLayout::A4Portrait : PaperLayout(layout);
    s.answerSheet = bank.setting(kAnswerSheetKey) == kYes;
    s.docx = bank.setting(kDocxKey) == kYes;
    s.pdf = bank.setting(kPdfKey) == kYes;
    bool digitsOk = false;
    const int digits = bank.setting(kExamDigitsKey).toInt(&digitsOk);
    if (digitsOk && digits >= kExamDigitsMin && digits <= kExamDigitsMax)
        s.examDigits = digits;
    return s;
}

void PaperSettings::save(Bank& bank) const {
    const auto yesNo = [](bool on) { return on ? kYes : QStringLiteral("否"); };
    bank.transaction([&] {
        bank.setSetting(kTitleKey, title);
        bank.setSetting(kSubtitleKey, subtitle);
        bank.setSetting(kSchoolKey, school);
        bank.setSetting(kMinutesKey, minutes > 0 ? QString::number(minutes) : QString());
        bank.setSetting(kIntendedTotalKey, intendedTotal ? scoreText(*intendedTotal) : QString());
        bank.setSetting(kLayoutKey, layoutKeys()[int(layout)]);
        bank.setSetting(kAnswerSheetKey, yesNo(answerSheet));
        bank.setSetting(kDocxKey, yesNo(docx));
        bank.setSetting(kPdfKey, yesNo(pdf));
        bank.setSetting(kExamDigitsKey, QString::number(examDigits));
    });
}

const QStringList& layoutCaptions() {
    static const QStringList captions = {QStringLiteral("A4 纵向 一栏"), QStringLiteral("A3 横向 两栏 带密封线"),
                                         QStringLiteral("8K 横向 两栏 带密封线（368×260毫米）")};
    return captions;
}

QString totalMismatch(const PaperScores& scores, std::optional<int> intendedTotal) {
    if (!intendedTotal || !scores.any() || scores.total == *intendedTotal)
        return {};
    return QStringLiteral("各题分值合计%1分，与预定总分%2分不一致。")
        .arg(scoreText(scores.total), scoreText(*intendedTotal));
}

PaperSettingsCheck checkPaperSettings(const PaperSettingsInput& input, const PaperScores& scores) {
    PaperSettingsCheck check;
    PaperSettings& s = check.settings;
    s.title = oneLine(input.title);
    s.subtitle = oneLine(input.subtitle);
    s.school = oneLine(input.school);
    if (s.title.size() > 60 || s.subtitle.size() > 60 || s.school.size() > 60)
        check.complaints << QStringLiteral("学校、标题和副标题最多60个字。");

    const QString minutes = input.minutes.trimmed();
    if (!minutes.isEmpty()) {
        bool ok = false;
        const int value = minutes.toInt(&ok);
        if (!ok || value < 1 || value > 1440)
            check.complaints << QStringLiteral("考试时间要填写1到1440之间的整数（分钟），例如 120。");
        else
            s.minutes = value;
    }
    const QString intended = input.intendedTotal.trimmed();
    if (!intended.isEmpty()) {
        s.intendedTotal = parseScore(intended);
        if (!s.intendedTotal)
            check.complaints << QStringLiteral("预定总分要填写一个大于0的数，最多一位小数，例如 100。");
    }
    s.layout = input.layout >= 0 && input.layout < layoutCaptions().size() ? PaperLayout(input.layout)
                                                                           : PaperLayout::A4Portrait;
    s.answerSheet = input.answerSheet;
    s.examDigits = std::clamp(input.examDigits, kExamDigitsMin, kExamDigitsMax);
    s.docx = input.docx;
    s.pdf = input.pdf;

    // A paper either has a score for every question or none at all.
    if (scores.any() && !scores.all()) {
        QStringList numbers;
        for (int n : scores.unscored())
            numbers << QStringLiteral("第%1题").arg(n);
        const int shown = 10;
        QString list = QStringList(numbers.mid(0, shown)).join(QStringLiteral("、"));
        if (numbers.size() > shown)
            list += QStringLiteral("等%1道题").arg(numbers.size());
        check.complaints << QStringLiteral("这些题目还没有分值：%1。请在双向细目表的<分值>一列填写，"
                                           "或者在<分值设置>中设好它们题型的分值。")
                                .arg(list);
    }
    check.totalWarning = totalMismatch(scores, s.intendedTotal);
    return check;
}

// ----------------------------------------------------------------- texts

QString sectionHeading(int section, const QString& type, int paperCount, const QVector<std::optional<int>>& scores) {
    const QString head = sectionNumeral(section) + QStringLiteral("、") + type;
    const bool scored = !scores.isEmpty() && std::all_of(scores.cbegin(), scores.cend(), [](auto s) { return s; });
    if (!scored)
        return head + QStringLiteral("（共有") + QString::number(paperCount) + QStringLiteral("道小题）\r");
    int total = 0;
    bool same = true;
    for (const auto& s : scores) {
        total += *s;
        same = same && *s == *scores.first();
    }
    const QString count = QStringLiteral("（本题共%1小题，").arg(scores.size());
    if (same)
        return head + count +
               QStringLiteral("每小题%1分，共%2分）\r").arg(scoreText(*scores.first()), scoreText(total));
    return head + count + QStringLiteral("共%1分）\r").arg(scoreText(total));
}

QString questionLabel(int number, std::optional<int> score) {
    QString label = QString::number(number) + u'.';
    if (score)
        label += QStringLiteral("（%1分）").arg(scoreText(*score));
    return label;
}

QString studentLine(bool withExamNumber, double widthMm, double pointSize) {
    const int fields = withExamNumber ? 4 : 3;
    int underscores = 12;
    if (widthMm > 0) {
        // Each field is three characters and all but the first follow a
        // full-width blank; an underscore is up to 0.6 of a character wide
        // in the fonts a school uses. Three characters are kept spare for
        // the fonts' own spacing.
        const double em = pointSize * 25.4 / 72;
        const double fixed = (fields * 3 + (fields - 1) + 3) * em;
        underscores = qBound(4, int((widthMm - fixed) / fields / (em * 0.6)), 12);
    }
    const QString blank(underscores, u'_');
    QString line =
        QStringLiteral("学校：") + blank + QStringLiteral("　班级：") + blank + QStringLiteral("　姓名：") + blank;
    if (withExamNumber)
        line += QStringLiteral("　考号：") + blank;
    return line;
}

QString timeAndMarkLine(int minutes, std::optional<int> fullMark) {
    QStringList parts;
    if (minutes > 0)
        parts << QStringLiteral("考试时间：%1分钟").arg(minutes);
    if (fullMark && *fullMark > 0)
        parts << QStringLiteral("满分：%1分").arg(scoreText(*fullMark));
    return parts.join(QStringLiteral("　　"));
}

std::optional<PageSetup> paperPage(PaperLayout layout) {
    PageSetup page;
    switch (layout) {
    case PaperLayout::A4Portrait:
        return std::nullopt;
    case PaperLayout::A3TwoColumns:
        page.widthMm = 420;
        page.heightMm = 297;
        page.leftMm = 35;
        page.rightMm = 15;
        page.topMm = 15;
        page.bottomMm = 15;
        page.columns = 2;
        page.columnGapMm = 25;  // the fold of the sheet runs between the columns
        return page;
    case PaperLayout::K8TwoColumns:
        page.widthMm = 368;
        page.heightMm = 260;
        page.leftMm = 33;
        page.rightMm = 12;
        page.topMm = 12;
        page.bottomMm = 12;
        page.columns = 2;
        page.columnGapMm = 20;
        return page;
    }
    return std::nullopt;
}

PageDecoration sealingLine(PaperLayout layout) {
    PageDecoration d;
    const std::optional<PageSetup> page = paperPage(layout);
    if (!page)
        return d;
    const double top = page->topMm;
    const double height = page->heightMm - page->topMm - page->bottomMm;
    // From the sheet's edge inwards: the student fields, the words, the dashed
    // line, then the margin before the text.
    const double line = page->leftMm - 11;
    PageTextBox fields;
    fields.text = QStringLiteral("学校：______________　　班级：______________　　姓名：______________　　"
                                 "考号：______________");
    fields.xMm = line - 20;
    fields.yMm = top;
    fields.widthMm = 9;
    fields.heightMm = height;
    fields.vertical = true;
    fields.pointSize = 12;
    PageTextBox words;
    words.text = QStringLiteral("密　　封　　线　　内　　不　　要　　答　　题");
    words.xMm = line - 8;
    words.widthMm = 6;
    words.heightMm = qMin(height, 150.0);
    words.yMm = top + (height - words.heightMm) / 2;
    words.vertical = true;
    words.pointSize = 12;
    d.boxes = {fields, words};
    PageLine dashed;
    dashed.xMm = line;
    dashed.yMm = top;
    dashed.lengthMm = height;
    d.lines = {dashed};
    return d;
}

QString markedTitle(const QString& title, const QString& mark) {
    if (mark.isEmpty())
        return title;
    if (title.isEmpty())
        return mark;
    return title + u'（' + mark + u'）';
}

}  // namespace zs
