#include "paper/answercard.h"

#include "office/officeerror.h"
#include "paper/scores.h"

#include <QDir>
#include <QFont>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <qrencode.h>

namespace zs {

namespace {

// The page's furniture.
constexpr double kMarkSize = 6;     // the corner marks' side
constexpr double kMarkInset = 7;    // from the page's edges to a mark's outer side
constexpr double kMargin = 16;      // the content starts here on every side
constexpr double kQrSide = 18;      // the QR code, top right inside the margin
constexpr double kBandHeight = 22;  // the band of the title and the QR code
constexpr double kFooter = 18;      // the content ends this far from the foot
constexpr double kColumnGap = 10;

// The 考号 grid.
constexpr double kDigitWidth = 6.5;
constexpr double kDigitWriteRow = 8;
constexpr double kDigitRow = 4.6;

// Option bubbles.
constexpr double kBubbleWidth = 5;
constexpr double kBubbleHeight = 3.2;
constexpr double kOptionPitch = 6.5;
constexpr double kRowHeight = 5.2;
constexpr double kNumberWidth = 8;
constexpr int kBlockRows = 5;

const QString kFontFamily = QStringLiteral("Noto Sans CJK SC");
const QString kQrPrefix = QStringLiteral("ZSDTK");

QRectF bubbleIn(double left, double top, double cellWidth, double cellHeight) {
    return QRectF(left + (cellWidth - kBubbleWidth) / 2, top + (cellHeight - kBubbleHeight) / 2, kBubbleWidth,
                  kBubbleHeight);
}

QString chineseNumber(int n) {
    static const QStringList digits = {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
    if (n <= 10)
        return digits[n];
    if (n < 20)
        return u'十' + digits[n - 10];
    return digits[n / 10] + u'十' + (n % 10 ? digits[n % 10] : QString());
}

// Places the parts of the sheet column after column, page after page.
class CardFlow {
public:
    CardFlow(CardLayout& layout, int columns) : layout_(layout), columns_(columns) {
        const double contentWidth = layout.page.width() - 2 * kMargin;
        columnWidth_ = (contentWidth - kColumnGap * (columns - 1)) / columns;
        y_ = top();
    }

    double top() const { return kMargin + kBandHeight; }
    double bottom() const { return layout_.page.height() - kFooter; }
    double left() const { return kMargin + column_ * (columnWidth_ + kColumnGap); }
    double width() const { return columnWidth_; }
    int page() const { return page_; }
    double columnHeight() const { return bottom() - top(); }

    // The top of a part `height` high, in this column or the next.
    double take(double height) {
        if (y_ + height > bottom() && y_ > top()) {
            if (++column_ == columns_) {
                column_ = 0;
                ++page_;
            }
            y_ = top();
        }
        const double at = y_;
        y_ += height;
        return at;
    }
    void skip(double height) { y_ += height; }
    double remaining() const { return bottom() - y_; }

private:
    CardLayout& layout_;
    int columns_;
    double columnWidth_ = 0;
    int page_ = 0;
    int column_ = 0;
    double y_ = 0;
};

void addText(CardLayout& layout, int page, const QRectF& rect, const QString& text, double size, bool bold = false,
             int align = Qt::AlignLeft | Qt::AlignVCenter, bool grey = false) {
    layout.texts << CardText{page, rect, text, size, bold, align, grey};
}

void layoutIdentity(CardLayout& layout, CardFlow& flow) {
    const double gridWidth = layout.examDigits * kDigitWidth;
    const double gridHeight = 5 + kDigitWriteRow + 10 * kDigitRow + 1;
    const double top = flow.take(gridHeight + 4);
    const int page = flow.page();
    const double gridLeft = flow.left() + flow.width() - gridWidth;

    // The 考号 grid: a box per digit to write it, then the bubbles 0–9.
    addText(layout, page, QRectF(gridLeft, top, gridWidth, 5), QStringLiteral("考　号"), 3.2, true, Qt::AlignCenter);
    const double boxesTop = top + 5;
    layout.frames << CardShape{page, QRectF(gridLeft, boxesTop, gridWidth, kDigitWriteRow + 10 * kDigitRow + 1)};
    layout.areas << CardArea{page, 0, QRectF(gridLeft, boxesTop, gridWidth, kDigitWriteRow + 10 * kDigitRow + 1)};
    for (int d = 0; d < layout.examDigits; ++d) {
        const double x = gridLeft + d * kDigitWidth;
        if (d > 0)
            layout.lines << CardShape{page, QRectF(x, boxesTop, 0, kDigitWriteRow)};
        for (int v = 0; v < 10; ++v) {
            const double y = boxesTop + kDigitWriteRow + 0.5 + v * kDigitRow;
            layout.bubbles << CardBubble{page, CardBubble::Role::Digit, d, QChar(u'0' + v),
                                         bubbleIn(x, y, kDigitWidth, kDigitRow)};
        }
    }
    layout.lines << CardShape{page, QRectF(gridLeft, boxesTop + kDigitWriteRow, gridWidth, 0)};

    // Left of the grid: name, class, 缺考, the notes.
    const double left = flow.left();
    const double width = gridLeft - left - 4;
    double y = top + 5;
    for (const QString& label : {QStringLiteral("姓　名"), QStringLiteral("班　级")}) {
        addText(layout, page, QRectF(left, y, 14, 9), label, 3.5, true);
        layout.frames << CardShape{page, QRectF(left + 15, y, width - 15, 9)};
        y += 11;
    }
    addText(layout, page, QRectF(left, y, 40, 6), QStringLiteral("缺考标记"), 3.2, true);
    layout.bubbles << CardBubble{page, CardBubble::Role::Absent, 0, QChar(), QRectF(left + 18, y + 1.4, 7, 3.2)};
    addText(layout, page, QRectF(left + 27, y, width - 27, 6), QStringLiteral("（考生禁填，由监考老师填涂）"), 2.8);
    y += 8;
    const double notesHeight = top + gridHeight - y;
    layout.frames << CardShape{page, QRectF(left, y, width, notesHeight)};
    const QStringList notes = {
        QStringLiteral("注意事项"),
        QStringLiteral("1. 答题前填写姓名、班级，并用2B铅笔填涂考号。"),
        QStringLiteral("2. 选择题用2B铅笔把所选选项涂满涂黑，修改时用橡皮擦干净。"),
        QStringLiteral("3. 非选择题用黑色签字笔在各题的答题区域内作答，超出区域的答案无效。"),
        QStringLiteral("4. 保持卡面清洁，不要折叠、不要弄破。"),
    };
    const double lineHeight = std::min(5.0, (notesHeight - 2) / notes.size());
    for (int i = 0; i < notes.size(); ++i)
        addText(layout, page, QRectF(left + 2, y + 1 + i * lineHeight, width - 4, lineHeight), notes[i],
                i == 0 ? 3.2 : 2.6, i == 0);
}

void layoutChoices(CardLayout& layout, CardFlow& flow, const QVector<CardQuestion>& questions) {
    int options = 0;
    for (const CardQuestion& q : questions)
        options = std::max(options, int(q.options.size()));
    const double blockWidth = kNumberWidth + options * kOptionPitch + 2;
    const int perBand = std::max(1, int((flow.width() + 3) / (blockWidth + 3)));
    for (int first = 0; first < questions.size(); first += perBand * kBlockRows) {
        const int inBand = std::min<int>(perBand * kBlockRows, questions.size() - first);
        const int rows = std::min(kBlockRows, inBand);
        const double top = flow.take(rows * kRowHeight + 3);
        const int page = flow.page();
        for (int i = 0; i < inBand; ++i) {
            const CardQuestion& q = questions[first + i];
            const int block = i / kBlockRows;
            const double x = flow.left() + block * (blockWidth + 3);
            const double y = top + (i % kBlockRows) * kRowHeight;
            if (i % kBlockRows == 0) {
                const int blockRows = std::min(kBlockRows, inBand - i);
                layout.frames << CardShape{page, QRectF(x, top - 0.5, blockWidth, blockRows * kRowHeight + 1)};
            }
            addText(layout, page, QRectF(x + 0.5, y, kNumberWidth - 1, kRowHeight), QString::number(q.number), 3, false,
                    Qt::AlignRight | Qt::AlignVCenter);
            for (int o = 0; o < q.options.size(); ++o) {
                const double ox = x + kNumberWidth + o * kOptionPitch;
                layout.bubbles << CardBubble{page, CardBubble::Role::Option, q.number, q.options[o],
                                             bubbleIn(ox, y, kOptionPitch, kRowHeight)};
            }
            layout.areas << CardArea{page, q.number, QRectF(x, y, blockWidth, kRowHeight)};
        }
    }
}

void layoutBlanks(CardLayout& layout, CardFlow& flow, const QVector<CardQuestion>& questions) {
    constexpr double kLine = 10;
    for (const CardQuestion& q : questions) {
        const double top = flow.take(kLine);
        const int page = flow.page();
        const QRectF row(flow.left(), top, flow.width(), kLine);
        addText(layout, page, QRectF(row.left(), top, kNumberWidth + 2, kLine), QString::number(q.number) + u'.', 3.2);
        layout.lines << CardShape{
            page, QRectF(row.left() + kNumberWidth + 2, row.bottom() - 1.5, row.width() - kNumberWidth - 2, 0)};
        layout.areas << CardArea{page, q.number, row};
    }
}

void layoutAreas(CardLayout& layout, CardFlow& flow, const QVector<CardQuestion>& questions, double scale) {
    for (const CardQuestion& q : questions) {
        double height = std::min(answerAreaHeightMm(q.type) * scale, flow.columnHeight() - 2);
        // An area a little shorter rather than a column or page more.
        if (flow.remaining() - 2 < height && flow.remaining() - 2 >= 0.7 * height)
            height = flow.remaining() - 2;
        const double top = flow.take(height + 2);
        const int page = flow.page();
        const QRectF area(flow.left(), top, flow.width(), height);
        layout.frames << CardShape{page, area};
        const QString label = QString::number(q.number) + u'.' +
                              (q.score ? QStringLiteral("（%1分）").arg(scoreText(*q.score)) : QString());
        addText(layout, page, QRectF(area.left() + 1.5, area.top() + 1, area.width() - 3, 5), label, 3.2);
        layout.areas << CardArea{page, q.number, area};
    }
}

QJsonArray rectJson(const QRectF& r) {
    return QJsonArray{r.x(), r.y(), r.width(), r.height()};
}
QRectF jsonRect(const QJsonValue& v) {
    const QJsonArray a = v.toArray();
    return QRectF(a.at(0).toDouble(), a.at(1).toDouble(), a.at(2).toDouble(), a.at(3).toDouble());
}

}  // namespace

CardKind cardKindOf(const QString& type) {
    if (type == u"多选题")
        return CardKind::Multiple;
    switch (answerKindOf(type)) {
    case AnswerKind::Choice:
        return CardKind::Single;
    case AnswerKind::TrueFalse:
        return CardKind::TrueFalse;
    case AnswerKind::Blank:
        return CardKind::Blank;
    case AnswerKind::Area:
        break;
    }
    return CardKind::Area;
}

CardQuestion cardQuestionOf(int number, const QString& type, std::optional<int> score, const QString& key) {
    CardQuestion q;
    q.number = number;
    q.type = type;
    q.kind = cardKindOf(type);
    q.score = score;
    q.key = key;
    if (q.kind == CardKind::TrueFalse)
        q.options = QStringLiteral("TF");
    else if (isObjective(q.kind))
        q.options = QStringLiteral("ABCD");
    return q;
}

bool isObjective(CardKind kind) {
    return kind == CardKind::Single || kind == CardKind::Multiple || kind == CardKind::TrueFalse;
}

QVector<QRectF> CardLayout::cornerMarks() const {
    const double w = page.width(), h = page.height();
    const double far = kMarkInset + kMarkSize;
    return {QRectF(kMarkInset, kMarkInset, kMarkSize, kMarkSize), QRectF(w - far, kMarkInset, kMarkSize, kMarkSize),
            QRectF(w - far, h - far, kMarkSize, kMarkSize), QRectF(kMarkInset, h - far, kMarkSize, kMarkSize)};
}

QRectF CardLayout::qrRect() const {
    return QRectF(page.width() - kMargin - kQrSide, kMargin - 6, kQrSide, kQrSide);
}

QString CardLayout::qrText(int p) const {
    return QStringLiteral("%1%2|%3|%4").arg(kQrPrefix).arg(version).arg(key).arg(p + 1);
}

CardIdentity readCardIdentity(const QString& qrText) {
    CardIdentity id;
    const QStringList parts = qrText.split(u'|');
    if (parts.size() != 3 || !parts[0].startsWith(kQrPrefix))
        return id;
    bool versionOk = false, pageOk = false;
    const int version = parts[0].mid(kQrPrefix.size()).toInt(&versionOk);
    const int page = parts[2].toInt(&pageOk);
    if (!versionOk || !pageOk || page < 1 || parts[1].isEmpty())
        return id;
    id.key = parts[1];
    id.page = page - 1;
    id.version = version;
    return id;
}

const CardQuestion* CardLayout::question(int number) const {
    for (const CardQuestion& q : questions)
        if (q.number == number)
            return &q;
    return nullptr;
}

QVector<const CardBubble*> CardLayout::bubblesOf(CardBubble::Role role, int index) const {
    QVector<const CardBubble*> out;
    for (const CardBubble& b : bubbles)
        if (b.role == role && b.index == index)
            out << &b;
    return out;
}

std::optional<CardArea> CardLayout::areaOf(int number) const {
    for (const CardArea& a : areas)
        if (a.question == number)
            return a;
    return std::nullopt;
}

QByteArray CardLayout::toJson() const {
    QJsonObject o;
    o["key"] = key;
    o["version"] = version;
    o["page"] = QJsonArray{page.width(), page.height()};
    o["pages"] = pages;
    o["examDigits"] = examDigits;
    o["title"] = title;
    QJsonArray qs;
    for (const CardQuestion& q : questions) {
        QJsonObject j{
            {"number", q.number}, {"type", q.type}, {"kind", int(q.kind)}, {"options", q.options}, {"key", q.key}};
        if (q.score)
            j["score"] = *q.score;
        qs << j;
    }
    o["questions"] = qs;
    QJsonArray bs;
    for (const CardBubble& b : bubbles)
        bs << QJsonObject{{"page", b.page},
                          {"role", int(b.role)},
                          {"index", b.index},
                          {"value", b.value.isNull() ? QString() : QString(b.value)},
                          {"rect", rectJson(b.rect)}};
    o["bubbles"] = bs;
    QJsonArray as;
    for (const CardArea& a : areas)
        as << QJsonObject{{"page", a.page}, {"question", a.question}, {"rect", rectJson(a.rect)}};
    o["areas"] = as;
    QJsonArray fs, ls, ts;
    for (const CardShape& f : frames)
        fs << QJsonObject{{"page", f.page}, {"rect", rectJson(f.rect)}};
    for (const CardShape& l : lines)
        ls << QJsonObject{{"page", l.page}, {"rect", rectJson(l.rect)}};
    for (const CardText& t : texts)
        ts << QJsonObject{{"page", t.page}, {"rect", rectJson(t.rect)}, {"text", t.text}, {"size", t.sizeMm},
                          {"bold", t.bold}, {"align", t.align},         {"grey", t.grey}};
    o["frames"] = fs;
    o["lines"] = ls;
    o["texts"] = ts;
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

CardLayout CardLayout::fromJson(const QByteArray& json) {
    CardLayout l;
    const QJsonObject o = QJsonDocument::fromJson(json).object();
    if (o.isEmpty() || o["key"].toString().isEmpty())
        return l;
    l.key = o["key"].toString();
    l.version = o["version"].toInt();
    const QJsonArray page = o["page"].toArray();
    l.page = QSizeF(page.at(0).toDouble(), page.at(1).toDouble());
    l.examDigits = o["examDigits"].toInt();
    l.title = o["title"].toString();
    for (const QJsonValue& v : o["questions"].toArray()) {
        const QJsonObject j = v.toObject();
        CardQuestion q{j["number"].toInt(),     j["type"].toString(), CardKind(j["kind"].toInt()),
                       j["options"].toString(), std::nullopt,         j["key"].toString()};
        if (j.contains("score"))
            q.score = j["score"].toInt();
        l.questions << q;
    }
    for (const QJsonValue& v : o["bubbles"].toArray()) {
        const QJsonObject j = v.toObject();
        const QString value = j["value"].toString();
        l.bubbles << CardBubble{j["page"].toInt(), CardBubble::Role(j["role"].toInt()), j["index"].toInt(),
                                value.isEmpty() ? QChar() : value[0], jsonRect(j["rect"])};
    }
    for (const QJsonValue& v : o["areas"].toArray()) {
        const QJsonObject j = v.toObject();
        l.areas << CardArea{j["page"].toInt(), j["question"].toInt(), jsonRect(j["rect"])};
    }
    for (const QJsonValue& v : o["frames"].toArray())
        l.frames << CardShape{v["page"].toInt(), jsonRect(v["rect"])};
    for (const QJsonValue& v : o["lines"].toArray())
        l.lines << CardShape{v["page"].toInt(), jsonRect(v["rect"])};
    for (const QJsonValue& v : o["texts"].toArray()) {
        const QJsonObject j = v.toObject();
        l.texts << CardText{j["page"].toInt(),  jsonRect(j["rect"]), j["text"].toString(), j["size"].toDouble(),
                            j["bold"].toBool(), j["align"].toInt(),  j["grey"].toBool()};
    }
    // Pages last: a layout cut short reads as no layout.
    l.pages = o["pages"].toInt();
    return l;
}

namespace {

// The sheet with the written answers' areas `scale` times their usual height.
CardLayout layoutAt(const QString& key, const QString& title, const QVector<CardSection>& sections,
                    PaperLayout paperLayout, int examDigits, double scale) {
    CardLayout layout;
    layout.key = key;
    layout.title = title;
    layout.examDigits = std::clamp(examDigits, 1, 20);
    int columns = 2;
    switch (paperLayout) {
    case PaperLayout::A4Portrait:
        layout.page = QSizeF(210, 297);
        columns = 1;
        break;
    case PaperLayout::A3TwoColumns:
        layout.page = QSizeF(420, 297);
        break;
    case PaperLayout::K8TwoColumns:
        layout.page = QSizeF(368, 260);
        break;
    }
    CardFlow flow(layout, columns);
    layoutIdentity(layout, flow);

    int sectionNumber = 0;
    for (const CardSection& section : sections) {
        if (section.questions.isEmpty())
            continue;
        for (const CardQuestion& q : section.questions)
            layout.questions << q;
        ++sectionNumber;
        // The heading is placed with the first row of its questions.
        const CardQuestion& first = section.questions.first();
        const double firstHeight = isObjective(first.kind) ? kRowHeight + 3
                                   : first.kind == CardKind::Blank
                                       ? 10
                                       : std::min(answerAreaHeightMm(first.type) * scale, flow.columnHeight() - 2) + 2;
        const double top = flow.take(7 + firstHeight);
        flow.skip(-firstHeight);
        const QString heading =
            section.heading.isEmpty() ? chineseNumber(sectionNumber) + u'、' + first.type : section.heading;
        addText(layout, flow.page(), QRectF(flow.left(), top, flow.width(), 6), heading, 3.6, true);
        QVector<CardQuestion> run;
        const auto flush = [&] {
            if (run.isEmpty())
                return;
            if (isObjective(run.first().kind))
                layoutChoices(layout, flow, run);
            else if (run.first().kind == CardKind::Blank)
                layoutBlanks(layout, flow, run);
            else
                layoutAreas(layout, flow, run, scale);
            run.clear();
        };
        for (const CardQuestion& q : section.questions) {
            const bool sameShape =
                run.isEmpty() || run.first().kind == q.kind || (isObjective(run.first().kind) && isObjective(q.kind));
            if (!sameShape)
                flush();
            run << q;
        }
        flush();
        flow.skip(2);
    }
    layout.pages = flow.page() + 1;

    // The band on top of every page and the footer.
    for (int p = 0; p < layout.pages; ++p) {
        const QRectF band(kMargin, kMargin - 6, layout.page.width() - 2 * kMargin - kQrSide - 4, kBandHeight);
        addText(layout, p, QRectF(band.left(), band.top(), band.width(), 10), title, 5.5, true, Qt::AlignCenter);
        addText(layout, p, QRectF(band.left(), band.top() + 10, band.width(), 7), QStringLiteral("答　题　卡"), 4.2,
                true, Qt::AlignCenter);
        addText(layout, p, QRectF(0, layout.page.height() - 14, layout.page.width(), 5),
                QStringLiteral("第 %1 页 共 %2 页").arg(p + 1).arg(layout.pages), 3, false, Qt::AlignCenter);
    }
    return layout;
}

// Whether the last page holds less than half a column.
bool lastPageSparse(const CardLayout& layout) {
    const int last = layout.pages - 1;
    double bottom = 0;
    const auto see = [&](int page, const QRectF& r) {
        if (page != last)
            return true;
        if (layout.page.width() > layout.page.height() && r.left() > layout.page.width() / 2)
            return false;  // the second column is in use
        bottom = std::max(bottom, r.bottom());
        return true;
    };
    for (const CardArea& a : layout.areas)
        if (!see(a.page, a.rect))
            return false;
    for (const CardBubble& b : layout.bubbles)
        if (!see(b.page, b.rect))
            return false;
    const double top = kMargin + kBandHeight, height = layout.page.height() - kFooter - top;
    return bottom - top < height / 2;
}

}  // namespace

CardLayout layoutAnswerCard(const QString& key, const QString& title, const QVector<CardSection>& sections,
                            PaperLayout paperLayout, int examDigits) {
    // A last page that would hold only a little of what overflows the one
    // before is saved by shorter answer areas (down to 70 % of their height).
    const CardLayout full = layoutAt(key, title, sections, paperLayout, examDigits, 1.0);
    if (full.pages < 2 || !lastPageSparse(full))
        return full;
    for (const double scale : {0.9, 0.8, 0.7}) {
        CardLayout shorter = layoutAt(key, title, sections, paperLayout, examDigits, scale);
        if (shorter.pages < full.pages)
            return shorter;
    }
    return full;
}

QString newCardKey() {
    static const char alphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    QString key;
    for (int i = 0; i < 10; ++i)
        key += QChar(alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet - 1))]);
    return key;
}

