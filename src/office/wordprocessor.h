#pragma once

#include "office/officeerror.h"

#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace zs {

// How appended text looks. Unset fields mean the document's defaults.
struct TextStyle {
    bool bold = false;
    std::optional<QRgb> color;  // e.g. qRgb(255, 0, 0)
    QString fontName;
    double pointSize = 0;  // 0: unchanged
    // Of the paragraphs touched. Body: the document's own alignment, that of
    // its default paragraph style, whatever the paragraph before it had.
    enum class Align { Keep, Left, Center, Body } align = Align::Keep;
    // The paragraphs touched stay on the page of the paragraph after them
    // (a heading is never left alone at the foot of a page). A style with an
    // alignment other than Keep sets this either way.
    bool keepWithNext = false;
};

// Text in 宋体 of a size, bold or not, in paragraphs aligned so.
inline TextStyle songStyle(double pointSize, bool bold, TextStyle::Align align) {
    TextStyle s;
    s.fontName = QStringLiteral("宋体");
    s.pointSize = pointSize;
    s.bold = bold;
    s.align = align;
    return s;
}

// Bold text, optionally coloured.
inline TextStyle boldStyle(std::optional<QRgb> color = std::nullopt) {
    TextStyle s;
    s.bold = true;
    s.color = color;
    return s;
}

inline constexpr QRgb kRed = 0xFFFF0000;
inline constexpr QRgb kBlue = 0xFF0000FF;
inline constexpr QRgb kWhite = 0xFFFFFFFF;

// A run of text with one look, as read back from a document.
struct TextRun {
    QString text;
    bool bold = false;
    std::optional<QRgb> color;  // empty for the automatic colour
    QString fontName;
    double pointSize = 0;  // of its Chinese characters
};

// A paragraph as read back from a document.
enum class ParagraphAlignment { Left, Center, Right, Justify };
struct Paragraph {
    QString text;
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    bool keepWithNext = false;
    bool keptWhole = false;  // never split across pages or columns
};

// A margin comment and the text it is anchored on.
struct DocumentComment {
    QString anchorText;
    QString content;
};

// Handle of a range of appended text inside one document.
using RangeId = int;

// The page of a document: its size as printed (landscape when wider than
// high), margins and text columns, in millimetres.
struct PageSetup {
    double widthMm = 210, heightMm = 297;
    double leftMm = 25, rightMm = 25, topMm = 25, bottomMm = 25;
    int columns = 1;
    double columnGapMm = 0;
    bool landscape() const { return widthMm > heightMm; }
};

// A box of text at a fixed place of the page, in millimetres from the page's
// top left corner; the text flows through it.
struct PageTextBox {
    QString text;
    double xMm = 0, yMm = 0, widthMm = 0, heightMm = 0;
    // Vertical writing: characters upright from top to bottom, centred along
    // the box's height.
    bool vertical = false;
    double pointSize = 12;
};

// A straight line on the page, from (xMm, yMm) down or to the right.
struct PageLine {
    double xMm = 0, yMm = 0, lengthMm = 0;
    bool vertical = true;
    bool dashed = true;
};

// What every odd page carries outside the text (a sealing line, say).
struct PageDecoration {
    QList<PageTextBox> boxes;
    QList<PageLine> lines;
    bool isEmpty() const { return boxes.isEmpty() && lines.isEmpty(); }
};

// How an appended table looks. Every cell has a thin border.
struct TableLook {
    double widthMm = 0;            // 0: as wide as the text (or its column)
    QList<double> columnWidthsMm;  // with widthMm: the share of each column
    QList<double> rowHeightsMm;    // fixed height of each row; missing or 0: fitted
    double pointSize = 10.5;
    bool centred = true;  // else the text stands at the top left
    bool bold = false;
};

// One block of a document's body as read back: a paragraph, or a table (its
// cells' texts, a tab between cells and character 13 between rows). A
// paragraph of an automatically numbered list starts with its label ("1．",
// "（2）") as the word processor shows it.
struct DocumentBlock {
    QString text;
    int labelLength = 0;  // characters of `text` that are the list label
    bool table = false;
    int pictures = 0;      // pictures and drawings in or anchored on it
    QStringList formulas;  // its formula objects, as their formula text
    int objects = 0;       // other embedded objects
};

// A stretch of a document's body: from character `firstChar` of block
// `firstBlock` up to character `endChar` (not included; -1: the block's end)
// of block `lastBlock`. Blocks count from 0 as blocks() lists them, characters
// as DocumentBlock::text counts them; a range that starts past a list label
// leaves the first paragraph's numbering out.
struct BlockRange {
    int firstBlock = 0;
    int firstChar = 0;
    int lastBlock = 0;
    int endChar = -1;
};

