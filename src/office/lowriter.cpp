// Word-processor documents in LibreOffice Writer.

#include "office/lowriter.h"

#include "office/lodocuments.h"
#include "office/unosupport.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/UnknownPropertyException.hpp>
#include <com/sun/star/container/XContentEnumerationAccess.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/datatransfer/XTransferable.hpp>
#include <com/sun/star/datatransfer/XTransferableSupplier.hpp>
#include <com/sun/star/document/XDocumentInsertable.hpp>
#include <com/sun/star/document/XEmbeddedObjectSupplier.hpp>
#include <com/sun/star/drawing/DashStyle.hpp>
#include <com/sun/star/drawing/FillStyle.hpp>
#include <com/sun/star/drawing/LineDash.hpp>
#include <com/sun/star/drawing/LineStyle.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/graphic/GraphicProvider.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/graphic/XGraphicProvider.hpp>
#include <com/sun/star/io/SequenceInputStream.hpp>
#include <com/sun/star/io/XInputStream.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/lang/IndexOutOfBoundsException.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/style/NumberingType.hpp>
#include <com/sun/star/style/ParagraphAdjust.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/HoriOrientation.hpp>
#include <com/sun/star/text/PageNumberType.hpp>
#include <com/sun/star/text/RelOrientation.hpp>
#include <com/sun/star/text/SizeType.hpp>
#include <com/sun/star/text/TableColumnSeparator.hpp>
#include <com/sun/star/text/TextContentAnchorType.hpp>
#include <com/sun/star/text/VertOrientation.hpp>
#include <com/sun/star/text/WrapTextMode.hpp>
#include <com/sun/star/text/WritingMode2.hpp>
#include <com/sun/star/text/XPageCursor.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextColumns.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextEmbeddedObjectsSupplier.hpp>
#include <com/sun/star/text/XTextField.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/text/XTextFrame.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>
#include <com/sun/star/text/XTextGraphicObjectsSupplier.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>
#include <com/sun/star/text/XTextSectionsSupplier.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <optional>
#include <set>
#include <vector>

