// The name rule of catalogue items and sources, and the statements of the
// catalogue screen run against a real bank (quotes included).

#include "catalogue/catalogue.h"
#include "catalogue/namecheck.h"
#include "store/bank.h"
#include "support/pgcluster.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace zs;
using zs::test::TempFolder;

TEST(NameCheck, NumberDashTextIsTheOnlyAcceptedForm) {
    for (const char* ok :
         {"1-语文", "03-人教版", "12-第十二章", " 2 -物理", "1.5-半章", "+3-x", "1e2-百", "7-", "1-a-b", "1-O'Neil"})
        EXPECT_EQ(nameProblem(QString::fromUtf8(ok)), QString()) << ok;

    const QString format = "输入的名称格式不正确！\r正确的格式应该为：#-********\r其中#代表数字，*代表文字";
    EXPECT_EQ(nameFormatMessage(), format);
    for (const char* bad : {"语文", "一-语文", "-语文", "1.2.3-x", "1,000-x", "a1-x", " -x", "１-全角数字"})
        EXPECT_EQ(nameProblem(QString::fromUtf8(bad)), format) << bad;

    EXPECT_EQ(nameProblem(QString()), "输入的内容不能为空！");
}

// Every level's statements find, rename and delete exactly the rows of one
// path, also when the names contain quotes.
class CatalogueStatements : public zs::test::BothStores {};
ZS_BOTH_STORES(CatalogueStatements);

TEST_P(CatalogueStatements, ActOnExactlyOnePathOfARealBank) {
    ZS_MAKE_BANK();
    Bank bank(location);
    const QStringList mine = {"1-O'语文", "1-人'教版", "7-七年级", "1-上册", "1-第'一章", "1-第'一节", "1-知'识"};
    QStringList other = mine;
    other[6] = "2-别的";
    QStringList cousin = mine;
    cousin[5] = "2-第二节";
    for (const QStringList& row : {mine, other, cousin}) {
        RowValues values;
        for (int i = 0; i < kCatalogueLevels; ++i)
            values << qMakePair(catalogueColumns()[i], QVariant(row[i]));
        bank.addRow("教材设置", values);
    }
    for (int level = 0; level < kCatalogueLevels; ++level) {
        const QStringList names = bank.query(catalogueListQuery(level, mine)).texts();
        EXPECT_TRUE(names.contains(mine[level])) << level;
    }
    EXPECT_EQ(bank.query(catalogueListQuery(6, mine)).texts(), QStringList({"1-知'识", "2-别的"}));

    bank.execute(catalogueUpdateStatement(5, "3-新'节", mine));
    EXPECT_EQ(bank.query(catalogueListQuery(5, mine)).texts(), QStringList({"2-第二节", "3-新'节"}));
    QStringList renamed = mine;
    renamed[5] = "3-新'节";
    bank.execute(catalogueDeleteStatement(6, renamed));
    EXPECT_EQ(bank.query(catalogueListQuery(6, renamed)).texts(), QStringList({"2-别的"}));
    bank.execute(catalogueDeleteStatement(0, mine));
    EXPECT_TRUE(bank.query("select * from 教材设置").isEmpty());
}
