// Word documents through the real LibreOffice, read back after saving.

#include "office/libreoffice.h"
#include "support/testsupport.h"

#include <QFile>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QPdfDocument>
#include <QProcess>
#include <gtest/gtest.h>

using namespace zs;
using zs::test::TempFolder;

namespace {

// A picture with a white background and a red square in the middle.
QString makePicture(const TempFolder& folder) {
    QImage image(80, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 20; y < 40; ++y)
        for (int x = 30; x < 50; ++x)
            image.setPixel(x, y, qRgb(200, 0, 0));
    const QString path = folder.file("图.png");
    image.save(path);
    return path;
}

QString runsText(const QList<TextRun>& runs) {
    QString s;
    for (const TextRun& r : runs)
        s += r.text;
    return s;
}

const TextRun* runWith(const QList<TextRun>& runs, const QString& text) {
    for (const TextRun& r : runs)
        if (r.text.contains(text))
            return &r;
    return nullptr;
}

}  // namespace

TEST(WriterOffice, AppendedTextStylesCommentsAndInsertedDocumentSurviveTheRoundTrip) {
    TempFolder folder;
    const auto word = test::office().startWord();

    // The document to insert: a line of text and a picture.
    const QString insertedPath = folder.file("插入.doc");
    {
        const auto doc = word->newDocument();
        doc->append("被插入的题目：计算 1+1。");
        doc->appendPicture(makePicture(folder), 20);
        doc->saveAs(insertedPath);
        doc->close();
    }

    const QString path = folder.file("输出.doc");
    {
        const auto doc = word->newDocument();
        doc->append("一、单选题（共有3道小题）\r", boldStyle());
        doc->append("1.", boldStyle());
        const RangeId code = doc->append("[张三-00012]", boldStyle(kRed));
        doc->addComment(code, "\r考查范围：\r第一节\r知识点：\r1-正数\r难度：0.5");
        doc->appendDocument(insertedPath);
        doc->append("参考答案:", boldStyle(kBlue));
        doc->append("普通文字");
        doc->setFontName("宋体");
        doc->saveAs(path);
        EXPECT_EQ(doc->path(), path);
        doc->close();
    }

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // Word 97 files are OLE compound documents.
    EXPECT_TRUE(file.read(8).startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
    file.close();

    const auto doc = word->open(path);
    const QString text = doc->text();
    const int heading = text.indexOf("一、单选题（共有3道小题）");
    const int number = text.indexOf("1.[张三-00012]被插入的题目");  // pasted text continues the line
    const int answer = text.indexOf("参考答案:普通文字");
    EXPECT_GE(heading, 0) << text.toStdString();
    EXPECT_GT(number, heading) << QString(text).replace(QChar(13), "¶").toStdString();
    EXPECT_GT(answer, number) << text.toStdString();

    const QList<TextRun> runs = doc->runs();
    const TextRun* headingRun = runWith(runs, "单选题");
    ASSERT_NE(headingRun, nullptr);
    EXPECT_TRUE(headingRun->bold);
    const TextRun* codeRun = runWith(runs, "[张三-00012]");
    ASSERT_NE(codeRun, nullptr);
    EXPECT_TRUE(codeRun->bold);
    ASSERT_TRUE(codeRun->color.has_value());
    EXPECT_EQ(*codeRun->color, qRgb(255, 0, 0));
    const TextRun* answerRun = runWith(runs, "参考答案:");
    ASSERT_NE(answerRun, nullptr);
    EXPECT_EQ(answerRun->color.value_or(0), qRgb(0, 0, 255));
    const TextRun* plain = runWith(runs, "普通文字");
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->bold);
    EXPECT_FALSE(plain->color.has_value());
    for (const TextRun& r : runs) {
        if (r.text != "\r") {
            EXPECT_EQ(r.fontName, "宋体") << r.text.toStdString();
        }
    }

    const QList<DocumentComment> comments = doc->comments();
    ASSERT_EQ(comments.size(), 1);
    EXPECT_EQ(comments[0].content, "\r考查范围：\r第一节\r知识点：\r1-正数\r难度：0.5");
    EXPECT_EQ(comments[0].anchorText, "[张三-00012]");
    EXPECT_EQ(doc->pictureCount(), 1);
    EXPECT_FALSE(runsText(runs).isEmpty());
}

