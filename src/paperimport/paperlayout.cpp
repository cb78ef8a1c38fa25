#include "paperimport/paperlayout.h"

#include "questions/similarity.h"

#include <QHash>
#include <QRegularExpression>
#include <cmath>

namespace zs {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == QChar(0x3000) || c == QChar(0x00A0);
}

// 0–9 in half or full width, else -1.
int digitValue(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
        return c.unicode() - 0xFF10;
    return -1;
}

bool isNumberMark(QChar c) {
    return c == u'.' || c == QChar(0xFF0E) || c == u'、' || c == u')' || c == QChar(0xFF09);
}

const QString kNumerals = QStringLiteral("一二三四五六七八九十");

// Full-width letters, digits and brackets folded, for reading scores.
QString folded(const QString& text) {
    return text.normalized(QString::NormalizationForm_KC);
}

std::optional<double> number(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && value > 0 ? std::optional<double>(value) : std::nullopt;
}

// A paragraph inside a question where its answer begins (a paper with the
// answer after each question).
bool startsInlineAnswer(const QString& paragraph) {
    static const QRegularExpression marker(
        QStringLiteral("^\\s*(【(参考)?答案】|【解析】|【解答】|【详解】|【分析】|【点睛】|【点评】|【考点】|【专题】|"
                       "(参考)?答案\\s*[:：])"));
    return marker.match(paragraph).hasMatch();
}

// Whether the text after a number reads as the start of a question, not as the
// rest of a number or a calculation ("4.5×2=9", "4．5元").
bool questionLike(const QString& paragraph, const NumberedStart& start) {
    if (start.decimalLike)
        return false;
    int mark = start.length - 1;
    while (mark > 0 && isBlank(paragraph[mark]))
        --mark;
    if (mark + 1 < paragraph.size() && digitValue(paragraph[mark + 1]) >= 0)
        return false;
    const QString rest = paragraph.mid(start.length).trimmed();
    if (rest.isEmpty())
        return false;
    static const QString operators = QStringLiteral("×÷+-−=＝＋－%％）)");
    return !operators.contains(rest[0]);
}

// A part heading of a paper ("第I卷", "第Ⅱ卷（非选择题）").
bool isPartHeading(const QString& text) {
    static const QRegularExpression part(QStringLiteral("^第\\s*[%1ⅠⅡⅢⅣIVX0-9]+\\s*卷").arg(kNumerals));
    return part.match(text.trimmed()).hasMatch();
}

struct Item {
    int number = 0;
    int section = -1;
    BlockRange range;
};

// Moves a range past a first paragraph that holds only its number, and drops
// blank paragraphs at its end.
void tidy(const QList<DocumentBlock>& blocks, BlockRange& r) {
    const DocumentBlock& first = blocks[r.firstBlock];
    // (A range cannot begin with a table: a number before a table stays.)
    if (r.lastBlock > r.firstBlock && !blocks[r.firstBlock + 1].table && first.pictures == 0 &&
        first.formulas.isEmpty() && first.objects == 0 && first.text.mid(r.firstChar).trimmed().isEmpty() &&
        (r.firstBlock + 1 < r.lastBlock || r.endChar < 0)) {
        ++r.firstBlock;
        r.firstChar = 0;
    }
    while (r.lastBlock > r.firstBlock && r.endChar < 0 && isBlankBlock(blocks[r.lastBlock]))
        --r.lastBlock;
}