void drawAnswerCardPage(QPainter& painter, const CardLayout& layout, int page, double pxPerMm) {
    const auto px = [&](const QRectF& r) {
        return QRectF(r.x() * pxPerMm, r.y() * pxPerMm, r.width() * pxPerMm, r.height() * pxPerMm);
    };
    painter.save();
    painter.fillRect(px(QRectF(QPointF(0, 0), layout.page)), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QColor ink(0, 0, 0);
    const QColor light(150, 150, 150);

    for (const QRectF& mark : layout.cornerMarks())
        painter.fillRect(px(mark), ink);

    // The QR code with a quiet zone of four modules.
    if (QRcode* code = QRcode_encodeString(layout.qrText(page).toUtf8().constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1)) {
        const QRectF area = px(layout.qrRect());
        const double module = area.width() / (code->width + 8);
        for (int y = 0; y < code->width; ++y)
            for (int x = 0; x < code->width; ++x)
                if (code->data[y * code->width + x] & 1)
                    painter.fillRect(
                        QRectF(area.left() + (x + 4) * module, area.top() + (y + 4) * module, module, module), ink);
        QRcode_free(code);
    }

    QPen framePen(ink, 0.3 * pxPerMm);
    painter.setPen(framePen);
    painter.setBrush(Qt::NoBrush);
    for (const CardShape& f : layout.frames)
        if (f.page == page)
            painter.drawRect(px(f.rect));
    for (const CardShape& l : layout.lines)
        if (l.page == page) {
            const QRectF r = px(l.rect);
            painter.drawLine(r.topLeft(), r.bottomRight());
        }

    QFont font(kFontFamily);
    for (const CardText& t : layout.texts) {
        if (t.page != page)
            continue;
        font.setPixelSize(std::max(1, int(t.sizeMm * pxPerMm + 0.5)));
        font.setBold(t.bold);
        painter.setFont(font);
        painter.setPen(t.grey ? light : ink);
        painter.drawText(px(t.rect), t.align | Qt::TextSingleLine, t.text);
    }

    painter.setPen(QPen(light, 0.25 * pxPerMm));
    for (const CardBubble& b : layout.bubbles) {
        if (b.page != page)
            continue;
        const QRectF r = px(b.rect);
        painter.drawEllipse(r);
        if (!b.value.isNull()) {
            const QString label = b.value == u'T'   ? QStringLiteral("√")
                                  : b.value == u'F' ? QStringLiteral("×")
                                                    : QString(b.value);
            font.setPixelSize(std::max(1, int(2.4 * pxPerMm + 0.5)));
            font.setBold(false);
            painter.setFont(font);
            painter.drawText(r, Qt::AlignCenter, label);
        }
    }
    painter.restore();
}

void writeAnswerCardPdf(const CardLayout& layout, const QString& path) {
    QPdfWriter pdf(path);
    pdf.setResolution(600);
    pdf.setTitle(layout.title + QStringLiteral(" 答题卡"));
    pdf.setCreator(QStringLiteral("琢石-试题库"));
    pdf.setPageSize(QPageSize(layout.page, QPageSize::Millimeter));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&pdf))
        throw OfficeError(QStringLiteral("无法写入答题卡：\r%1").arg(QDir::toNativeSeparators(path)));
    const double pxPerMm = pdf.resolution() / 25.4;
    for (int p = 0; p < layout.pages; ++p) {
        if (p > 0)
            pdf.newPage();
        drawAnswerCardPage(painter, layout, p, pxPerMm);
    }
    if (!painter.end())
        throw OfficeError(QStringLiteral("无法写入答题卡：\r%1").arg(QDir::toNativeSeparators(path)));
}

