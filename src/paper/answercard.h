#pragma once

#include "paper/examform.h"
#include "paper/papersettings.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class QPainter;

namespace zs {

// The machine-readable answer sheet (机读答题卡): drawn shapes a scanner can
// find again. Every page carries four solid corner marks and a QR code naming
// the sheet and the page; the students fill option bubbles, a 考号 grid and a
// 缺考 bubble; written answers go into numbered lines and framed areas. The
// whole geometry is computed here, once, stored with the paper's record and
// read back by the scan reader: reading never guesses where a bubble is.
// Every length is in millimetres from the page's top left corner.

// How a question is answered on the sheet.
enum class CardKind {
    Single,     // one option of A B C D
    Multiple,   // any options of A B C D
    TrueFalse,  // √ or × (read as T and F)
    Blank,      // a numbered line (填空题)
    Area,       // a framed area (计算题, 解答题, 作文题 …)
};
CardKind cardKindOf(const QString& type);
bool isObjective(CardKind kind);

struct CardQuestion {
    int number = 0;  // as in the paper, from 1
    QString type;
    CardKind kind = CardKind::Area;
    QString options;           // the bubbles' values: "ABCD" or "TF"; empty for written answers
    std::optional<int> score;  // tenths of a point, as the table's scores
    // The answer key of an objective question ("B", "ACD", "T"); empty when
    // the answer document named none the program could read.
    QString key;
};

// A question of the sheet: its kind and bubbles ("ABCD", or "TF" for a
// 判断题) from its type; `score` in tenths of a point.
CardQuestion cardQuestionOf(int number, const QString& type, std::optional<int> score = std::nullopt,
                            const QString& key = {});

// One bubble a student fills.
struct CardBubble {
    enum class Role { Digit, Absent, Option };
    int page = 0;  // from 0
    Role role = Role::Option;
    int index = 0;  // the digit's position in the 考号 (from 0) or the question's number
    QChar value;    // '0'…'9', 'A'…, 'T', 'F'; nothing for 缺考
    QRectF rect;    // the bubble's outline
};

// An area cut from a page: the answer place of a question (for marking on
// screen and for the review of doubtful readings), or the 考号 grid.
struct CardArea {
    int page = 0;
    int question = 0;  // 0: the 考号 grid
    QRectF rect;
};

// A frame or a line drawn on a page.
struct CardShape {
    int page = 0;
    QRectF rect;
};

// What is printed beside the shapes.
struct CardText {
    int page = 0;
    QRectF rect;
    QString text;
    double sizeMm = 3.5;  // the height of the letters
    bool bold = false;
    int align = 0;  // Qt::Alignment
    bool grey = false;
};

struct CardLayout {
    static constexpr int kVersion = 1;
    QString key;  // names this sheet among all sheets: the QR code carries it
    int version = kVersion;
    QSizeF page;  // millimetres
    int pages = 0;
    int examDigits = kExamNumberDigits;
    QString title;
    QVector<CardQuestion> questions;
    QVector<CardBubble> bubbles;
    QVector<CardArea> areas;
    QVector<CardShape> frames;  // drawn frames (name box, areas, the grid, the notes)
    QVector<CardShape> lines;   // drawn lines (a rect of width or height 0)
    QVector<CardText> texts;

    // The four corner marks of every page: top left, top right, bottom right,
    // bottom left.
    QVector<QRectF> cornerMarks() const;
    // Where the QR code of every page stands.
    QRectF qrRect() const;
    // The text of a page's QR code.
    QString qrText(int page) const;

    const CardQuestion* question(int number) const;
    QVector<const CardBubble*> bubblesOf(CardBubble::Role role, int index) const;
    std::optional<CardArea> areaOf(int question) const;

    QByteArray toJson() const;
    // Empty layout (pages 0) when the text is not a layout of this program.
    static CardLayout fromJson(const QByteArray& json);
};

// What a QR code of a sheet says: the sheet and the page.
struct CardIdentity {
    QString key;
    int page = -1;
    int version = 0;
    bool valid() const { return !key.isEmpty() && page >= 0; }
};
CardIdentity readCardIdentity(const QString& qrText);

// The sheet's parts as the paper has them.
struct CardSection {
    QString heading;
    QVector<CardQuestion> questions;
};

// Lays out the sheet of a paper on the paper's page size (A4 portrait in one
// column, A3 and 8K landscape in two), as many pages as the questions need.
CardLayout layoutAnswerCard(const QString& key, const QString& title, const QVector<CardSection>& sections,
                            PaperLayout layout, int examDigits = kExamNumberDigits);

// A new sheet key: ten letters and digits.
QString newCardKey();

// Draws one page with `pxPerMm` device pixels to the millimetre onto a
// painter whose device is white.
void drawAnswerCardPage(QPainter& painter, const CardLayout& layout, int page, double pxPerMm);
// Writes every page into a PDF; throws OfficeError naming the file when it
// cannot be written.
void writeAnswerCardPdf(const CardLayout& layout, const QString& path);
// One page as a grey picture of `dpi` dots per inch.
QImage renderAnswerCardPage(const CardLayout& layout, int page, double dpi);

// The answer key of an objective question read from the plain text of its
// answer document: the letters after "【答案】", "答案：" or at the start
// ("B", "A、C、D" → "ACD"; "√", "对", "正确" → "T"; "×", "错" → "F"); empty
// when it names none.
QString answerKeyFromText(const QString& answerText, CardKind kind);

}  // namespace zs