// The numbered items of a stretch of blocks: questions (strictly one after
// another) or answers (the next may skip a few numbers, and one paragraph may
// hold several).
QList<Item> numberedItems(const QList<DocumentBlock>& blocks, int from, int to, bool answers,
                          QList<PaperSection>* sections, const QStringList& bankTypes, int* answerHeading,
                          QStringList* dropped) {
    QList<Item> items;
    bool open = false;
    bool afterHeading = false;
    bool inAnswer = false;  // inside the answer written after a question
    int section = -1;
    for (int i = from; i < to; ++i) {
        const DocumentBlock& b = blocks[i];
        if (isPaperFurniture(b)) {
            if (dropped && !items.isEmpty())
                *dropped << QString(b.text).replace(u'\t', u' ').replace(u'\r', u' ').simplified();
            open = false;
            inAnswer = false;
            afterHeading = afterHeading || isPartHeading(b.text);
            continue;
        }
        if (!b.table) {
            if (answerHeading && !items.isEmpty() && isAnswerHeading(b.text)) {
                *answerHeading = i;
                break;
            }
            if (isSectionHeading(b.text)) {
                open = false;
                inAnswer = false;
                afterHeading = true;
                ++section;
                if (sections) {
                    PaperSection s;
                    s.block = i;
                    s.heading = b.text.trimmed();
                    s.type = typeForHeading(s.heading, bankTypes);
                    s.score = headingScore(s.heading);
                    s.blankScore = headingBlankScore(s.heading);
                    *sections << s;
                }
                continue;
            }
            if (const auto start = numberedStart(b.text)) {
                const int last = items.isEmpty() ? 0 : items.back().number;
                // A number that may be a decimal starts an item only where the
                // numbering goes on with it.
                bool next = answers && !start->decimalLike ? start->number > last && start->number <= last + 3
                                                           : start->number == last + 1;
                // Inside an answer only the next question, at a paragraph's
                // start with question text after its number, ends it.
                if (inAnswer && !questionLike(b.text, *start))
                    next = false;
                const bool first = items.isEmpty() && (!start->decimalLike || start->number == 1);
                if (first || next || (afterHeading && start->number == 1)) {
                    const QList<InlineItem> inlineAnswers = answers ? inlineItems(b.text) : QList<InlineItem>();
                    if (inlineAnswers.size() > 1) {
                        for (int k = 0; k < inlineAnswers.size(); ++k) {
                            Item item;
                            item.number = inlineAnswers[k].number;
                            item.section = section;
                            item.range = {i, inlineAnswers[k].textStart, i, -1};
                            if (k + 1 < inlineAnswers.size()) {
                                int end = inlineAnswers[k + 1].start;
                                while (end > item.range.firstChar && isBlank(b.text[end - 1]))
                                    --end;
                                item.range.endChar = end;
                            }
                            items << item;
                        }
                    } else {
                        Item item;
                        item.number = start->number;
                        item.section = section;
                        item.range = {i, start->length, i, -1};
                        items << item;
                    }
                    open = true;
                    inAnswer = false;
                    afterHeading = false;
                    continue;
                }
            }
            if (!answers && open && startsInlineAnswer(b.text))
                inAnswer = true;
        }
        if (open && items.back().range.endChar < 0)
            items.back().range.lastBlock = i;
    }
    for (Item& item : items)
        tidy(blocks, item.range);
    return items;
}

}  // namespace

std::optional<NumberedStart> numberedStart(const QString& p) {
    int i = 0;
    while (i < p.size() && isBlank(p[i]))
        ++i;
    int value = 0;
    int digits = 0;
    while (i < p.size() && digitValue(p[i]) >= 0 && digits < 4) {
        value = value * 10 + digitValue(p[i]);
        ++digits;
        ++i;
    }
    if (digits == 0 || digits > 3 || value == 0)
        return std::nullopt;
    while (i < p.size() && isBlank(p[i]))
        ++i;
    if (i >= p.size() || !isNumberMark(p[i]))
        return std::nullopt;
    const QChar mark = p[i];
    ++i;
    if ((mark == u'.' || mark == QChar(0xFF0E)) && i < p.size() && p[i] == mark)
        return std::nullopt;
    const bool decimalLike = mark == u'.' && i < p.size() && digitValue(p[i]) >= 0;
    while (i < p.size() && isBlank(p[i]))
        ++i;
    return NumberedStart{value, i, decimalLike};
}

