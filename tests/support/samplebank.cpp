#include "support/samplebank.h"

#include "questions/questionrecord.h"
#include "store/paths.h"
#include "support/testsupport.h"

#include <QDate>
#include <QDir>

namespace zs::test {

namespace {
const QString kVolume = QStringLiteral("1-数学\\1-人教版\\7-七年级\\1-上册");
}

const QString kChapter1 = kVolume + QStringLiteral("\\1-第一章 有理数");
const QString kSection11 = kChapter1 + QStringLiteral("\\1-1.1 正数和负数");
const QString kSection12 = kChapter1 + QStringLiteral("\\2-1.2 有理数");
const QString kChapter2 = kVolume + QStringLiteral("\\2-第二章 整式");
const QString kSection21 = kChapter2 + QStringLiteral("\\1-2.1 整式");

void addCatalogueRow(Bank& bank, const QStringList& values) {
    static const QStringList columns = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};
    RowValues row;
    for (int i = 0; i < values.size() && i < columns.size(); ++i)
        row << qMakePair(columns[i], QVariant(values[i]));
    bank.addRow("教材设置", row);
}

void addSectionPoints(Bank& bank, const QString& sectionPath, const QStringList& points) {
    for (const QString& point : points)
        addCatalogueRow(bank, sectionPath.split(u'\\') << point);
}

void addSampleCatalogue(Bank& bank) {
    addSectionPoints(bank, kSection11, {"1-A", "2-B", "3-C"});
    addSectionPoints(bank, kSection12, {"1-D", "2-E"});
    addSectionPoints(bank, kSection21, {"1-F", "2-G'H"});
}

void addSampleQuestion(Bank& bank, const SampleQuestion& q) {
    QuestionRecord record;
    record.number = q.number;
    record.code = q.code;
    record.type = q.type;
    record.difficulty = q.difficulty;
    record.source = q.source;
    record.date = QDate(2024, 3, 7);
    record.teacher = q.teacher;
    record.scopes = q.scopes;
    addQuestion(bank, record);
    QDir().mkpath(documentsFolderOf(bank.path()));
    TestApp::touch(questionDocumentPath(bank.path(), q.number));
    TestApp::touch(answerDocumentPath(bank.path(), q.number));
}

}  // namespace zs::test