namespace zs {

namespace {

using namespace css::text;
using css::beans::XPropertySet;
using css::uno::Any;
using css::uno::Sequence;

// Normalises the paragraph separators of office text to character 13.
QString paragraphsWithCr(QString s) {
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    s.replace(u'\n', u'\r');
    s.replace(QChar(0x2029), u'\r');
    return s;
}

std::optional<QRgb> colorOf(sal_Int32 value) {
    if (value == -1)
        return std::nullopt;
    return qRgb((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

sal_Int32 unoColor(QRgb c) {
    return sal_Int32((qRed(c) << 16) | (qGreen(c) << 8) | qBlue(c));
}

// `body` is the document's own alignment (a ParagraphAdjust value).
void applyAlignment(const Reference<XPropertySet>& p, const TextStyle& style, sal_Int16 body) {
    // A style that places its paragraphs also says whether they keep with
    // the next one, so that a paragraph after a heading does not inherit it.
    if (style.keepWithNext || style.align != TextStyle::Align::Keep)
        p->setPropertyValue("ParaKeepTogether", Any(style.keepWithNext));
    switch (style.align) {
    case TextStyle::Align::Keep:
        return;
    case TextStyle::Align::Left:
        p->setPropertyValue("ParaAdjust", Any(sal_Int16(css::style::ParagraphAdjust_LEFT)));
        return;
    case TextStyle::Align::Center:
        p->setPropertyValue("ParaAdjust", Any(sal_Int16(css::style::ParagraphAdjust_CENTER)));
        return;
    case TextStyle::Align::Body:
        p->setPropertyValue("ParaAdjust", Any(body));
        return;
    }
}

ParagraphAlignment alignmentOf(sal_Int16 adjust) {
    switch (adjust) {
    case css::style::ParagraphAdjust_CENTER:
        return ParagraphAlignment::Center;
    case css::style::ParagraphAdjust_RIGHT:
        return ParagraphAlignment::Right;
    case css::style::ParagraphAdjust_BLOCK:
    case css::style::ParagraphAdjust_STRETCH:
        return ParagraphAlignment::Justify;
    default:
        return ParagraphAlignment::Left;
    }
}

void applyStyle(const Reference<XPropertySet>& p, const TextStyle& style, sal_Int16 body) {
    p->setPropertyValue("CharWeight", Any(style.bold ? css::awt::FontWeight::BOLD : css::awt::FontWeight::NORMAL));
    p->setPropertyValue("CharWeightAsian", Any(style.bold ? css::awt::FontWeight::BOLD : css::awt::FontWeight::NORMAL));
    p->setPropertyValue("CharColor", Any(style.color ? unoColor(*style.color) : sal_Int32(-1)));
    if (!style.fontName.isEmpty()) {
        p->setPropertyValue("CharFontName", Any(toOU(style.fontName)));
        p->setPropertyValue("CharFontNameAsian", Any(toOU(style.fontName)));
    }
    if (style.pointSize > 0) {
        p->setPropertyValue("CharHeight", Any(float(style.pointSize)));
        p->setPropertyValue("CharHeightAsian", Any(float(style.pointSize)));
    }
    applyAlignment(p, style, body);
}

OUString filterFor(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"doc")
        return "MS Word 97";
    if (suffix == u"docx")
        return "MS Word 2007 XML";
    if (suffix == u"pdf")
        return "writer_pdf_Export";
    return "writer8";
}

// A picture read from a file into memory at once: a graphic linked to its file
// would be read only when the document is saved, when the file may be gone.
Reference<css::graphic::XGraphic> loadGraphic(const Reference<css::graphic::XGraphicProvider>& provider,
                                              const Reference<css::uno::XComponentContext>& context,
                                              const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const Sequence<sal_Int8> data(reinterpret_cast<const sal_Int8*>(bytes.constData()), sal_Int32(bytes.size()));
    const Reference<css::io::XInputStream> stream(css::io::SequenceInputStream::createStreamFromSequence(context, data),
                                                  UNO_QUERY_THROW);
    return provider->queryGraphic(properties({property("InputStream", Any(stream))}));
}

sal_Int32 hundredthsOfMm(double mm) {
    return sal_Int32(std::lround(mm * 100));
}

double mmOf(const Any& value) {
    sal_Int32 v = 0;
    value >>= v;
    return v / 100.0;
}

bool sameText(const Reference<XText>& a, const Reference<XText>& b) {
    return a.is() && b.is() &&
           Reference<css::uno::XInterface>(a, UNO_QUERY) == Reference<css::uno::XInterface>(b, UNO_QUERY);
}

// Character look of a whole text: 宋体 of a size, bold or not, paragraphs
// centred or not.
void setTextLook(const Reference<XText>& text, double pointSize, bool bold, bool centred) {
    const Reference<XTextCursor> c = text->createTextCursor();
    c->gotoStart(false);
    c->gotoEnd(true);
    const Reference<XPropertySet> p(c, UNO_QUERY_THROW);
    p->setPropertyValue("CharFontName", Any(OUString("宋体")));
    p->setPropertyValue("CharFontNameAsian", Any(OUString("宋体")));
    p->setPropertyValue("CharHeight", Any(float(pointSize)));
    p->setPropertyValue("CharHeightAsian", Any(float(pointSize)));
    const float weight = bold ? css::awt::FontWeight::BOLD : css::awt::FontWeight::NORMAL;
    p->setPropertyValue("CharWeight", Any(weight));
    p->setPropertyValue("CharWeightAsian", Any(weight));
    p->setPropertyValue(
        "ParaAdjust", Any(sal_Int16(centred ? css::style::ParagraphAdjust_CENTER : css::style::ParagraphAdjust_LEFT)));
}

// Writes a pattern with "{PAGE}" and "{NUMPAGES}" into a header or footer text.
void writeFieldPattern(const Reference<css::lang::XMultiServiceFactory>& factory, const Reference<XText>& text,
                       const QString& pattern) {
    text->setString(OUString());
    const Reference<XTextCursor> c = text->createTextCursor();
    static const QRegularExpression field(QStringLiteral("\\{(PAGE|NUMPAGES)\\}"));
    int at = 0;
    auto it = field.globalMatch(pattern);
    auto insertText = [&](const QString& part) {
        if (!part.isEmpty())
            text->insertString(Reference<XTextRange>(c, UNO_QUERY_THROW), toOU(part), false);
    };
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        insertText(pattern.mid(at, m.capturedStart() - at));
        const bool page = m.captured(1) == u"PAGE";
        Reference<XPropertySet> f(factory->createInstance(page ? OUString("com.sun.star.text.textfield.PageNumber")
                                                               : OUString("com.sun.star.text.textfield.PageCount")),
                                  UNO_QUERY_THROW);
        f->setPropertyValue("NumberingType", Any(sal_Int16(css::style::NumberingType::ARABIC)));
        if (page)
            f->setPropertyValue("SubType", Any(css::text::PageNumberType_CURRENT));
        text->insertTextContent(Reference<XTextRange>(c, UNO_QUERY_THROW), Reference<XTextContent>(f, UNO_QUERY_THROW),
                                false);
        at = int(m.capturedEnd());
    }
    insertText(pattern.mid(at));
}

// The text of a header or footer with its page fields as "{PAGE}", "{NUMPAGES}".
QString fieldPatternOf(const Reference<XText>& text) {
    QString out;
    Reference<css::container::XEnumerationAccess> access(text, UNO_QUERY_THROW);
    const auto paragraphs = access->createEnumeration();
    bool first = true;
    while (paragraphs->hasMoreElements()) {
        Reference<css::container::XEnumerationAccess> paragraph(paragraphs->nextElement(), UNO_QUERY);
        if (!paragraph.is())
            continue;
        if (!first)
            out += u'\r';
        first = false;
        const auto portions = paragraph->createEnumeration();
        while (portions->hasMoreElements()) {
            Reference<XPropertySet> p(portions->nextElement(), UNO_QUERY);
            if (!p.is())
                continue;
            const OUString type = p->getPropertyValue("TextPortionType").get<OUString>();
            if (type == "Text") {
                out += toQ(Reference<XTextRange>(p, UNO_QUERY_THROW)->getString());
            } else if (type == "TextField") {
                Reference<css::lang::XServiceInfo> f(p->getPropertyValue("TextField"), UNO_QUERY);
                if (f.is() && f->supportsService("com.sun.star.text.textfield.PageNumber"))
                    out += QStringLiteral("{PAGE}");
                else if (f.is() && f->supportsService("com.sun.star.text.textfield.PageCount"))
                    out += QStringLiteral("{NUMPAGES}");
                else
                    out += toQ(Reference<XTextRange>(p, UNO_QUERY_THROW)->getString());
            }
        }
    }
    return out;
}

// The class id of formula objects (LibreOffice Math).
const OUString kMathClassId = "078B7ABA-54FC-457F-8551-6147E776A997";

// The spreadsheet-style name of a table cell: column letters, then the row from 1.
OUString cellName(int row, int column) {
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return toOU(letters + QString::number(row + 1));
}

// What one object anchored in the text adds to its block.
void countObject(const Reference<css::uno::XInterface>& object, DocumentBlock& block) {
    Reference<css::lang::XServiceInfo> info(object, UNO_QUERY);
    if (!info.is())
        return;
    if (info->supportsService("com.sun.star.text.TextEmbeddedObject")) {
        Reference<XPropertySet> p(info, UNO_QUERY);
        bool formula = false;
        if (p.is() && p->getPropertySetInfo()->hasPropertyByName("CLSID"))
            formula = p->getPropertyValue("CLSID").get<OUString>().equalsIgnoreAsciiCase(kMathClassId);
        Reference<css::document::XEmbeddedObjectSupplier> supplier(info, UNO_QUERY);
        const Reference<css::lang::XComponent> model = supplier.is() ? supplier->getEmbeddedObject() : nullptr;
        Reference<css::lang::XServiceInfo> modelInfo(model, UNO_QUERY);
        if (modelInfo.is() && modelInfo->supportsService("com.sun.star.formula.FormulaProperties"))
            formula = true;
        if (formula) {
            QString text;
            Reference<XPropertySet> modelProperties(model, UNO_QUERY);
            if (modelProperties.is())
                text = toQ(modelProperties->getPropertyValue("Formula").get<OUString>());
            block.formulas << text;
        } else {
            ++block.objects;
        }
        return;
    }
    if (info->supportsService("com.sun.star.text.TextGraphicObject") ||
        info->supportsService("com.sun.star.drawing.Shape"))
        ++block.pictures;
    else if (info->supportsService("com.sun.star.text.TextFrame"))
        ++block.objects;
}

// Objects that an enumeration of text contents lists, each once.
void countContents(const Reference<css::container::XEnumeration>& contents, DocumentBlock& block,
                   std::set<css::uno::XInterface*>& seen) {
    while (contents.is() && contents->hasMoreElements()) {
        Reference<css::uno::XInterface> object(contents->nextElement(), UNO_QUERY);
        if (object.is() && seen.insert(object.get()).second)
            countObject(object, block);
    }
}

class LoWordDocument : public WordDocument {
public:
    LoWordDocument(std::shared_ptr<UnoSession> session, std::shared_ptr<OpenDocuments> book,
                   Reference<css::lang::XComponent> component, QString path)
        : session_(std::move(session)), book_(std::move(book)), component_(std::move(component)),
          path_(std::move(path)) {
        textDoc_.set(component_, UNO_QUERY);
        if (!textDoc_.is())
            throw OfficeError(QStringLiteral("这不是一个文字处理文档：%1").arg(path_));
        book_->add(this, [this] { closeQuietly(); });
    }
    ~LoWordDocument() override {
        book_->remove(this);
        closeQuietly();
    }

    QString path() const override { return path_; }

    void saveAs(const QString& path) override {
        requireOpen();
        const bool pdf = QFileInfo(path).suffix().compare(u"pdf", Qt::CaseInsensitive) == 0;
        unoCall(QStringLiteral("无法保存文档：%1").arg(path), [&] {
            Reference<css::frame::XStorable> s(component_, UNO_QUERY_THROW);
            const auto args =
                properties({property("FilterName", Any(filterFor(path))), property("Overwrite", Any(true))});
            if (pdf)
                s->storeToURL(fileUrl(path), args);
            else
                s->storeAsURL(fileUrl(path), args);
        });
        if (!pdf)
            path_ = path;
    }

    void save() override {
        if (path_.isEmpty())
            throw OfficeError(QStringLiteral("文档还没有保存位置，无法保存。"));
        saveAs(path_);
    }

    void close() override {
        book_->remove(this);
        closeQuietly();
    }

    RangeId append(const QString& text, const TextStyle& style) override {
        requireOpen();
        changed();
        return unoCall(QStringLiteral("无法向文档写入文字：%1").arg(path_), [&] {
            const Reference<XText> body = textDoc_->getText();
            const QStringList parts = text.split(u'\r');
            const sal_Int16 ownAlignment = style.align == TextStyle::Align::Body ? bodyAdjust() : 0;
            Reference<XTextRange> first;
            Reference<XTextRange> lastEnd;
            for (int i = 0; i < parts.size(); ++i) {
                if (i > 0)
                    body->insertControlCharacter(body->getEnd(), ControlCharacter::PARAGRAPH_BREAK, false);
                const Reference<XTextCursor> c = body->createTextCursorByRange(body->getEnd());
                if (!first.is())
                    first = c->getStart();
                if (!parts[i].isEmpty()) {
                    c->setString(toOU(parts[i]));
                    applyStyle(Reference<XPropertySet>(c, UNO_QUERY_THROW), style, ownAlignment);
                } else if (i > 0) {
                    // A new empty paragraph still takes the alignment; the one the
                    // text started in keeps its own. It takes the look of the
                    // text too, so that what is typed into it later does not
                    // carry on the look of the paragraph it was split from.
                    applyAlignment(Reference<XPropertySet>(c, UNO_QUERY_THROW), style, ownAlignment);
                    const Reference<css::container::XEnumerationAccess> inRange(c, UNO_QUERY);
                    const auto paragraphs = inRange.is() ? inRange->createEnumeration() : nullptr;
                    if (paragraphs.is() && paragraphs->hasMoreElements())
                        if (const Reference<XPropertySet> paragraph(paragraphs->nextElement(), UNO_QUERY);
                            paragraph.is())
                            applyStyle(paragraph, style, ownAlignment);
                }
                lastEnd = c->getEnd();
            }
            const Reference<XTextCursor> whole = body->createTextCursorByRange(first);
            whole->gotoRange(lastEnd, true);
            ranges_.push_back(Reference<XTextRange>(whole, UNO_QUERY_THROW));
            return RangeId(ranges_.size() - 1);
        });
    }

    void appendDocument(const QString& path) override {
        requireOpen();
        changed();
        if (!QFileInfo::exists(path))
            throw OfficeError(QStringLiteral("找不到文档：%1").arg(path));
        unoCall(QStringLiteral("无法插入文档：%1").arg(path), [&] {
            const Reference<XText> body = textDoc_->getText();
            // A position just before the append point stays put while the
            // document goes in after it.
            const Reference<XTextCursor> before = body->createTextCursorByRange(body->getEnd());
            const bool movedBack = before->goLeft(1, false);
            const Reference<XTextCursor> c = body->createTextCursorByRange(body->getEnd());
            Reference<css::document::XDocumentInsertable> insertable(c, UNO_QUERY_THROW);
            insertable->insertDocumentFromURL(fileUrl(path), css::uno::Sequence<css::beans::PropertyValue>());
            // The inserted text continues the paragraph of the append point, as a
            // pasted document does: join what the import split there.
            if (movedBack)
                before->goRight(1, false);
            const Reference<XParagraphCursor> joint(before, UNO_QUERY_THROW);
            if (joint->isEndOfParagraph() && before->goRight(1, true)) {
                const QString between = toQ(before->getString());
                if (between.isEmpty() || between == u"\n" || between == u"\r\n")
                    before->setString(OUString());
            }
            // What follows starts on a paragraph of its own.
            const Reference<XParagraphCursor> end(body->createTextCursorByRange(body->getEnd()), UNO_QUERY_THROW);
            if (!end->isStartOfParagraph())
                body->insertControlCharacter(body->getEnd(), ControlCharacter::PARAGRAPH_BREAK, false);
        });
    }

    void addComment(RangeId range, const QString& text) override {
        requireOpen();
        unoCall(QStringLiteral("无法添加批注"), [&] {
            Reference<css::lang::XMultiServiceFactory> factory(component_, UNO_QUERY_THROW);
            Reference<XTextContent> field(factory->createInstance("com.sun.star.text.textfield.Annotation"),
                                          UNO_QUERY_THROW);
            Reference<XPropertySet> p(field, UNO_QUERY_THROW);
            p->setPropertyValue("Author", Any(toOU(QStringLiteral("琢石-试题库"))));
            QString content = text;
            content.replace(u'\r', u'\n');
            p->setPropertyValue("Content", Any(toOU(content)));
            const Reference<XTextRange> anchor = rangeOf(range);
            anchor->getText()->insertTextContent(anchor, field, true);
        });
    }

    void keepTogether(RangeId from) override {
        requireOpen();
        unoCall(QStringLiteral("无法设置文档的分页：%1").arg(path_), [&] {
            const Reference<XText> body = textDoc_->getText();
            const Reference<XTextCursor> c = body->createTextCursorByRange(rangeOf(from)->getStart());
            c->gotoEnd(true);
            const Reference<css::container::XEnumerationAccess> inRange(c, UNO_QUERY_THROW);
            std::vector<Reference<XPropertySet>> paragraphs;
            const auto elements = inRange->createEnumeration();
            while (elements->hasMoreElements()) {
                Reference<css::lang::XServiceInfo> info(elements->nextElement(), UNO_QUERY);
                if (info.is() && info->supportsService("com.sun.star.text.Paragraph"))
                    paragraphs.push_back(Reference<XPropertySet>(info, UNO_QUERY_THROW));
            }
            // The append point's empty paragraph is not part of the stretch.
            if (!paragraphs.empty() &&
                toQ(Reference<XTextRange>(paragraphs.back(), UNO_QUERY_THROW)->getString()).isEmpty())
                paragraphs.pop_back();
            for (size_t i = 0; i < paragraphs.size(); ++i) {
                paragraphs[i]->setPropertyValue("ParaSplit", Any(false));
                paragraphs[i]->setPropertyValue("ParaKeepTogether", Any(i + 1 < paragraphs.size()));
            }
        });
    }

    void setFontName(const QString& fontName) override {
        requireOpen();
        unoCall(QStringLiteral("无法设置字体"), [&] {
            const Reference<XText> body = textDoc_->getText();
            const Reference<XTextCursor> c = body->createTextCursor();
            c->gotoStart(false);
            c->gotoEnd(true);
            Reference<XPropertySet> p(c, UNO_QUERY_THROW);
            p->setPropertyValue("CharFontName", Any(toOU(fontName)));
            p->setPropertyValue("CharFontNameAsian", Any(toOU(fontName)));
        });
    }

    void appendPicture(const QString& imagePath, double widthMm, bool floating) override {
        requireOpen();
        changed();
        const QImage image(imagePath);
        if (image.isNull())
            throw OfficeError(QStringLiteral("无法读取图片：%1").arg(imagePath));
        unoCall(QStringLiteral("无法插入图片：%1").arg(imagePath), [&] {
            const Reference<css::graphic::XGraphicProvider> provider =
                css::graphic::GraphicProvider::create(session_->context());
            const Reference<css::graphic::XGraphic> graphic = loadGraphic(provider, session_->context(), imagePath);
            if (!graphic.is())
                throw OfficeError(QStringLiteral("无法读取图片：%1").arg(imagePath));
            Reference<css::lang::XMultiServiceFactory> factory(component_, UNO_QUERY_THROW);
            Reference<XTextContent> picture(factory->createInstance("com.sun.star.text.TextGraphicObject"),
                                            UNO_QUERY_THROW);
            Reference<XPropertySet> p(picture, UNO_QUERY_THROW);
            p->setPropertyValue("Graphic", Any(graphic));
            p->setPropertyValue(
                "AnchorType", Any(floating ? TextContentAnchorType_AT_PARAGRAPH : TextContentAnchorType_AS_CHARACTER));
            const sal_Int32 width = sal_Int32(widthMm * 100);
            p->setPropertyValue("Width", Any(width));
            p->setPropertyValue("Height", Any(sal_Int32(double(width) * image.height() / image.width())));
            const Reference<XText> body = textDoc_->getText();
            body->insertTextContent(body->getEnd(), picture, false);
        });
    }

    QImage floatingPicture(int index) override {
        requireOpen();
        return unoCall(QStringLiteral("无法读取文档中的图片"), [&] {
            const auto shapes = floatingShapes();
            if (index < 0 || index >= int(shapes.size()) ||
                !shapes[index]->getPropertySetInfo()->hasPropertyByName("Graphic"))
                return QImage();
            Reference<css::graphic::XGraphic> graphic(shapes[index]->getPropertyValue("Graphic"), UNO_QUERY);
            if (!graphic.is())
                return QImage();
            QTemporaryDir dir;
            const QString file = dir.filePath(QStringLiteral("picture.png"));
            css::graphic::GraphicProvider::create(session_->context())
                ->storeGraphic(graphic, properties({property("URL", Any(fileUrl(file))),
                                                    property("MimeType", Any(OUString("image/png")))}));
            return QImage(file);
        });
    }

    int floatingShapeCount() override {
        requireOpen();
        return int(floatingShapes().size());
    }

    void setFloatingPicturesTransparentColor(QRgb color) override {
        requireOpen();
        unoCall(QStringLiteral("无法设置图片的透明色"), [&] {
            const auto shapes = floatingShapes();
            if (shapes.empty())
                return;
            const Reference<css::graphic::XGraphicProvider> provider =
                css::graphic::GraphicProvider::create(session_->context());
            QTemporaryDir dir;
            for (const Reference<XPropertySet>& shape : shapes) {
                if (!shape->getPropertySetInfo()->hasPropertyByName("Graphic"))
                    continue;
                Reference<css::graphic::XGraphic> graphic(shape->getPropertyValue("Graphic"), UNO_QUERY);
                if (!graphic.is())
                    continue;
                const QString in = dir.filePath(QStringLiteral("in.png"));
                const QString out = dir.filePath(QStringLiteral("out.png"));
                provider->storeGraphic(graphic, properties({property("URL", Any(fileUrl(in))),
                                                            property("MimeType", Any(OUString("image/png")))}));
                QImage image(in);
                if (image.isNull())
                    continue;
                image = image.convertToFormat(QImage::Format_ARGB32);
                const QRgb key = color & 0x00FFFFFF;
                for (int y = 0; y < image.height(); ++y) {
                    QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                    for (int x = 0; x < image.width(); ++x)
                        if ((line[x] & 0x00FFFFFF) == key)
                            line[x] = 0;
                }
                image.save(out, "PNG");
                const Reference<css::graphic::XGraphic> transparent = loadGraphic(provider, session_->context(), out);
                shape->setPropertyValue("Graphic", Any(transparent));
            }
        });
    }

    void activate() override {
        try {
            Reference<css::frame::XModel> model(component_, UNO_QUERY);
            if (model.is() && model->getCurrentController().is())
                model->getCurrentController()->getFrame()->activate();
        } catch (const css::uno::Exception&) {
            // A hidden document has nothing to bring to the front.
        }
    }

    void exportPdf(const QString& pdfPath) override {
        requireOpen();
        unoCall(QStringLiteral("无法导出 PDF：%1").arg(pdfPath), [&] {
            Reference<css::frame::XStorable> s(component_, UNO_QUERY_THROW);
            s->storeToURL(fileUrl(pdfPath), properties({property("FilterName", Any(OUString("writer_pdf_Export")))}));
        });
    }

    void saveCopyAs(const QString& path) override {
        requireOpen();
        unoCall(QStringLiteral("无法保存文档：%1").arg(path), [&] {
            Reference<css::frame::XStorable> s(component_, UNO_QUERY_THROW);
            std::vector<css::beans::PropertyValue> values{property("FilterName", Any(filterFor(path))),
                                                          property("Overwrite", Any(true))};
            // A PDF keeps the document's comments (the review paper's notes
            // per question) as annotations.
            if (QFileInfo(path).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0)
                values.push_back(property("FilterData", Any(properties({property("ExportNotes", Any(true))}))));
            s->storeToURL(fileUrl(path),
                          css::uno::Sequence<css::beans::PropertyValue>(values.data(), sal_Int32(values.size())));
        });
    }

    void clear() override {
        requireOpen();
        unoCall(QStringLiteral("无法清除文档的内容：%1").arg(path_), [&] {
            const Reference<XText> body = textDoc_->getText();
            const Reference<XTextCursor> c = body->createTextCursor();
            c->gotoStart(false);
            c->gotoEnd(true);
            c->setString(OUString());
            ranges_.clear();
        });
    }

    void appendTable(const QList<QStringList>& cells, const TableLook& look) override {
        requireOpen();
        if (cells.isEmpty())
            return;
        int columns = 0;
        for (const QStringList& row : cells)
            columns = qMax(columns, int(row.size()));
        if (columns == 0)
            return;
        unoCall(QStringLiteral("无法向文档写入表格：%1").arg(path_), [&] {
            Reference<css::lang::XMultiServiceFactory> factory(component_, UNO_QUERY_THROW);
            Reference<XTextTable> table(factory->createInstance("com.sun.star.text.TextTable"), UNO_QUERY_THROW);
            table->initialize(sal_Int32(cells.size()), sal_Int32(columns));
            const Reference<XText> body = textDoc_->getText();
            body->insertTextContent(body->getEnd(), Reference<XTextContent>(table, UNO_QUERY_THROW), false);
            const Reference<XPropertySet> tp(table, UNO_QUERY_THROW);
            if (look.widthMm > 0) {
                tp->setPropertyValue("HoriOrient", Any(css::text::HoriOrientation::LEFT_AND_WIDTH));
                tp->setPropertyValue("Width", Any(hundredthsOfMm(look.widthMm)));
            }
            if (look.columnWidthsMm.size() == columns && columns > 1) {
                double sum = 0;
                for (double w : look.columnWidthsMm)
                    sum += w;
                Sequence<css::text::TableColumnSeparator> separators(columns - 1);
                double at = 0;
                for (int c = 0; c + 1 < columns; ++c) {
                    at += look.columnWidthsMm[c];
                    separators.getArray()[c].Position = sal_Int16(std::lround(at / sum * 10000));
                    separators.getArray()[c].IsVisible = true;
                }
                tp->setPropertyValue("TableColumnSeparators", Any(separators));
            }
            const Reference<css::table::XCellRange> range(table, UNO_QUERY_THROW);
            for (int r = 0; r < cells.size(); ++r)
                for (int c = 0; c < columns; ++c) {
                    const Reference<XText> cell(range->getCellByPosition(c, r), UNO_QUERY_THROW);
                    QString text = cells[r].value(c);
                    text.replace(u'\r', u'\n');
                    cell->setString(toOU(text));
                    setTextLook(cell, look.pointSize, look.bold, look.centred);
                    Reference<XPropertySet>(cell, UNO_QUERY_THROW)
                        ->setPropertyValue("VertOrient", Any(look.centred ? css::text::VertOrientation::CENTER
                                                                          : css::text::VertOrientation::TOP));
                }
            const Reference<css::container::XIndexAccess> rows(table->getRows(), UNO_QUERY_THROW);
            for (int r = 0; r < cells.size() && r < look.rowHeightsMm.size(); ++r) {
                if (look.rowHeightsMm[r] <= 0)
                    continue;
                const Reference<XPropertySet> row(rows->getByIndex(r), UNO_QUERY_THROW);
                row->setPropertyValue("IsAutoHeight", Any(false));
                row->setPropertyValue("Height", Any(hundredthsOfMm(look.rowHeightsMm[r])));
            }
        });
    }

    void setPageSetup(const PageSetup& setup) override {
        requireOpen();
        unoCall(QStringLiteral("无法设置文档的页面：%1").arg(path_), [&] {
            const Reference<XPropertySet> page = pageStyle();
            page->setPropertyValue("IsLandscape", Any(setup.landscape()));
            page->setPropertyValue("Width", Any(hundredthsOfMm(setup.widthMm)));
            page->setPropertyValue("Height", Any(hundredthsOfMm(setup.heightMm)));
            page->setPropertyValue("LeftMargin", Any(hundredthsOfMm(setup.leftMm)));
            page->setPropertyValue("RightMargin", Any(hundredthsOfMm(setup.rightMm)));
            page->setPropertyValue("TopMargin", Any(hundredthsOfMm(setup.topMm)));
            page->setPropertyValue("BottomMargin", Any(hundredthsOfMm(setup.bottomMm)));
            Reference<css::lang::XMultiServiceFactory> factory(component_, UNO_QUERY_THROW);
            Reference<css::text::XTextColumns> columns(factory->createInstance("com.sun.star.text.TextColumns"),
                                                       UNO_QUERY_THROW);
            columns->setColumnCount(sal_Int16(qMax(1, setup.columns)));
            Reference<XPropertySet>(columns, UNO_QUERY_THROW)
                ->setPropertyValue("AutomaticDistance", Any(hundredthsOfMm(setup.columnGapMm)));
            page->setPropertyValue("TextColumns", Any(columns));
        });
    }

    PageSetup pageSetup() override {
        requireOpen();
        return unoCall(QStringLiteral("无法读取文档的页面：%1").arg(path_), [&] {
            const Reference<XPropertySet> page = pageStyle();
            PageSetup out;
            out.widthMm = mmOf(page->getPropertyValue("Width"));
            out.heightMm = mmOf(page->getPropertyValue("Height"));
            out.leftMm = mmOf(page->getPropertyValue("LeftMargin"));
            out.rightMm = mmOf(page->getPropertyValue("RightMargin"));
            out.topMm = mmOf(page->getPropertyValue("TopMargin"));
            out.bottomMm = mmOf(page->getPropertyValue("BottomMargin"));
            out.columns = 1;
            Reference<css::text::XTextColumns> columns(page->getPropertyValue("TextColumns"), UNO_QUERY);
            if (columns.is()) {
                out.columns = qMax<int>(1, columns->getColumnCount());
                out.columnGapMm =
                    mmOf(Reference<XPropertySet>(columns, UNO_QUERY_THROW)->getPropertyValue("AutomaticDistance"));
            }
            // Word 2007 files may keep their columns in a section instead.
            if (out.columns == 1) {
                Reference<XTextSectionsSupplier> supplier(component_, UNO_QUERY_THROW);
                const auto sections = supplier->getTextSections();
                for (const OUString& name : sections->getElementNames()) {
                    Reference<XPropertySet> section(sections->getByName(name), UNO_QUERY);
                    Reference<css::text::XTextColumns> c(
                        section.is() ? section->getPropertyValue("TextColumns") : Any(), UNO_QUERY);
                    if (c.is())
                        out.columns = qMax<int>(out.columns, c->getColumnCount());
                }
            }
            return out;
        });
    }

    void setFooter(const QString& pattern, double pointSize) override {
        requireOpen();
        unoCall(QStringLiteral("无法设置文档的页脚：%1").arg(path_), [&] {
            const Reference<XPropertySet> page = pageStyle();
            page->setPropertyValue("FooterIsOn", Any(true));
            Reference<css::lang::XMultiServiceFactory> factory(component_, UNO_QUERY_THROW);
            // Both footers, for a page style whose left and right pages differ.
            for (const char* name : {"FooterText", "FooterTextLeft"}) {
                Reference<XText> footer(page->getPropertyValue(OUString::createFromAscii(name)), UNO_QUERY);
                if (!footer.is())
                    continue;
                writeFieldPattern(factory, footer, pattern);
                setTextLook(footer, pointSize, false, true);
            }
        });
    }

    QString footer() override {
        requireOpen();
        return unoCall(QStringLiteral("无法读取文档的页脚：%1").arg(path_), [&] {
            const Reference<XPropertySet> page = pageStyle();
            if (!page->getPropertyValue("FooterIsOn").get<bool>())
                return QString();
            return fieldPatternOf(Reference<XText>(page->getPropertyValue("FooterText"), UNO_QUERY_THROW));
        });
    }

    void setOddPageDecoration(const PageDecoration& decoration) override {
        requireOpen();
        unoCall(QStringLiteral("无法设置文档的页眉：%1").arg(path_), [&] {
            const Reference<XPropertySet> page = pageStyle();
            // A header of the odd pages only, that takes almost no room.
            page->setPropertyValue("HeaderIsOn", Any(true));
            page->setPropertyValue("HeaderIsShared", Any(false));
            page->setPropertyValue("HeaderIsDynamicHeight", Any(false));
            page->setPropertyValue("HeaderBodyDistance", Any(sal_Int32(0)));
            page->setPropertyValue("HeaderHeight", Any(sal_Int32(100)));
            // A footer shared by all pages stays so for both kinds of pages.
            if (page->getPropertyValue("FooterIsOn").get<bool>() &&
                !page->getPropertyValue("FooterIsShared").get<bool>()) {
                const Reference<XText> right(page->getPropertyValue("FooterText"), UNO_QUERY_THROW);
                const Reference<XText> left(page->getPropertyValue("FooterTextLeft"), UNO_QUERY_THROW);
                if (toQ(left->getString()).isEmpty() && !toQ(right->getString()).isEmpty())
                    writeFieldPattern(Reference<css::lang::XMultiServiceFactory>(component_, UNO_QUERY_THROW), left,
                                      fieldPatternOf(right));
            }
            const Reference<XText> header(page->getPropertyValue("HeaderTextRight"), UNO_QUERY_THROW);
            header->setString(OUString());
            setTextLook(header, 1, false, false);
            Reference<css::lang::XMultiServiceFactory> factory(component_, UNO_QUERY_THROW);
            for (const PageTextBox& box : decoration.boxes)
                insertBox(factory, header, box);
            for (const PageLine& line : decoration.lines)
                insertLine(factory, header, line);
        });
    }

    PageDecoration oddPageDecoration() override { return decorationOf(true); }
    PageDecoration evenPageDecoration() override { return decorationOf(false); }

    QList<QList<QStringList>> tables() override {
        requireOpen();
        return unoCall(QStringLiteral("无法读取文档中的表格"), [&] {
            QList<QList<QStringList>> out;
            Reference<css::container::XEnumerationAccess> body(textDoc_->getText(), UNO_QUERY_THROW);
            const auto elements = body->createEnumeration();
            while (elements->hasMoreElements()) {
                Reference<XTextTable> table(elements->nextElement(), UNO_QUERY);
                if (!table.is())
                    continue;
                const Reference<css::table::XCellRange> range(table, UNO_QUERY_THROW);
                const int rows = table->getRows()->getCount();
                const int columns = table->getColumns()->getCount();
                QList<QStringList> cells;
                for (int r = 0; r < rows; ++r) {
                    QStringList row;
                    for (int c = 0; c < columns; ++c) {
                        try {
                            row << paragraphsWithCr(
                                toQ(Reference<XText>(range->getCellByPosition(c, r), UNO_QUERY_THROW)->getString()));
                        } catch (const css::lang::IndexOutOfBoundsException&) {
                            // A row with fewer cells.
                        }
                    }
                    cells << row;
                }
                out << cells;
            }
            return out;
        });
    }

    int pageCount() override {
        requireOpen();
        return unoCall(QStringLiteral("无法读取文档的页数：%1").arg(path_), [&] {
            Reference<css::frame::XModel> model(component_, UNO_QUERY_THROW);
            Reference<XTextViewCursorSupplier> supplier(model->getCurrentController(), UNO_QUERY_THROW);
            Reference<XPageCursor> cursor(supplier->getViewCursor(), UNO_QUERY_THROW);
            cursor->jumpToLastPage();
            return int(cursor->getPage());
        });
    }

    QString text() override {
        requireOpen();
        return unoCall(QStringLiteral("无法读取文档"),
                       [&] { return paragraphsWithCr(toQ(textDoc_->getText()->getString())); });
    }

    QList<TextRun> runs() override {
        requireOpen();
        return unoCall(QStringLiteral("无法读取文档"), [&] {
            QList<TextRun> out;
            Reference<css::container::XEnumerationAccess> body(textDoc_->getText(), UNO_QUERY_THROW);
            const auto paragraphs = body->createEnumeration();
            bool firstParagraph = true;
            while (paragraphs->hasMoreElements()) {
                Reference<css::lang::XServiceInfo> info(paragraphs->nextElement(), UNO_QUERY);
                if (!info.is() || !info->supportsService("com.sun.star.text.Paragraph"))
                    continue;
                if (!firstParagraph) {
                    TextRun separator;
                    separator.text = QStringLiteral("\r");
                    out.push_back(separator);
                }
                firstParagraph = false;
                Reference<css::container::XEnumerationAccess> paragraph(info, UNO_QUERY_THROW);
                const auto portions = paragraph->createEnumeration();
                while (portions->hasMoreElements()) {
                    Reference<XPropertySet> p(portions->nextElement(), UNO_QUERY);
                    if (!p.is() || p->getPropertyValue("TextPortionType").get<OUString>() != "Text")
                        continue;
                    TextRun run;
                    run.text = toQ(Reference<XTextRange>(p, UNO_QUERY_THROW)->getString());
                    if (run.text.isEmpty())
                        continue;
                    run.bold = p->getPropertyValue("CharWeight").get<float>() >= css::awt::FontWeight::BOLD;
                    run.color = colorOf(p->getPropertyValue("CharColor").get<sal_Int32>());
                    run.fontName = toQ(p->getPropertyValue("CharFontNameAsian").get<OUString>());
                    run.pointSize = p->getPropertyValue("CharHeightAsian").get<float>();
                    out.push_back(run);
                }
            }
            return out;
        });
    }

    QList<Paragraph> paragraphs() override {
        requireOpen();
        return unoCall(QStringLiteral("无法读取文档"), [&] {
            QList<Paragraph> out;
            Reference<css::container::XEnumerationAccess> body(textDoc_->getText(), UNO_QUERY_THROW);
            const auto paragraphs = body->createEnumeration();
            while (paragraphs->hasMoreElements()) {
                Reference<css::lang::XServiceInfo> info(paragraphs->nextElement(), UNO_QUERY);
                if (!info.is() || !info->supportsService("com.sun.star.text.Paragraph"))
                    continue;
                Paragraph paragraph;
                paragraph.text = toQ(Reference<XTextRange>(info, UNO_QUERY_THROW)->getString());
                sal_Int16 adjust = css::style::ParagraphAdjust_LEFT;
                Reference<XPropertySet>(info, UNO_QUERY_THROW)->getPropertyValue("ParaAdjust") >>= adjust;
                paragraph.alignment = alignmentOf(adjust);
                Reference<XPropertySet>(info, UNO_QUERY_THROW)->getPropertyValue("ParaKeepTogether") >>=
                    paragraph.keepWithNext;
                bool splits = true;
                Reference<XPropertySet>(info, UNO_QUERY_THROW)->getPropertyValue("ParaSplit") >>= splits;
                paragraph.keptWhole = !splits;
                out.push_back(paragraph);
            }
            return out;
        });
    }

    QList<DocumentComment> comments() override {
        requireOpen();
        return unoCall(QStringLiteral("无法读取批注"), [&] {
            QList<DocumentComment> out;
            Reference<XTextFieldsSupplier> supplier(component_, UNO_QUERY_THROW);
            const auto fields = supplier->getTextFields()->createEnumeration();
            while (fields->hasMoreElements()) {
                Reference<css::lang::XServiceInfo> info(fields->nextElement(), UNO_QUERY);
                if (!info.is() || !info->supportsService("com.sun.star.text.textfield.Annotation"))
                    continue;
                Reference<XPropertySet> p(info, UNO_QUERY_THROW);
                DocumentComment c;
                c.content = paragraphsWithCr(toQ(p->getPropertyValue("Content").get<OUString>()));
                const Reference<XTextContent> content(info, UNO_QUERY_THROW);
                c.anchorText = toQ(content->getAnchor()->getString());
                out.push_back(c);
            }
            return out;
        });
    }

    int pictureCount() override {
        requireOpen();
        return unoCall(QStringLiteral("无法读取文档"),
                       [&] { return int(graphicObjects().size() + embeddedObjectCount() + drawingPictures().size()); });
    }

    QList<DocumentBlock> blocks() override {
        requireOpen();
        return unoCall(QStringLiteral("无法读取文档的段落"), [&] {
            QList<DocumentBlock> out;
            std::vector<int> paragraphs;  // the paragraphs' places in `out`
            std::vector<Reference<XTextRange>> ranges;
            for (const Reference<css::uno::XInterface>& element : bodyElements()) {
                DocumentBlock block;
                Reference<XTextTable> table(element, UNO_QUERY);
                if (table.is()) {
                    block.table = true;
                    std::set<css::uno::XInterface*> seen;
                    block.text = tableText(table, block, seen);
                } else {
                    const Reference<XTextRange> range(element, UNO_QUERY_THROW);
                    block.text = toQ(range->getString());
                    const QString label = listLabel(element);
                    block.labelLength = int(label.size());
                    block.text.prepend(label);
                    paragraphs.push_back(int(out.size()));
                    ranges.push_back(range);
                }
                out.push_back(block);
            }
            placeObjects(out, paragraphs, ranges);
            return out;
        });
    }

    void saveRangeAs(const BlockRange& range, const QString& path) override {
        requireOpen();
        unoCall(QStringLiteral("无法把文档的一部分另存为：%1").arg(path), [&] {
            const Reference<XTextRange> source = bodyRange(range);
            Reference<css::frame::XModel> model(component_, UNO_QUERY_THROW);
            const Reference<css::frame::XController> controller = model->getCurrentController();
            if (!controller.is())
                throw OfficeError(QStringLiteral("文档没有可用的视图，无法复制其中的内容。"));
            Reference<css::view::XSelectionSupplier>(controller, UNO_QUERY_THROW)->select(Any(source));
            const Reference<css::datatransfer::XTransferable> content =
                Reference<css::datatransfer::XTransferableSupplier>(controller, UNO_QUERY_THROW)->getTransferable();
            Reference<css::lang::XComponent> target = session_->load("private:factory/swriter");
            try {
                Reference<css::frame::XModel> targetModel(target, UNO_QUERY_THROW);
                Reference<css::datatransfer::XTransferableSupplier>(targetModel->getCurrentController(),
                                                                    UNO_QUERY_THROW)
                    ->insertTransferable(content);
                const Reference<XTextDocument> copy(target, UNO_QUERY_THROW);
                dropTrailingEmptyParagraphs(copy);
                // A range that starts past its list label leaves the number out.
                const int label = labelLengthOf(bodyElements()[std::size_t(range.firstBlock)]);
                if (label > 0 && range.firstChar >= label)
                    dropNumbering(elementsOf(copy->getText()).front());
                Reference<css::frame::XStorable>(target, UNO_QUERY_THROW)
                    ->storeToURL(fileUrl(path), properties({property("FilterName", Any(filterFor(path))),
                                                            property("Overwrite", Any(true))}));
            } catch (...) {
                closeDocument(target);
                throw;
            }
            closeDocument(target);
        });
    }

    void appendFormula(const QString& formula) override {
        requireOpen();
        changed();
        unoCall(QStringLiteral("无法插入公式"), [&] {
            Reference<css::lang::XMultiServiceFactory> factory(component_, UNO_QUERY_THROW);
            Reference<XTextContent> object(factory->createInstance("com.sun.star.text.TextEmbeddedObject"),
                                           UNO_QUERY_THROW);
            Reference<XPropertySet> p(object, UNO_QUERY_THROW);
            p->setPropertyValue("CLSID", Any(kMathClassId));
            p->setPropertyValue("AnchorType", Any(TextContentAnchorType_AS_CHARACTER));
            const Reference<XText> body = textDoc_->getText();
            body->insertTextContent(body->getEnd(), object, false);
            Reference<css::document::XEmbeddedObjectSupplier> supplier(object, UNO_QUERY_THROW);
            Reference<XPropertySet> model(supplier->getEmbeddedObject(), UNO_QUERY_THROW);
            model->setPropertyValue("Formula", Any(toOU(formula)));
        });
    }

    void appendTable(const QList<QStringList>& rows) override {
        requireOpen();
        changed();
        if (rows.isEmpty() || rows.first().isEmpty())
            return;
        unoCall(QStringLiteral("无法插入表格"), [&] {
            Reference<css::lang::XMultiServiceFactory> factory(component_, UNO_QUERY_THROW);
            Reference<XTextTable> table(factory->createInstance("com.sun.star.text.TextTable"), UNO_QUERY_THROW);
            const int columns = int(rows.first().size());
            table->initialize(sal_Int32(rows.size()), sal_Int32(columns));
            const Reference<XText> body = textDoc_->getText();
            // The table goes after the last paragraph, which keeps what it holds.
            body->insertControlCharacter(body->getEnd(), ControlCharacter::PARAGRAPH_BREAK, false);
            body->insertTextContent(body->getEnd(), Reference<XTextContent>(table, UNO_QUERY_THROW), false);
            for (int r = 0; r < rows.size(); ++r)
                for (int c = 0; c < columns && c < rows[r].size(); ++c)
                    Reference<XText>(table->getCellByName(cellName(r, c)), UNO_QUERY_THROW)
                        ->setString(toOU(rows[r][c]));
        });
    }

private:
    void requireOpen() const {
        if (!textDoc_.is())
            throw OfficeError(QStringLiteral("文档已经关闭：%1").arg(path_));
    }

    // The paragraphs and tables of the body, in order; kept until the document changes.
    const std::vector<Reference<css::uno::XInterface>>& bodyElements() {
        if (!elements_)
            elements_ = elementsOf(textDoc_->getText());
        return *elements_;
    }
    void changed() { elements_.reset(); }

    static std::vector<Reference<css::uno::XInterface>> elementsOf(const Reference<XText>& text) {
        std::vector<Reference<css::uno::XInterface>> out;
        Reference<css::container::XEnumerationAccess> body(text, UNO_QUERY_THROW);
        const auto elements = body->createEnumeration();
        while (elements->hasMoreElements()) {
            Reference<css::lang::XServiceInfo> info(elements->nextElement(), UNO_QUERY);
            if (info.is() && (info->supportsService("com.sun.star.text.Paragraph") ||
                              info->supportsService("com.sun.star.text.TextTable")))
                out.push_back(Reference<css::uno::XInterface>(info, UNO_QUERY_THROW));
        }
        return out;
    }

    // Adds the objects of the body text (pictures, formula objects, drawings,
    // text frames) to the paragraphs that hold their anchors: a few comparisons
    // per object instead of a walk through every paragraph's portions. Objects
    // in tables are counted by the tables themselves.
    void placeObjects(QList<DocumentBlock>& out, const std::vector<int>& paragraphs,
                      const std::vector<Reference<XTextRange>>& ranges) {
        if (ranges.empty())
            return;
        const Reference<XTextRangeCompare> compare(textDoc_->getText(), UNO_QUERY_THROW);
        // The last paragraph that starts no later than the anchor (-1: not in the body text).
        auto paragraphOf = [&](const Reference<XTextRange>& anchor) {
            int low = 0, high = int(ranges.size()) - 1, found = -1;
            while (low <= high) {
                const int middle = (low + high) / 2;
                sal_Int16 order = 0;
                try {
                    order = compare->compareRegionStarts(ranges[std::size_t(middle)], anchor);
                } catch (const css::lang::IllegalArgumentException&) {
                    return -1;
                }
                if (order >= 0) {
                    found = middle;
                    low = middle + 1;
                } else {
                    high = middle - 1;
                }
            }
            return found;
        };
        auto place = [&](const Reference<css::uno::XInterface>& object) {
            const Reference<XTextContent> content(object, UNO_QUERY);
            if (!content.is())
                return;
            Reference<XTextRange> anchor;
            try {
                anchor = content->getAnchor();
            } catch (const css::uno::RuntimeException&) {
                return;  // anchored at the page
            }
            const int p = anchor.is() ? paragraphOf(anchor) : -1;
            if (p >= 0)
                countObject(object, out[paragraphs[std::size_t(p)]]);
        };
        auto placeAll = [&](const Reference<css::container::XNameAccess>& objects) {
            if (!objects.is())
                return;
            for (const OUString& name : objects->getElementNames())
                place(Reference<css::uno::XInterface>(objects->getByName(name), UNO_QUERY));
        };
        placeAll(Reference<XTextGraphicObjectsSupplier>(component_, UNO_QUERY_THROW)->getGraphicObjects());
        placeAll(Reference<XTextEmbeddedObjectsSupplier>(component_, UNO_QUERY_THROW)->getEmbeddedObjects());
        placeAll(Reference<XTextFramesSupplier>(component_, UNO_QUERY_THROW)->getTextFrames());
        // Drawings: shapes of the draw page that are not pictures, objects or frames of the text.
        const auto page = drawPage();
        for (sal_Int32 i = 0; i < page->getCount(); ++i) {
            Reference<css::lang::XServiceInfo> info(page->getByIndex(i), UNO_QUERY);
            if (!info.is() || info->supportsService("com.sun.star.text.TextGraphicObject") ||
                info->supportsService("com.sun.star.text.TextEmbeddedObject") ||
                info->supportsService("com.sun.star.text.TextFrame"))
                continue;
            place(Reference<css::uno::XInterface>(info, UNO_QUERY));
        }
    }

    static void readParagraph(const Reference<css::uno::XInterface>& paragraph, DocumentBlock& block,
                              std::set<css::uno::XInterface*>& seen) {
        block.text = toQ(Reference<XTextRange>(paragraph, UNO_QUERY_THROW)->getString());
        const QString label = listLabel(paragraph);
        block.labelLength = int(label.size());
        block.text.prepend(label);
        // Objects in the text (inline or anchored at a character) …
        Reference<css::container::XEnumerationAccess> portions(paragraph, UNO_QUERY);
        if (portions.is()) {
            const auto e = portions->createEnumeration();
            while (e->hasMoreElements()) {
                Reference<XPropertySet> portion(e->nextElement(), UNO_QUERY);
                if (!portion.is())
                    continue;
                const OUString type = portion->getPropertyValue("TextPortionType").get<OUString>();
                if (type == "Frame") {
                    Reference<css::container::XContentEnumerationAccess> frames(portion, UNO_QUERY);
                    if (frames.is())
                        countContents(frames->createContentEnumeration("com.sun.star.text.TextContent"), block, seen);
                }
            }
        }
        // … and objects anchored at the paragraph.
        Reference<css::container::XContentEnumerationAccess> anchored(paragraph, UNO_QUERY);
        if (anchored.is())
            countContents(anchored->createContentEnumeration("com.sun.star.text.TextContent"), block, seen);
    }

    // The label of an automatically numbered paragraph ("1．"), or an empty text.
    static QString listLabel(const Reference<css::uno::XInterface>& paragraph) {
        Reference<XPropertySet> p(paragraph, UNO_QUERY);
        if (!p.is())
            return {};
        OUString label;
        try {
            p->getPropertyValue("ListLabelString") >>= label;
        } catch (const css::beans::UnknownPropertyException&) {
            // An office without list labels numbers nothing.
        }
        return toQ(label);
    }

    static int labelLengthOf(const Reference<css::uno::XInterface>& element) {
        return Reference<XTextTable>(element, UNO_QUERY).is() ? 0 : int(listLabel(element).size());
    }

    static QString tableText(const Reference<XTextTable>& table, DocumentBlock& block,
                             std::set<css::uno::XInterface*>& seen) {
        const auto names = table->getCellNames();
        QString text;
        QString lastRow;
        for (const OUString& name : names) {
            const QString cell = toQ(name);
            qsizetype digits = 0;
            while (digits < cell.size() && !cell[digits].isDigit())
                ++digits;
            const QString row = cell.mid(digits);
            if (!text.isEmpty())
                text += row == lastRow ? u'\t' : u'\r';
            lastRow = row;
            const Reference<XText> cellText(table->getCellByName(name), UNO_QUERY_THROW);
            text += paragraphsWithCr(toQ(cellText->getString())).replace(u'\r', u' ');
            Reference<css::container::XEnumerationAccess> paragraphs(cellText, UNO_QUERY);
            if (!paragraphs.is())
                continue;
            const auto e = paragraphs->createEnumeration();
            while (e->hasMoreElements()) {
                Reference<css::uno::XInterface> paragraph(e->nextElement(), UNO_QUERY);
                Reference<css::lang::XServiceInfo> info(paragraph, UNO_QUERY);
                if (!info.is() || !info->supportsService("com.sun.star.text.Paragraph"))
                    continue;
                DocumentBlock inner;
                readParagraph(paragraph, inner, seen);
                block.pictures += inner.pictures;
                block.objects += inner.objects;
                block.formulas << inner.formulas;
            }
        }
        return text;
    }

    // The text range of a block range. A range that ends with a table ends at
    // the start of the paragraph after it.
    Reference<XTextRange> bodyRange(const BlockRange& range) {
        const auto& elements = bodyElements();
        const int count = int(elements.size());
        if (range.firstBlock < 0 || range.lastBlock < range.firstBlock || range.lastBlock >= count)
            throw OfficeError(
                QStringLiteral("文档中没有这些段落（%1 至 %2）。").arg(range.firstBlock).arg(range.lastBlock));
        const Reference<XText> body = textDoc_->getText();
        auto startOf = [&](int i) -> Reference<XTextRange> {
            Reference<XTextTable> table(elements[i], UNO_QUERY);
            if (table.is())
                throw OfficeError(QStringLiteral("复制的内容不能从表格开始。"));
            return Reference<XTextRange>(elements[i], UNO_QUERY_THROW)->getStart();
        };
        // Offsets count the list label, which is not in the text.
        const Reference<XTextCursor> cursor = body->createTextCursorByRange(startOf(range.firstBlock));
        const int firstChar = range.firstChar - labelLengthOf(elements[range.firstBlock]);
        if (firstChar > 0)
            cursor->goRight(sal_Int16(std::min(firstChar, 0x7fff)), false);
        Reference<XTextRange> end;
        Reference<XTextTable> lastTable(elements[range.lastBlock], UNO_QUERY);
        if (lastTable.is()) {
            end = range.lastBlock + 1 < count ? startOf(range.lastBlock + 1) : body->getEnd();
        } else if (range.endChar >= 0) {
            const Reference<XTextCursor> e = body->createTextCursorByRange(startOf(range.lastBlock));
            const int endChar = range.endChar - labelLengthOf(elements[range.lastBlock]);
            if (endChar > 0)
                e->goRight(sal_Int16(std::min(endChar, 0x7fff)), false);
            end = e->getStart();
        } else {
            end = Reference<XTextRange>(elements[range.lastBlock], UNO_QUERY_THROW)->getEnd();
        }
        cursor->gotoRange(end, true);
        return Reference<XTextRange>(cursor, UNO_QUERY_THROW);
    }

    static void dropNumbering(const Reference<css::uno::XInterface>& paragraph) {
        Reference<XPropertySet> p(paragraph, UNO_QUERY);
        if (!p.is() || Reference<XTextTable>(paragraph, UNO_QUERY).is())
            return;
        const auto info = p->getPropertySetInfo();
        if (info->hasPropertyByName("NumberingStyleName"))
            p->setPropertyValue("NumberingStyleName", Any(OUString()));
        if (!listLabel(paragraph).isEmpty() && info->hasPropertyByName("NumberingRules"))
            p->setPropertyValue("NumberingRules", Any());
    }

    // A pasted range leaves the new document's own empty paragraph after it.
    static void dropTrailingEmptyParagraphs(const Reference<XTextDocument>& doc) {
        const Reference<XText> body = doc->getText();
        for (int guard = 0; guard < 1000; ++guard) {
            const auto elements = elementsOf(body);
            if (elements.size() < 2)
                return;
            const Reference<css::uno::XInterface>& last = elements.back();
            const Reference<css::uno::XInterface>& before = elements[elements.size() - 2];
            // A text ends with a paragraph: the one after a table stays.
            if (Reference<XTextTable>(last, UNO_QUERY).is() || Reference<XTextTable>(before, UNO_QUERY).is())
                return;
            DocumentBlock block;
            std::set<css::uno::XInterface*> seen;
            readParagraph(last, block, seen);
            if (!block.text.isEmpty() || block.pictures || block.objects || !block.formulas.isEmpty())
                return;
            const Reference<XTextCursor> c =
                body->createTextCursorByRange(Reference<XTextRange>(before, UNO_QUERY_THROW)->getEnd());
            c->gotoRange(Reference<XTextRange>(last, UNO_QUERY_THROW)->getStart(), true);
            c->setString(OUString());
        }
    }

    Reference<XTextRange> rangeOf(RangeId id) const {
        if (id < 0 || id >= int(ranges_.size()))
            throw OfficeError(QStringLiteral("文档中没有这段文字。"));
        return ranges_[id];
    }

    Reference<css::drawing::XDrawPage> drawPage() {
        // The one draw page of a text document holds its shapes and pictures.
        Reference<css::drawing::XDrawPageSupplier> supplier(component_, UNO_QUERY_THROW);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        return supplier->getDrawPage();
#pragma GCC diagnostic pop
    }

    // Pictures held by the text (inline or floating). Asked of the text, not of
    // the draw page, whose entries for them exist only once the hidden document
    // has been laid out.
    std::vector<Reference<XPropertySet>> graphicObjects() {
        std::vector<Reference<XPropertySet>> out;
        Reference<XTextGraphicObjectsSupplier> supplier(component_, UNO_QUERY_THROW);
        const auto objects = supplier->getGraphicObjects();
        for (const OUString& name : objects->getElementNames())
            out.push_back(Reference<XPropertySet>(objects->getByName(name), UNO_QUERY_THROW));
        return out;
    }

    int embeddedObjectCount() {
        Reference<XTextEmbeddedObjectsSupplier> supplier(component_, UNO_QUERY_THROW);
        return int(supplier->getEmbeddedObjects()->getElementNames().getLength());
    }

    // Picture shapes of the drawing layer (not frames of the text).
    std::vector<Reference<XPropertySet>> drawingPictures() {
        std::vector<Reference<XPropertySet>> out;
        const auto page = drawPage();
        for (sal_Int32 i = 0; i < page->getCount(); ++i) {
            Reference<css::lang::XServiceInfo> info(page->getByIndex(i), UNO_QUERY);
            if (info.is() && info->supportsService("com.sun.star.drawing.GraphicObjectShape") &&
                !info->supportsService("com.sun.star.text.TextGraphicObject"))
                out.push_back(Reference<XPropertySet>(info, UNO_QUERY_THROW));
        }
        return out;
    }

    // The alignment of the document's default paragraph style, read once.
    sal_Int16 bodyAdjust() {
        if (!bodyAdjust_) {
            sal_Int16 adjust = css::style::ParagraphAdjust_LEFT;
            try {
                Reference<css::style::XStyleFamiliesSupplier> supplier(component_, UNO_QUERY_THROW);
                Reference<css::container::XNameAccess> styles(
                    supplier->getStyleFamilies()->getByName("ParagraphStyles"), UNO_QUERY_THROW);
                Reference<XPropertySet>(styles->getByName("Standard"), UNO_QUERY_THROW)
                    ->getPropertyValue("ParaAdjust") >>= adjust;
            } catch (const css::uno::Exception&) {
                // A document without the default style is left aligned.
            }
            bodyAdjust_ = adjust;
        }
        return *bodyAdjust_;
    }

    std::vector<Reference<XPropertySet>> floatingShapes() {
        return unoCall(QStringLiteral("无法读取文档中的图形"), [&] {
            std::vector<Reference<XPropertySet>> out;
            auto all = graphicObjects();
            const auto drawn = drawingPictures();
            all.insert(all.end(), drawn.begin(), drawn.end());
            for (const Reference<XPropertySet>& shape : all) {
                if (!shape->getPropertySetInfo()->hasPropertyByName("AnchorType"))
                    continue;
                const auto anchor = shape->getPropertyValue("AnchorType").get<TextContentAnchorType>();
                if (anchor != TextContentAnchorType_AS_CHARACTER)
                    out.push_back(shape);
            }
            return out;
        });
    }

    // The page style of the body: that of its first paragraph.
    Reference<XPropertySet> pageStyle() {
        OUString name = "Standard";
        Reference<css::container::XEnumerationAccess> body(textDoc_->getText(), UNO_QUERY_THROW);
        const auto elements = body->createEnumeration();
        while (elements->hasMoreElements()) {
            Reference<XPropertySet> p(elements->nextElement(), UNO_QUERY);
            if (!p.is() || !p->getPropertySetInfo()->hasPropertyByName("PageStyleName"))
                continue;
            OUString used;
            p->getPropertyValue("PageStyleName") >>= used;
            if (!used.isEmpty())
                name = used;
            break;
        }
        Reference<css::style::XStyleFamiliesSupplier> supplier(component_, UNO_QUERY_THROW);
        Reference<css::container::XNameAccess> styles(supplier->getStyleFamilies()->getByName("PageStyles"),
                                                      UNO_QUERY_THROW);
        return Reference<XPropertySet>(styles->getByName(name), UNO_QUERY_THROW);
    }

    static void placeOnPage(const Reference<XPropertySet>& p, double xMm, double yMm) {
        p->setPropertyValue("HoriOrient", Any(css::text::HoriOrientation::NONE));
        p->setPropertyValue("HoriOrientRelation", Any(css::text::RelOrientation::PAGE_FRAME));
        p->setPropertyValue("VertOrient", Any(css::text::VertOrientation::NONE));
        p->setPropertyValue("VertOrientRelation", Any(css::text::RelOrientation::PAGE_FRAME));
        p->setPropertyValue("HoriOrientPosition", Any(hundredthsOfMm(xMm)));
        p->setPropertyValue("VertOrientPosition", Any(hundredthsOfMm(yMm)));
        p->setPropertyValue("Surround", Any(css::text::WrapTextMode_THROUGH));
    }

    static void insertBox(const Reference<css::lang::XMultiServiceFactory>& factory, const Reference<XText>& text,
                          const PageTextBox& box) {
        Reference<XTextContent> frame(factory->createInstance("com.sun.star.text.TextFrame"), UNO_QUERY_THROW);
        const Reference<XPropertySet> p(frame, UNO_QUERY_THROW);
        p->setPropertyValue("AnchorType", Any(TextContentAnchorType_AT_PARAGRAPH));
        Reference<css::drawing::XShape>(frame, UNO_QUERY_THROW)
            ->setSize(css::awt::Size(hundredthsOfMm(box.widthMm), hundredthsOfMm(box.heightMm)));
        p->setPropertyValue("SizeType", Any(css::text::SizeType::FIX));
        p->setPropertyValue("WidthType", Any(css::text::SizeType::FIX));
        text->insertTextContent(text->getEnd(), frame, false);
        placeOnPage(p, box.xMm, box.yMm);
        p->setPropertyValue("WritingMode",
                            Any(box.vertical ? css::text::WritingMode2::TB_RL : css::text::WritingMode2::LR_TB));
        const css::table::BorderLine2 none;
        for (const char* side : {"LeftBorder", "RightBorder", "TopBorder", "BottomBorder"})
            p->setPropertyValue(OUString::createFromAscii(side), Any(none));
        for (const char* side :
             {"LeftBorderDistance", "RightBorderDistance", "TopBorderDistance", "BottomBorderDistance"})
            p->setPropertyValue(OUString::createFromAscii(side), Any(sal_Int32(0)));
        p->setPropertyValue("FillStyle", Any(css::drawing::FillStyle_NONE));
        p->setPropertyValue("BackTransparent", Any(true));
        const Reference<XText> inside = Reference<XTextFrame>(frame, UNO_QUERY_THROW)->getText();
        inside->setString(toOU(box.text));
        setTextLook(inside, box.pointSize, false, true);
    }

    static void insertLine(const Reference<css::lang::XMultiServiceFactory>& factory, const Reference<XText>& text,
                           const PageLine& line) {
        Reference<css::drawing::XShape> shape(factory->createInstance("com.sun.star.drawing.LineShape"),
                                              UNO_QUERY_THROW);
        const Reference<XPropertySet> p(shape, UNO_QUERY_THROW);
        p->setPropertyValue("AnchorType", Any(TextContentAnchorType_AT_PARAGRAPH));
        const sal_Int32 length = hundredthsOfMm(line.lengthMm);
        shape->setSize(line.vertical ? css::awt::Size(0, length) : css::awt::Size(length, 0));
        placeOnPage(p, line.xMm, line.yMm);
        text->insertTextContent(text->getEnd(), Reference<XTextContent>(shape, UNO_QUERY_THROW), false);
        p->setPropertyValue("LineColor", Any(sal_Int32(0)));
        p->setPropertyValue("LineWidth", Any(sal_Int32(20)));
        if (line.dashed) {
            css::drawing::LineDash dash;
            dash.Style = css::drawing::DashStyle_RECT;
            dash.Dots = 0;
            dash.Dashes = 1;
            dash.DashLen = 200;
            dash.Distance = 150;
            p->setPropertyValue("LineDash", Any(dash));
            p->setPropertyValue("LineStyle", Any(css::drawing::LineStyle_DASH));
        }
        // Placed by its distances from the page's edges alone: a shape's
        // setPosition takes document coordinates, which it turns into
        // distances from the anchor's paragraph only when the header happens
        // to be laid out already, so that the line at times landed a whole
        // left margin too far right.
    }

    // The boxes and lines in the header of odd (right) or even (left) pages.
    PageDecoration decorationOf(bool odd) {
        requireOpen();
        return unoCall(QStringLiteral("无法读取文档的页眉：%1").arg(path_), [&] {
            PageDecoration out;
            const Reference<XPropertySet> page = pageStyle();
            if (!page->getPropertyValue("HeaderIsOn").get<bool>())
                return out;
            const bool shared = page->getPropertyValue("HeaderIsShared").get<bool>();
            const Reference<XText> header(
                page->getPropertyValue(odd || shared ? OUString("HeaderTextRight") : OUString("HeaderTextLeft")),
                UNO_QUERY);
            if (!header.is())
                return out;
            Reference<XTextFramesSupplier> frames(component_, UNO_QUERY_THROW);
            const auto all = frames->getTextFrames();
            for (const OUString& name : all->getElementNames()) {
                Reference<XTextFrame> frame(all->getByName(name), UNO_QUERY);
                if (!frame.is() || !sameText(frame->getAnchor()->getText(), header))
                    continue;
                const Reference<XPropertySet> p(frame, UNO_QUERY_THROW);
                PageTextBox box;
                box.text = paragraphsWithCr(toQ(frame->getText()->getString()));
                sal_Int16 mode = 0;
                p->getPropertyValue("WritingMode") >>= mode;
                box.vertical = mode == css::text::WritingMode2::TB_RL || mode == css::text::WritingMode2::TB_LR;
                box.xMm = mmOf(p->getPropertyValue("HoriOrientPosition"));
                box.yMm = mmOf(p->getPropertyValue("VertOrientPosition"));
                const css::awt::Size size = Reference<css::drawing::XShape>(frame, UNO_QUERY_THROW)->getSize();
                box.widthMm = size.Width / 100.0;
                box.heightMm = size.Height / 100.0;
                out.boxes << box;
            }
            const auto shapes = drawPage();
            for (sal_Int32 i = 0; i < shapes->getCount(); ++i) {
                Reference<css::lang::XServiceInfo> shape(shapes->getByIndex(i), UNO_QUERY);
                if (!shape.is() || !shape->supportsService("com.sun.star.drawing.LineShape"))
                    continue;
                Reference<XTextContent> content(shape, UNO_QUERY);
                if (!content.is() || !sameText(content->getAnchor()->getText(), header))
                    continue;
                const Reference<XPropertySet> p(shape, UNO_QUERY_THROW);
                const css::awt::Size size = Reference<css::drawing::XShape>(shape, UNO_QUERY_THROW)->getSize();
                PageLine line;
                line.vertical = size.Height > size.Width;
                line.lengthMm = qMax(size.Width, size.Height) / 100.0;
                line.xMm = mmOf(p->getPropertyValue("HoriOrientPosition"));
                line.yMm = mmOf(p->getPropertyValue("VertOrientPosition"));
                line.dashed =
                    p->getPropertyValue("LineStyle").get<css::drawing::LineStyle>() == css::drawing::LineStyle_DASH;
                // A laid-out header lists its shapes once for every page it is on.
                const bool known = std::any_of(out.lines.cbegin(), out.lines.cend(), [&](const PageLine& other) {
                    return other.xMm == line.xMm && other.yMm == line.yMm && other.lengthMm == line.lengthMm &&
                           other.vertical == line.vertical;
                });
                if (!known)
                    out.lines << line;
            }
            return out;
        });
    }

    void closeQuietly() {
        elements_.reset();
        closeDocument(component_);
        textDoc_.clear();
        ranges_.clear();
    }

    std::shared_ptr<UnoSession> session_;
    std::shared_ptr<OpenDocuments> book_;
    Reference<css::lang::XComponent> component_;
    Reference<XTextDocument> textDoc_;
    QString path_;
    std::vector<Reference<XTextRange>> ranges_;
    std::optional<std::vector<Reference<css::uno::XInterface>>> elements_;
    std::optional<sal_Int16> bodyAdjust_;
};

class LoWordInstance : public LoInstance<WordInstance> {
public:
    using LoInstance::LoInstance;

    std::unique_ptr<WordDocument> newDocument() override {
        return unoCall(QStringLiteral("无法新建 Word 文档"), [&] {
            return std::make_unique<LoWordDocument>(session_, book_, session_->load("private:factory/swriter"),
                                                    QString());
        });
    }

    std::unique_ptr<WordDocument> open(const QString& path) override {
        if (!QFileInfo::exists(path))
            throw OfficeError(QStringLiteral("找不到文档：%1").arg(path));
        return unoCall(QStringLiteral("无法打开文档：%1").arg(path), [&] {
            return std::make_unique<LoWordDocument>(session_, book_, session_->load(fileUrl(path)), path);
        });
    }
};

}  // namespace

std::unique_ptr<WordInstance> makeLoWordInstance(std::shared_ptr<UnoSession> session) {
    return std::make_unique<LoWordInstance>(std::move(session));
}

}  // namespace zs