QList<InlineItem> inlineItems(const QString& p) {
    QList<InlineItem> out;
    const auto first = numberedStart(p);
    if (!first)
        return out;
    int start = 0;
    while (start < p.size() && isBlank(p[start]))
        ++start;
    out << InlineItem{first->number, start, first->length};
    int expected = first->number + 1;
    for (int i = first->length + 1; i < p.size(); ++i) {
        if (!isBlank(p[i - 1]) || digitValue(p[i]) < 0)
            continue;
        const auto next = numberedStart(p.mid(i));
        if (next && !next->decimalLike && next->number == expected) {
            out << InlineItem{next->number, i, i + next->length};
            ++expected;
            i += next->length - 1;
        }
    }
    return out;
}

bool isSectionHeading(const QString& paragraph) {
    const QString t = paragraph.trimmed();
    if (t.isEmpty() || t.size() > 120)
        return false;
    static const QRegularExpression numbered(QStringLiteral("^[%1]{1,3}\\s*[、.．，,]\\s*\\S").arg(kNumerals));
    static const QRegularExpression part(QStringLiteral("^第\\s*[%1ⅠⅡⅢⅣIVX0-9]+\\s*(部分|卷)").arg(kNumerals));
    static const QRegularExpression kind(
        QStringLiteral("^(单项选择|多项选择|不定项选择|选择|填空|判断|计算|解答|作图|证明|简答|问答|实验|探究|综合|"
                       "阅读|作文|写作|应用|非选择)题"));
    if (numbered.match(t).hasMatch())
        return t.contains(u'题');
    if (part.match(t).hasMatch())
        return true;
    return t.size() <= 40 && kind.match(t).hasMatch();
}

QString typeForHeading(const QString& heading, const QStringList& bankTypes) {
    QStringList byLength = bankTypes;
    std::stable_sort(byLength.begin(), byLength.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& t : byLength)
        if (!t.isEmpty() && heading.contains(t))
            return t;
    static const QList<QPair<QString, QString>> kinds = {
        {"非选择", "解答题"}, {"多项选择", "多选题"}, {"多选", "多选题"}, {"不定项", "多选题"}, {"单项选择", "单选题"},
        {"单选", "单选题"},   {"选择", "单选题"},     {"判断", "判断题"}, {"填空", "填空题"},   {"计算", "计算题"},
        {"作图", "作图题"},   {"画图", "作图题"},     {"作文", "作文题"}, {"写作", "作文题"},   {"解答", "解答题"},
        {"简答", "解答题"},   {"问答", "解答题"},     {"证明", "解答题"}, {"综合", "解答题"},   {"应用", "解答题"},
        {"实验", "解答题"},   {"探究", "解答题"}};
    for (const auto& [word, type] : kinds)
        if (heading.contains(word))
            return bankTypes.contains(type) ? type : QString();
    return {};
}

bool isAnswerHeading(const QString& paragraph) {
    QString t = paragraph;
    t.remove(QRegularExpression(QStringLiteral("\\s")));
    static const QRegularExpression numeral(QStringLiteral("^[%1]{1,3}[、.．]").arg(kNumerals));
    t.remove(numeral);
    while (t.endsWith(u':') || t.endsWith(u'：'))
        t.chop(1);
    static const QRegularExpression bracketed(QStringLiteral("^[【\\[]((参考|标准)答案[^】\\]]*)[】\\]]$"));
    if (const auto m = bracketed.match(t); m.hasMatch())
        t = m.captured(1);
    static const QRegularExpression heading(QStringLiteral(
        "^(参考答案|标准答案|试题答案|答案)([与及和、]?(解析|详解|评分标准|评分参考|评分细则|提示|点拨))*$"));
    return heading.match(t).hasMatch();
}

