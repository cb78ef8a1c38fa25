// Preparing an application folder: every file made by the program itself,
// real Word 97 and Excel 97 files, and nothing touched on a second run.

#include "app/appfolder.h"
#include "store/paths.h"
#include "support/testsupport.h"

#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

using namespace zs;

namespace {

QByteArray head(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.read(16);
}

QMap<QString, QDateTime> stamps(const QString& dir) {
    QMap<QString, QDateTime> out;
    QDirIterator it(dir, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        out[p] = QFileInfo(p).lastModified();
    }
    return out;
}

}  // namespace

TEST(AppFolderOffice, PrepareMakesEveryFileOnceAndKeepsExistingOnes) {
    test::TempFolder folder;
    AppFolder app(folder.path());
    EXPECT_EQ(app.missing(), AppFolder::expectedNames());

    const QStringList created = app.prepare(test::office());
    EXPECT_EQ(created.size(), AppFolder::expectedNames().size());
    EXPECT_TRUE(app.missing().isEmpty());

    const QByteArray ole = QByteArray::fromHex("D0CF11E0A1B11AE1");
    for (const QString& doc : {kPaperTemplateName, kAnswerTemplateName, kReviewTemplateName, kHelpDocumentName})
        EXPECT_TRUE(head(app.file(doc)).startsWith(ole)) << doc.toStdString();
    EXPECT_TRUE(head(app.file(kWorkbookTemplateName)).startsWith(ole));
    EXPECT_TRUE(head(app.file(kBankFileName)).startsWith("SQLite format 3"));
    EXPECT_TRUE(QFileInfo(app.file(kDocumentsFolderName)).isDir());

    // The templates carry a title block; the workbook its two sheets and marker.
    const auto word = test::office().startWord();
    EXPECT_TRUE(word->open(app.file(kPaperTemplateName))->text().contains("试卷"));
    EXPECT_TRUE(word->open(app.file(kHelpDocumentName))->text().contains("试题录入"));
    const auto calc = test::office().startSpreadsheet();
    const auto book = calc->open(app.file(kWorkbookTemplateName));
    EXPECT_EQ(book->cellText("sheet2", 1, 1), "a");
    EXPECT_EQ(book->cellText("命卷双向细目表", 2, 3), "题目识别码");
    EXPECT_NE(book->cellBackground("命卷双向细目表", 3, 1), book->cellBackground("命卷双向细目表", 4, 1));
    book->close();
    Bank exportTemplate(app.file(kExportTemplateName));
    EXPECT_TRUE(exportTemplate.query("select * from 试题库").isEmpty());

    // A bank with content survives a second run untouched.
    Bank(app.file(kBankFileName)).addRow("试题来源", {{"试题来源", "1-期中考试"}});
    const auto before = stamps(folder.path());
    EXPECT_TRUE(app.prepare(test::office()).isEmpty());
    EXPECT_EQ(stamps(folder.path()), before);
    EXPECT_EQ(Bank(app.file(kBankFileName)).query("select * from 试题来源").count(), 1);
}

TEST(AppFolderOffice, OnlyTheMissingFilesAreMade) {
    test::TempFolder folder;
    AppFolder app(folder.path());
    app.prepare(test::office());
    QFile::remove(app.file(kReviewTemplateName));
    QFile::remove(app.file(kSplashPictureName));
    EXPECT_EQ(app.prepare(test::office()), QStringList({kReviewTemplateName, kSplashPictureName}));
}
