// The scope trees of the browse screen, the question picker and intelligent
// composition on a screen of 1366×768: chapter names are shown whole.

#include "paper/spectable.h"
#include "support/samplebank.h"
#include "support/testsupport.h"
#include "ui/common/scopetreewidget.h"
#include "ui/compose/Form_stszckxg.h"
#include "ui/compose/Form_znzj.h"
#include "ui/questions/Form_stckxg.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

namespace {

// The longest chapter and section names of the 人教版 catalogue.
const QString kVolume = QStringLiteral("1-初中数学\\1-人教版\\7-七年级\\2-下册");
const QStringList kLongChapters = {QStringLiteral("10-第十章 数据的收集、整理与描述"),
                                   QStringLiteral("14-第十四章 整式的乘法与因式分解"),
                                   QStringLiteral("9-第九章 不等式与不等式组")};
const QString kLongSection = QStringLiteral("2-3.2 解一元一次方程（一）——合并同类项与移项");

class ScopeTreesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bank bank(app.bankPath());
        const QStringList volume = kVolume.split(u'\\');
        for (const QString& chapter : kLongChapters) {
            RowValues row;
            const QStringList values = volume + QStringList{chapter, kLongSection, "1-知识点"};
            static const QStringList columns = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};
            for (int i = 0; i < values.size(); ++i)
                row << qMakePair(columns[i], QVariant(values[i]));
            bank.addRow("教材设置", row);
        }
        bank.addRow("试题来源", {{"试题来源", "1-期中考试"}});
        addSampleQuestion(bank, {"00001",
                                 "张三-00001",
                                 "单选题",
                                 "0.5",
                                 "1-期中考试",
                                 {{kVolume + u'\\' + kLongChapters[0] + u'\\' + kLongSection, "1-知识点"}}});
        app.state().CurrentUserName = "张三";
    }

    // Shows a screen at 1366×768 with its trees opened down to the sections,
    // and names the chapters that do not fit their tree's width.
    QStringList clippedChapters(QWidget& screen, const QString& picture) {
        screen.resize(1366, 768);
        screen.show();
        QApplication::processEvents();
        QStringList clipped;
        for (ScopeTreeWidget* tree : screen.findChildren<ScopeTreeWidget*>()) {
            tree->expandAll();
            QApplication::processEvents();
            const int viewport = tree->viewport()->width();
            for (int n = 0; n < tree->model().count(); ++n) {
                QTreeWidgetItem* item = tree->itemOf(n);
                if (!kLongChapters.contains(item->text(0)))
                    continue;
                const QRect rect = tree->visualItemRect(item);
                const int right = rect.left() + 30 + QFontMetrics(item->font(0)).horizontalAdvance(item->text(0));
                if (right > viewport)
                    clipped << tree->objectName() + ": " + item->text(0);
            }
            // Longer names (sections) can be scrolled to.
            EXPECT_NE(tree->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff) << tree->objectName().toStdString();
        }
        const QString folder = qEnvironmentVariable("ZS_SCREENSHOTS");
        if (!folder.isEmpty())
            screen.grab().save(QDir(folder).filePath(picture));
        return clipped;
    }

    TestApp app;
    QWidget menu;
};

}  // namespace

TEST_F(ScopeTreesTest, TheBrowseScreenShowsWholeChapterNames) {
    Form_stckxg form(app.state(), &menu);
    form.show();
    form.Form_Activate();
    EXPECT_EQ(clippedChapters(form, "stckxg-1366.png").join(" | ").toStdString(), "");
}

TEST_F(ScopeTreesTest, ThePickerShowsWholeChapterNames) {
    SpecTable table;
    Form_stszckxg form(app.state(), table, 1, {});
    form.DWDZhiDingTiHao();
    EXPECT_EQ(clippedChapters(form, "stszckxg-1366.png").join(" | ").toStdString(), "");
}

TEST_F(ScopeTreesTest, IntelligentCompositionShowsWholeChapterNames) {
    Form_znzj form(app.state());
    EXPECT_EQ(clippedChapters(form, "znzj-1366.png").join(" | ").toStdString(), "");
}