std::optional<double> headingScore(const QString& heading) {
    const QString t = folded(heading);
    static const QRegularExpression each(QStringLiteral("每[小道]?题\\s*(\\d+(?:\\.\\d+)?)\\s*分"));
    if (const auto m = each.match(t); m.hasMatch())
        return number(m.captured(1));
    static const QRegularExpression total(
        QStringLiteral("共有?\\s*(\\d+)\\s*[道个]?小?题.*?共\\s*(\\d+(?:\\.\\d+)?)\\s*分"));
    if (const auto m = total.match(t); m.hasMatch()) {
        const auto count = number(m.captured(1));
        const auto points = number(m.captured(2));
        if (count && points)
            return std::round(*points / *count * 10) / 10;
    }
    return std::nullopt;
}

std::optional<double> headingBlankScore(const QString& heading) {
    static const QRegularExpression each(QStringLiteral("每(?:个)?空(?:格)?\\s*(\\d+(?:\\.\\d+)?)\\s*分"));
    if (const auto m = each.match(folded(heading)); m.hasMatch())
        return number(m.captured(1));
    return std::nullopt;
}

int blanksIn(const QString& questionText) {
    static const QRegularExpression blank(QStringLiteral("[_＿]{2,}"));
    int count = 0;
    for (auto it = blank.globalMatch(questionText); it.hasNext(); it.next())
        ++count;
    return std::max(count, 1);
}

bool isPaperFurniture(const DocumentBlock& block) {
    QString t = block.text;
    t.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}]")));
    if (t.isEmpty())
        return false;
    if (block.table)
        return t.size() <= 40 && (t.contains(QStringLiteral("评卷人")) || t.contains(QStringLiteral("阅卷人")) ||
                                  t == QStringLiteral("得分"));
    if (t.size() > 80)
        return false;
    static const QRegularExpression patterns(
        QStringLiteral("^(第[%1ⅠⅡⅢⅣIVX0-9]+卷"                           // part headings
                       "|请点击修改第.*卷的文字说明"                     // their notes
                       "|(评卷人|阅卷人)(得分)?$|得分(评卷人|阅卷人)?$"  // score boxes
                       "|注意事项[:：]?$"                                // the notes' heading
                       "|.*密封线.*"                                     // the sealing line
                       "|(试卷)?第\\d+页[,，]?共\\d+页$|第\\d+页$"       // page lines
                       "|.*(学校|姓名)[:：_].*班级[:：_].*)")            // the line for the pupil's name
            .arg(kNumerals));
    if (patterns.match(t).hasMatch())
        return true;
    // The title line: "××学校2023-2024学年上学期期中试卷", no sentence in it.
    static const QRegularExpression title(
        QStringLiteral("^[^0-9０-９]*学校.*学年.*(试卷|试题|测试|考试|检测|练习)[^，。？?！!；;]*$"));
    return title.match(t).hasMatch() && !t.contains(QRegularExpression(QStringLiteral("[，。？?！!；;]")));
}

std::optional<double> questionScore(const QString& firstParagraph) {
    const QString t = folded(firstParagraph);
    static const QRegularExpression leading(
        QStringLiteral("^\\s*\\(\\s*(?:本[小大]?题)?\\s*(?:满分)?\\s*(?:为|共)?\\s*(\\d+(?:\\.\\d+)?)\\s*分\\s*\\)"));
    if (const auto m = leading.match(t); m.hasMatch())
        return number(m.captured(1));
    static const QRegularExpression stated(
        QStringLiteral("本[小大]?题(?:满分)?(?:为|共)?\\s*(\\d+(?:\\.\\d+)?)\\s*分"));
    if (const auto m = stated.match(t); m.hasMatch())
        return number(m.captured(1));
    return std::nullopt;
}

QString scoreText(double score) {
    return QString::number(score, 'g', 6);
}

bool isBlankBlock(const DocumentBlock& block) {
    return !block.table && block.text.trimmed().isEmpty() && block.pictures == 0 && block.formulas.isEmpty() &&
           block.objects == 0;
}