// One open word-processor document. The append point is just before the final
// paragraph mark of the whole document; character 13 ("\r") inside appended
// text starts a new paragraph.
class WordDocument {
public:
    virtual ~WordDocument() = default;

    virtual QString path() const = 0;              // empty until saved
    virtual void saveAs(const QString& path) = 0;  // .doc: Word 97 format
    virtual void save() = 0;
    virtual void close() = 0;  // without a question; the object is unusable afterwards

    virtual RangeId append(const QString& text, const TextStyle& style = {}) = 0;
    // Copies the whole formatted content of another document, pictures included,
    // to the append point; what follows starts on a new paragraph.
    virtual void appendDocument(const QString& path) = 0;
    virtual void addComment(RangeId range, const QString& text) = 0;
    // The paragraphs from the start of `from` to the append point stay on one
    // page (or column) when they fit on one: none is split, each keeps with
    // the next but the last.
    virtual void keepTogether(RangeId from) = 0;
    virtual void setFontName(const QString& fontName) = 0;  // the whole document

    // Appends a picture file at the append point, `widthMm` wide; inline in the
    // text, or floating (anchored to the paragraph) when `floating` is set.
    virtual void appendPicture(const QString& imagePath, double widthMm, bool floating = false) = 0;

    virtual int floatingShapeCount() = 0;
    // Makes the given colour transparent in the pictures of the floating shapes.
    virtual void setFloatingPicturesTransparentColor(QRgb color) = 0;

    virtual void activate() = 0;  // bring this document to the front of its instance
    virtual void exportPdf(const QString& pdfPath) = 0;
    // Writes a copy in the format its name asks for (.doc, .docx for Word
    // 2007 and later, .pdf); the document stays bound to its own path.
    virtual void saveCopyAs(const QString& path) = 0;

    // Removes the whole text, leaving one empty paragraph.
    virtual void clear() = 0;
    // A table of texts appended at the append point (one line per row of
    // `cells`); what follows starts after it.
    virtual void appendTable(const QList<QStringList>& cells, const TableLook& look) = 0;

    // The page style of the body (of its first paragraph).
    virtual void setPageSetup(const PageSetup& setup) = 0;
    // The footer of every page, centred: "{PAGE}" in the pattern stands for
    // the page number field, "{NUMPAGES}" for the number of pages.
    virtual void setFooter(const QString& pattern, double pointSize) = 0;
    // Boxes and lines on every odd page (page 1, 3, …), in the header of those
    // pages, so that they follow the text to every odd page there is.
    virtual void setOddPageDecoration(const PageDecoration& decoration) = 0;

    // Reading back.
    virtual QString text() = 0;  // paragraphs separated by "\r"
    virtual QList<TextRun> runs() = 0;
    virtual QList<Paragraph> paragraphs() = 0;  // of the body, in order
    virtual QList<DocumentComment> comments() = 0;
    virtual int pictureCount() = 0;
    virtual PageSetup pageSetup() = 0;
    // The footer's text with its fields as "{PAGE}" and "{NUMPAGES}".
    virtual QString footer() = 0;
    // What odd pages carry, and what even pages carry (boxes and lines).
    virtual PageDecoration oddPageDecoration() = 0;
    virtual PageDecoration evenPageDecoration() = 0;
    // Every table of the body: its rows of cell texts.
    virtual QList<QList<QStringList>> tables() = 0;
    virtual int pageCount() = 0;
    // The picture of the i-th floating shape (null when it has none).
    virtual QImage floatingPicture(int index) = 0;

    // The paragraphs and tables of the body, in order.
    virtual QList<DocumentBlock> blocks() = 0;
    // Writes a copy of a range of the body, pictures, tables and formulas
    // included, as a new document file (.doc: Word 97; .docx; else the office's
    // own format). This document is not changed.
    virtual void saveRangeAs(const BlockRange& range, const QString& path) = 0;

    // Appends a formula object (the office's formula language, e.g.
    // "a^2 + b^2 = c^2") at the append point, inline in the text.
    virtual void appendFormula(const QString& formula) = 0;
    // Appends a table of these cell texts (rows of equal length) after the
    // last paragraph; what follows goes into the paragraph after it.
    virtual void appendTable(const QList<QStringList>& rows) = 0;
};

// A word-processor instance: a set of documents handled together. It is
// hidden; showing documents to the teacher means opening their saved files
// with the desktop's default application (Desktop::openFile).
class WordInstance {
public:
    virtual ~WordInstance() = default;
    virtual std::unique_ptr<WordDocument> newDocument() = 0;
    virtual std::unique_ptr<WordDocument> open(const QString& path) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    // Ends the instance: every document still open through it is closed unsaved.
    virtual void quit() = 0;
};

}  // namespace zs
