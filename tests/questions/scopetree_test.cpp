// The scope tree: building from a real catalogue, keys, and the three ticking
// rules (leaves only, substring propagation, deepest ticked paths).

#include "questions/scopeknowledge.h"
#include "questions/scopetree.h"
#include "support/pgcluster.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace zs;

namespace {

const QStringList kUpper = {"1-数学", "1-人教版", "7-七年级", "1-上册"};

QStringList path(const QString& chapter, const QString& section = {}) {
    QStringList p = kUpper;
    p << chapter;
    if (!section.isEmpty())
        p << section;
    return p;
}

ScopeTreeModel sample() {
    return ScopeTreeModel::fromPaths(
        {path("1-第一章", "1-第一节"), path("1-第一章", "2-第二节"), path("2-第二章", "1-第一节")});
}

QString joined(const QStringList& p) {
    return p.join('\\');
}

}  // namespace

class ScopeTreeOnBank : public test::BothStores {};
ZS_BOTH_STORES(ScopeTreeOnBank);

TEST_P(ScopeTreeOnBank, BuildsDepthFirstFromTheCatalogueSkippingNullsWithBothKeyStyles) {
    ZS_MAKE_BANK();
    Bank bank(location);
    auto add = [&](const QStringList& v) {
        static const QStringList columns = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};
        RowValues row;
        for (int i = 0; i < v.size(); ++i)
            row << qMakePair(columns[i], QVariant(v[i]));
        bank.addRow("教材设置", row);
    };
    add({"2-物理"});
    add(path("10-第十章", "1-第一节") << "1-点");
    add(path("2-第二章", "1-第一节") << "1-点");
    add(path("2-第二章", "1-第一节") << "2-线");

    const ScopeTreeModel tree = ScopeTreeModel::build(bank);
    QStringList order;
    for (int i = 0; i < tree.count(); ++i)
        order << tree.node(i).text;
    EXPECT_EQ(order, QStringList({"1-数学", "1-人教版", "7-七年级", "1-上册", "2-第二章", "1-第一节", "10-第十章",
                                  "1-第一节", "2-物理"}));
    const ScopeNode& section = tree.node(5);
    EXPECT_EQ(section.level, 6);
    EXPECT_EQ(section.fullPath, joined(path("2-第二章", "1-第一节")));
    EXPECT_EQ(section.key, section.fullPath);
    EXPECT_EQ(tree.roots().size(), 2);

    const ScopeTreeModel shared = ScopeTreeModel::build(bank, ScopeTreeModel::KeyStyle::Concatenated);
    EXPECT_EQ(shared.node(5).key, "1-数学1-人教版7-七年级1-上册2-第二章1-第一节");
    EXPECT_EQ(shared.node(5).fullPath, section.fullPath);
}

TEST(ScopeTree, OnlyLeavesStayTicked) {
    ScopeTreeModel tree = sample();
    const int chapter = tree.findByPath(joined(path("1-第一章")));
    const int section = tree.findByPath(joined(path("1-第一章", "1-第一节")));
    tree.setChecked(chapter, true);
    tree.setChecked(section, true);
    EXPECT_EQ(tree.checkGranularity(), QVector<int>({chapter}));
    EXPECT_TRUE(tree.isChecked(section));
    EXPECT_TRUE(tree.checkGranularity().isEmpty());
}

TEST(ScopeTree, TickingPropagatesBySubstringAndUntickingClearsAncestors) {
    ScopeTreeModel tree = sample();
    const int chapter = tree.findByPath(joined(path("1-第一章")));
    const int first = tree.findByPath(joined(path("1-第一章", "1-第一节")));
    const int second = tree.findByPath(joined(path("1-第一章", "2-第二节")));
    tree.tickPropagating(chapter, true);
    EXPECT_TRUE(tree.isChecked(first) && tree.isChecked(second));
    EXPECT_EQ(tree.deepestCheckedPaths(),
              QStringList({joined(path("1-第一章", "1-第一节")), joined(path("1-第一章", "2-第二节"))}));

    tree.tickPropagating(first, false);
    EXPECT_FALSE(tree.isChecked(first));
    EXPECT_FALSE(tree.isChecked(chapter));
    EXPECT_FALSE(tree.isChecked(tree.findByPath("1-数学")));
    EXPECT_TRUE(tree.isChecked(second));
    EXPECT_EQ(tree.deepestCheckedPaths(), QStringList({joined(path("1-第一章", "2-第二节"))}));
}

TEST(ScopeTree, ALoneSectionIsItsOwnDeepestPath) {
    ScopeTreeModel tree = sample();
    const int section = tree.findByPath(joined(path("2-第二章", "1-第一节")));
    tree.tickPropagating(section, true);
    EXPECT_EQ(tree.deepestCheckedPaths(), QStringList({joined(path("2-第二章", "1-第一节"))}));
}

TEST(ScopeKnowledge, SelectedPointsKeepCandidateOrder) {
    ScopeKnowledgeRow row("p", {"A", "B", "C"});
    EXPECT_TRUE(row.select("C"));
    EXPECT_TRUE(row.select("A"));
    EXPECT_EQ(row.selected(), QStringList({"A", "C"}));
    EXPECT_EQ(row.candidates(), QStringList({"B"}));
    EXPECT_EQ(row.knowledgeList(), "A|C");
    EXPECT_TRUE(row.deselect("A"));
    EXPECT_EQ(row.candidates(), QStringList({"A", "B"}));
    EXPECT_FALSE(row.select("Z"));
}

TEST(ScopeKnowledge, StoredPointsMoveOutOfTheCandidates) {
    ScopeKnowledgeRow row("p", {"A", "B", "C"});
    row.addSelected({"C", "A"});
    row.dropSelectedFromCandidates();
    EXPECT_EQ(row.selected(), QStringList({"C", "A"}));
    EXPECT_EQ(row.candidates(), QStringList({"B"}));
}

TEST(ScopeKnowledge, SectionQueryAndLevelCheck) {
    const QString p = "1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章\\1-It's";
    EXPECT_TRUE(reachesSection(p));
    EXPECT_FALSE(reachesSection("1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章"));
    EXPECT_EQ(sectionKnowledgeQuery(p),
              "select distinct 知识点 from 教材设置 where 科目='1-数学' and 年级='7-七年级' and 上下册='1-上册' and "
              "教材版本='1-人教版' and 章='1-第一章' and 节='1-It''s'");
}