QString passageText(const QList<DocumentBlock>& blocks, const BlockRange& range, bool formulas) {
    QStringList paragraphs;
    for (int b = range.firstBlock; b <= range.lastBlock && b < blocks.size(); ++b) {
        if (b < 0)
            continue;
        QString text = blocks[b].text;
        if (b == range.lastBlock && range.endChar >= 0)
            text = text.left(range.endChar);
        if (b == range.firstBlock)
            text = text.mid(range.firstChar);
        if (formulas)
            for (const QString& formula : blocks[b].formulas)
                text += u' ' + formulaWords(formula);
        paragraphs << text;
    }
    return paragraphs.join(u'\r');
}

PaperAnalysis analysePaper(const QList<DocumentBlock>& paper, const QList<DocumentBlock>& answers,
                           const QStringList& bankTypes) {
    PaperAnalysis layout;
    int answerHeading = -1;
    QList<Item> questions =
        numberedItems(paper, 0, int(paper.size()), false, &layout.sections, bankTypes, &answerHeading, &layout.dropped);
    layout.answerSection = answerHeading;
    // Numbered notes before the first heading of a paper with headings are
    // not questions.
    if (!layout.sections.isEmpty())
        questions.erase(std::remove_if(questions.begin(), questions.end(), [](const Item& q) { return q.section < 0; }),
                        questions.end());

    QList<Item> found;
    int answerDocument = Passage::None;
    if (!answers.isEmpty()) {
        found = numberedItems(answers, 0, int(answers.size()), true, nullptr, bankTypes, nullptr, &layout.dropped);
        answerDocument = Passage::Answers;
    } else if (answerHeading >= 0) {
        found = numberedItems(paper, answerHeading + 1, int(paper.size()), true, nullptr, bankTypes, nullptr,
                              &layout.dropped);
        answerDocument = Passage::Paper;
    }

    for (const Item& q : questions) {
        DetectedQuestion d;
        d.number = q.number;
        d.section = q.section;
        if (q.section >= 0) {
            d.type = layout.sections[q.section].type;
            d.score = layout.sections[q.section].score;
        }
        d.question = {Passage::Paper, q.range};
        const QString first = paper[q.range.firstBlock].text.mid(q.range.firstChar);
        if (const auto own = questionScore(first))
            d.score = own;
        layout.questions << d;
    }

    // A section scored by blanks: each question by the blanks it leaves
    // (read once its answer is cut off).
    auto scoreByBlanks = [&] {
        for (DetectedQuestion& d : layout.questions)
            if (d.section >= 0 && !d.score)
                if (const auto perBlank = layout.sections[d.section].blankScore)
                    d.score = *perBlank * blanksIn(passageText(paper, d.question.range));
    };

    // Answers after each question, when the paper has no answer section.
    if (answerDocument == Passage::None) {
        for (DetectedQuestion& d : layout.questions) {
            BlockRange& r = d.question.range;
            for (int b = r.firstBlock + 1; b <= r.lastBlock; ++b) {
                if (paper[b].table || !startsInlineAnswer(paper[b].text))
                    continue;
                d.answer = {Passage::Paper, {b, 0, r.lastBlock, -1}};
                r.lastBlock = b - 1;
                tidy(paper, r);
                break;
            }
        }
        scoreByBlanks();
        return layout;
    }
    scoreByBlanks();

    // The k-th answer numbered n belongs to the k-th question numbered n.
    QHash<QPair<int, int>, int> questionByKey;
    QHash<int, int> seen;
    for (int i = 0; i < layout.questions.size(); ++i) {
        const int n = layout.questions[i].number;
        questionByKey.insert(qMakePair(n, seen[n]++), i);
    }
    seen.clear();
    for (const Item& a : found) {
        const auto key = qMakePair(a.number, seen[a.number]++);
        const auto it = questionByKey.constFind(key);
        if (it == questionByKey.constEnd() || layout.questions[*it].answer.isValid()) {
            layout.strayAnswers << a.number;
            continue;
        }
        layout.questions[*it].answer = {answerDocument, a.range};
    }
    return layout;
}

}  // namespace zs