TEST(WriterOffice, FloatingPicturesGetWhiteAsTheirTransparentColour) {
    TempFolder folder;
    const auto word = test::office().startWord();
    const auto doc = word->newDocument();
    doc->append("有一个浮动图形：");
    doc->appendPicture(makePicture(folder), 20, /*floating=*/true);
    doc->appendPicture(makePicture(folder), 20, /*floating=*/false);
    EXPECT_EQ(doc->floatingShapeCount(), 1);
    EXPECT_EQ(doc->pictureCount(), 2);
    doc->setFloatingPicturesTransparentColor(kWhite);
    const QString path = folder.file("浮动.doc");
    doc->saveAs(path);
    doc->close();

    const auto back = word->open(path);
    ASSERT_EQ(back->floatingShapeCount(), 1);
    const QImage picture = back->floatingPicture(0);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(qAlpha(picture.pixel(2, 2)), 0);  // white corner is transparent
    const QRgb middle = picture.pixel(picture.width() / 2, picture.height() / 2);
    EXPECT_EQ(qAlpha(middle), 255);
    EXPECT_GT(qRed(middle), 150);
}

TEST(WriterOffice, MissingDocumentsAreReportedByName) {
    const auto word = test::office().startWord();
    try {
        word->open("/没有/这个/文件.doc");
        FAIL();
    } catch (const OfficeError& e) {
        EXPECT_TRUE(e.message().contains("文件.doc"));
    }
    const auto doc = word->newDocument();
    EXPECT_THROW(doc->appendDocument("/没有/题目.doc"), OfficeError);
}

TEST(WriterOffice, QuittingAnInstanceClosesWhatItLeftOpen) {
    TempFolder folder;
    auto word = test::office().startWord();
    const auto doc = word->newDocument();
    doc->append("x");
    word->quit();
    EXPECT_THROW(doc->saveAs(folder.file("a.doc")), OfficeError);
}

TEST(WriterOffice, ExportsAPdfForPreviews) {
    TempFolder folder;
    const auto word = test::office().startWord();
    const QString path = folder.file("预览.doc");
    {
        const auto doc = word->newDocument();
        doc->append("预览内容");
        doc->saveAs(path);
    }
    const QString pdf = folder.file("预览.pdf");
    test::office().exportPdf(path, pdf);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF"));
}