QImage renderAnswerCardPage(const CardLayout& layout, int page, double dpi) {
    const double pxPerMm = dpi / 25.4;
    QImage image(int(layout.page.width() * pxPerMm + 0.5), int(layout.page.height() * pxPerMm + 0.5),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        drawAnswerCardPage(painter, layout, page, pxPerMm);
    }
    return image.convertToFormat(QImage::Format_Grayscale8);
}

QString answerKeyFromText(const QString& answerText, CardKind kind) {
    QString text = answerText;
    text.replace(u'\r', u'\n');
    QString segment;
    for (const QString& marker : {QStringLiteral("【答案】"), QStringLiteral("答案："), QStringLiteral("答案:")}) {
        const int at = text.indexOf(marker);
        if (at >= 0) {
            segment = text.mid(at + marker.size());
            break;
        }
    }
    if (segment.isNull())
        segment = text;
    segment = segment.section(u'\n', 0, 0).trimmed();
    if (kind == CardKind::TrueFalse) {
        for (const char* yes : {"√", "✓", "✔", "对", "正确", "T"})
            if (segment.startsWith(QString::fromUtf8(yes)))
                return QStringLiteral("T");
        for (const char* no : {"×", "✗", "✘", "错", "错误", "F", "X"})
            if (segment.startsWith(QString::fromUtf8(no)))
                return QStringLiteral("F");
        return {};
    }
    QString key;
    for (const QChar c : segment) {
        QChar letter = c;
        if (c >= u'Ａ' && c <= u'Ｚ')
            letter = QChar(c.unicode() - u'Ａ' + u'A');
        if (letter >= u'A' && letter <= u'G') {
            if (!key.contains(letter))
                key += letter;
            continue;
        }
        if (QStringLiteral("、,，/ 　.．;；").contains(c))
            continue;
        break;
    }
    std::sort(key.begin(), key.end());
    if (kind == CardKind::Single && key.size() != 1)
        return {};
    return key;
}

}  // namespace zs
