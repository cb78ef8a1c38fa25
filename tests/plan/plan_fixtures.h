#pragma once

// Banks and candidate tables for the composition tests.

#include "plan/plansearch.h"
#include "store/bank.h"
#include "store/textnumbers.h"
#include "support/samplebank.h"
#include "support/testsupport.h"

#include <QDate>
#include <QVariant>
#include <memory>
#include <random>

namespace zs::test {

// A fresh bank in a temporary folder, with helpers to file catalogue entries
// and question rows.
class ComposeBank {
public:
    ComposeBank() {
        Bank::create(path());
        bank = std::make_unique<Bank>(path());
    }
    QString path() const { return folder.file("试题库.mdb"); }

    void addCatalogue(const QStringList& values) { test::addCatalogueRow(*bank, values); }

    struct Row {
        QString number = {};
        QString scope = {};
        QString type = "单选题";
        QString difficulty = "0.5";
        QString knowledge = {};
        QString teacher = "张三";
        QString source = "1-课本";
        QVariant lastUse = {};
    };
    void addQuestion(const Row& r) {
        bank->addRow("试题库", {{"题目编号", r.number},
                                {"考查范围", r.scope},
                                {"题型", r.type},
                                {"难度", r.difficulty},
                                {"知识点", r.knowledge},
                                {"试题识别码", r.teacher + "-" + r.number},
                                {"试题来源", r.source},
                                {"入库日期", QDate(2012, 3, 7)},
                                {"入库教师", r.teacher},
                                {"最后使用日期", r.lastUse}});
    }

    TempFolder folder;
    std::unique_ptr<Bank> bank;
};

// Parameters over the given knowledge points (slot 0 empty added here).
inline CompositionParameters parametersOver(const QStringList& points, int total) {
    CompositionParameters p;
    p.ScopeKnowledgePoints = QStringList{QString()} + points;
    p.TotalWanted = total;
    return p;
}

// A random candidate table that exercises every corner of the offset: unknown
// types and difficulties, empty and repeated knowledge parts, points outside
// the scope, several rows of one question.
inline CandidateTable randomCandidates(std::mt19937& random, int count, const QStringList& scopePoints) {
    static const QStringList types = {"单选题", "多选题", "填空题", "判断题", "计算题",
                                      "作图题", "解答题", "作文题", "论述题", ""};
    static const QStringList difficulties = {"0.1", "0.2", "0.3", "0.4", "0.5",  "0.6",
                                             "0.7", "0.8", "0.9", "1.0", "0.25", ""};
    CandidateTable table;
    for (int i = 0; i < count; ++i) {
        Candidate c;
        // About one question in four has a second row.
        c.number = questionNumberText(1 + randomBelow(random, count * 3 / 4 + 1));
        c.scope = QString("1-数学\\1-人教版\\7-七年级\\1-上册\\%1-章\\1-节").arg(randomBelow(random, 3) + 1);
        c.type = types[randomBelow(random, int(types.size()))];
        c.difficulty = difficulties[randomBelow(random, int(difficulties.size()))];
        QStringList parts;
        const int n = randomBelow(random, 4);
        for (int j = 0; j < n; ++j) {
            const int pick = randomBelow(random, int(scopePoints.size()) + 2);
            parts << (pick < scopePoints.size() ? scopePoints[pick] : pick == scopePoints.size() ? "" : "范围外");
        }
        c.knowledge = parts.join('|');
        c.code = "张三-" + c.number;
        table.push_back(c);
    }
    return table;
}

inline CompositionParameters randomParameters(std::mt19937& random, const QStringList& scopePoints, int total) {
    CompositionParameters p = parametersOver(scopePoints, total);
    for (int& t : p.TypeTargets)
        t = randomBelow(random, 4);
    for (int& l : p.LevelTargets)
        l = randomBelow(random, 4);
    return p;
}

}  // namespace zs::test