namespace {

// Page 1 of a PDF, drawn on white and cut to what it holds.
QImage firstPageInk(const QString& pdf) {
    QPdfDocument document;
    document.load(pdf);
    if (document.pageCount() < 1)
        return {};
    const QSizeF points = document.pagePointSize(0);
    const QImage page = document.render(0, QSize(1200, int(1200 * points.height() / points.width())));
    QImage paper(page.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter(&paper).drawImage(0, 0, page);
    int left = paper.width(), right = -1, top = paper.height(), bottom = -1;
    for (int y = 0; y < paper.height(); ++y)
        for (int x = 0; x < paper.width(); ++x)
            if (qGray(paper.pixel(x, y)) < 200) {
                left = qMin(left, x);
                right = qMax(right, x);
                top = qMin(top, y);
                bottom = qMax(bottom, y);
            }
    return right < 0 ? QImage() : paper.copy(QRect(QPoint(left, top), QPoint(right, bottom)));
}

// The ink of a picture scaled to a fixed square, for comparing shapes.
QImage scaledInk(const QImage& ink) {
    return ink.isNull() ? QImage() : ink.scaled(96, 96, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// One character drawn by Qt in the given face, cut to its ink.
QImage drawnByQt(const QString& character, const char* family) {
    QImage canvas(240, 240, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(180);
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(canvas.rect(), Qt::AlignCenter, character);
    painter.end();
    int left = canvas.width(), right = -1, top = canvas.height(), bottom = -1;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (qGray(canvas.pixel(x, y)) < 200) {
                left = qMin(left, x);
                right = qMax(right, x);
                top = qMin(top, y);
                bottom = qMax(bottom, y);
            }
    return right < 0 ? QImage() : canvas.copy(QRect(QPoint(left, top), QPoint(right, bottom)));
}

// The share of pixels in which two pictures of the same size differ.
double difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 1;
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 64;
    return double(differing) / (a.width() * a.height());
}

}  // namespace

TEST(WriterOffice, SongTiIsDrawnWithTheChineseSerifFace) {
    TempFolder folder;
    const auto word = test::office().startWord();
    auto pdfOf = [&](const QString& text, const QString& font) {
        const auto doc = word->newDocument();
        doc->append(text, songStyle(text.size() == 1 ? 96 : 28, false, TextStyle::Align::Left));
        doc->setFontName(font);
        const QString path = folder.file(QStringLiteral("%1-%2.doc").arg(font).arg(text.size()));
        doc->saveAs(path);
        doc->close();
        const QString pdf = QString(path).replace(".doc", ".pdf");
        test::office().exportPdf(path, pdf);
        return pdf;
    };
    const QString text = QStringLiteral("直骨角写画");
    const QString song = pdfOf(text, QStringLiteral("宋体"));
    const QImage songInk = firstPageInk(song);
    ASSERT_FALSE(songInk.isNull());
    // The document still asks for 宋体; the office draws it as Noto Serif CJK SC.
    EXPECT_LT(difference(songInk, firstPageInk(pdfOf(text, QStringLiteral("Noto Serif CJK SC")))), 0.001);
    EXPECT_GT(difference(songInk, firstPageInk(pdfOf(text, QStringLiteral("Noto Sans CJK SC")))), 0.01);

    // In the Chinese forms of the characters: 骨 as the SC face draws it by
    // itself, not as the Japanese face does.
    const QImage bone = scaledInk(firstPageInk(pdfOf(QStringLiteral("骨"), QStringLiteral("宋体"))));
    const double toChinese = difference(bone, scaledInk(drawnByQt(QStringLiteral("骨"), "Noto Serif CJK SC")));
    const double toJapanese = difference(bone, scaledInk(drawnByQt(QStringLiteral("骨"), "Noto Serif CJK JP")));
    EXPECT_LT(toChinese, toJapanese / 2) << toChinese << " " << toJapanese;

    // The face embedded in the PDF is the serif one (all faces of the Noto CJK
    // collection share one glyph table, whose name the PDF carries).
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {song});
    ASSERT_TRUE(fonts.waitForFinished(30000));
    const QString listed = QString::fromUtf8(fonts.readAllStandardOutput());
    EXPECT_TRUE(listed.contains(QStringLiteral("NotoSerifCJK"))) << listed.toStdString();
    EXPECT_FALSE(listed.contains(QStringLiteral("Sans"))) << listed.toStdString();
}

TEST(WriterOffice, TheDocumentsOwnAlignmentStartsAParagraphAfterACentredOne) {
    TempFolder folder;
    const auto word = test::office().startWord();
    // A question that ends with a centred figure line.
    const QString figure = folder.file("图题.doc");
    {
        const auto doc = word->newDocument();
        doc->append("题干文字");
        doc->append("\r[图]", songStyle(12, false, TextStyle::Align::Center));
        doc->saveAs(figure);
    }
    const auto doc = word->newDocument();
    TextStyle own = boldStyle();
    own.align = TextStyle::Align::Body;
    doc->append("1.", own);
    doc->appendDocument(figure);
    doc->append("2.");  // keeps what the paragraph before it had
    doc->appendDocument(figure);
    doc->append("3.", own);
    doc->append("\r下一行", own);
    const QString path = folder.file("对齐.doc");
    doc->saveAs(path);
    doc->close();

    QMap<QString, ParagraphAlignment> alignment;
    for (const Paragraph& p : word->open(path)->paragraphs())
        alignment[p.text] = p.alignment;
    EXPECT_EQ(alignment.value("1.题干文字", ParagraphAlignment::Right), ParagraphAlignment::Left);
    EXPECT_EQ(alignment.value("[图]", ParagraphAlignment::Right), ParagraphAlignment::Center);
    EXPECT_EQ(alignment.value("2.题干文字", ParagraphAlignment::Right), ParagraphAlignment::Center);
    EXPECT_EQ(alignment.value("3.", ParagraphAlignment::Right), ParagraphAlignment::Left);
    EXPECT_EQ(alignment.value("下一行", ParagraphAlignment::Right), ParagraphAlignment::Left);
}

TEST(WriterOffice, AHeadingKeptWithTheNextParagraphStaysSoInTheSavedDocument) {
    TempFolder folder;
    const auto word = test::office().startWord();
    const auto doc = word->newDocument();
    TextStyle heading = songStyle(15, true, TextStyle::Align::Left);
    heading.keepWithNext = true;
    doc->append("正文在前");
    doc->append("\r十二、标题", heading);
    doc->append("\r标题下的正文", songStyle(12, false, TextStyle::Align::Left));
    const QString path = folder.file("标题.doc");
    doc->saveAs(path);
    doc->close();

    QMap<QString, bool> kept;
    for (const Paragraph& p : word->open(path)->paragraphs())
        kept[p.text] = p.keepWithNext;
    ASSERT_EQ(kept.size(), 3);
    EXPECT_FALSE(kept.value("正文在前"));
    EXPECT_TRUE(kept.value("十二、标题"));
    EXPECT_FALSE(kept.value("标题下的正文"));
}
