#pragma once

#include "store/bank.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

namespace zs::test {

// A small catalogue of one volume: chapter 1 with sections 1.1 and 1.2,
// chapter 2 with section 2.1.
//   1.1: 1-A, 2-B, 3-C     1.2: 1-D, 2-E     2.1: 1-F, 2-G'H
extern const QString kChapter1;
extern const QString kSection11;
extern const QString kSection12;
extern const QString kChapter2;
extern const QString kSection21;

void addSampleCatalogue(Bank& bank);

// One row of 教材设置: the values of 科目, 教材版本, 年级, 上下册, 章, 节 and
// 知识点 in this order (fewer leave the deeper columns empty).
void addCatalogueRow(Bank& bank, const QStringList& values);
// The rows of a section path (科目\…\节), one per knowledge point.
void addSectionPoints(Bank& bank, const QString& sectionPath, const QStringList& points);

struct SampleQuestion {
    QString number;
    QString code;
    QString type;
    QString difficulty;
    std::optional<QString> source;
    QList<QPair<QString, QString>> scopes;  // scope path, knowledge-point list
    QString teacher = QStringLiteral("张三");
};

// Stores the question's rows and writes two stand-in documents beside the bank.
void addSampleQuestion(Bank& bank, const SampleQuestion& question);

}  // namespace zs::test
