// The office with a locale the machine does not have: Chinese file names
// still reach it whole, and its failures name the file in Chinese.

#include "office/libreoffice.h"
#include "support/testsupport.h"

#include <QFile>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace zs;

TEST(LocaleOffice, ChineseFileNamesWorkUnderALocaleThatIsNotInstalled) {
    // The teacher's session names a Chinese locale this machine lacks.
    ::setenv("LANG", "zh_CN.UTF-8", 1);
    ::setenv("LC_ALL", "zh_CN.UTF-8", 1);
    ::unsetenv("LC_CTYPE");
    LibreOffice office;
    test::TempFolder folder;
    const QString path = folder.file("试卷方案-期中考试/第1题-题目.doc");
    QDir().mkpath(QFileInfo(path).path());
    const auto word = office.startWord();
    {
        const auto doc = word->newDocument();
        doc->append("勾股定理：直角三角形两直角边的平方和等于斜边的平方。");
        doc->saveAs(path);
        doc->saveCopyAs(folder.file("试卷方案-期中考试/第1题-题目.pdf"));
    }
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(QFile::exists(folder.file("试卷方案-期中考试/第1题-题目.pdf")));
    EXPECT_TRUE(word->open(path)->text().startsWith("勾股定理"));

    // A document the office cannot read (a folder under a document's name):
    // the message names it, in Chinese only.
    const QString broken = folder.file("损坏的文档.doc");
    ASSERT_TRUE(QDir().mkpath(broken));
    try {
        word->open(broken)->text();
        FAIL() << "a broken document was opened";
    } catch (const OfficeError& e) {
        const QString message = e.message();
        EXPECT_TRUE(message.contains(broken)) << message.toStdString();
        EXPECT_FALSE(message.contains("type detection")) << message.toStdString();
    }
}
