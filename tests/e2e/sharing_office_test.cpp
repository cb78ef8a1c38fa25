// Two teachers share a section of a bank: one exports it through 题库分享 from
// the demo bank, the other imports it into a bank of her own and finds the
// questions with their documents.

#include "app/appfolder.h"
#include "demo/generator.h"
#include "e2e/demofolder.h"
#include "store/paths.h"
#include "ui/Form_stckxg.h"
#include "ui/Form_tkfx.h"
#include "ui/scopetreewidget.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace zs;

namespace {

void tick(ScopeTreeWidget* tree, const QString& path) {
    const int node = tree->model().findByPath(path);
    ASSERT_GE(node, 0) << path.toStdString();
    tree->itemOf(node)->setCheckState(0, Qt::Checked);
}

}  // namespace

TEST(SharingRoad, ASectionTravelsFromOneBankToAnother) {
    test::TempFolder demo;
    demo::writeDemoFolder(demo.path(), test::office(), {});

    // The teacher with the demo bank exports one section, questions and catalogue.
    test::TeacherApp sender(demo.path());
    RowSet rows = Bank(sender.bankPath()).query("select 考查范围 from 试题库 where 入库教师='张老师'");
    ASSERT_GT(rows.count(), 0);
    const QString section = rows.text(0, 0);
    const RowSet sectionRows = Bank(sender.bankPath()).query("select * from 试题库 where 考查范围='" + section + "'");
    const int exported = sectionRows.count();
    const QStringList codes = [&] {
        QStringList c;
        for (int r = 0; r < sectionRows.count(); ++r)
            c << sectionRows.text(r, "试题识别码");
        return c;
    }();
    {
        Form_tkfx screen(*sender.state);
        tick(screen.findChild<ScopeTreeWidget*>("TreeView_tkdc"), section);
        screen.findChild<QRadioButton*>("Option_stkandjcsz_tkdc")->setChecked(true);
        screen.findChild<QPushButton*>("Command_dc")->click();
    }
    const QStringList told = sender.prompts.messages();
    ASSERT_EQ(told.size(), 2);
    EXPECT_EQ(told[0], "勾选范围内的<试题>，已全部导出！\r\r成功导出的<试题数>为： " + QString::number(exported) +
                           "\r\r导出位置为<桌面>，请注意查看！");
    EXPECT_TRUE(told[1].startsWith("勾选范围内的<教材设置>，已全部导出！"));
    const QStringList folders = QDir(sender.desktopFolder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 1);
    const QString exportFolder = QDir(sender.desktopFolder.path()).filePath(folders[0]);
    const QString exportBank = QDir(exportFolder).filePath(folders[0] + ".mdb");
    ASSERT_TRUE(QFileInfo::exists(exportBank));

    // The other teacher, with a bank of her own, imports the folder she was given.
    test::TeacherApp receiver;
    AppFolder(receiver.dir()).prepare(test::office());
    receiver.state->CurrentUserName = "王老师";
    {
        Form_tkfx screen(*receiver.state);
        receiver.prompts.type(exportBank);
        screen.findChild<QPushButton*>("Command_dkwbtk")->click();
        tick(screen.findChild<ScopeTreeWidget*>("TreeView_tkdr"), section);
        screen.findChild<QRadioButton*>("Option_stkandjcsz_tkdr")->setChecked(true);
        screen.findChild<QPushButton*>("Command_dr")->click();
    }
    const QStringList imported = receiver.prompts.messages();
    ASSERT_EQ(imported.size(), 2) << imported.join(" / ").toStdString();
    EXPECT_EQ(imported[0], "勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： " + QString::number(exported));
    Bank bank(receiver.bankPath());
    const RowSet arrived = bank.query("select * from 试题库");
    ASSERT_EQ(arrived.count(), exported);
    for (int r = 0; r < arrived.count(); ++r) {
        const QString number = arrived.text(r, "题目编号");
        EXPECT_EQ(number, QString::number(r + 1).rightJustified(5, '0'));
        EXPECT_TRUE(codes.contains(arrived.text(r, "试题识别码")));
        EXPECT_TRUE(QFileInfo::exists(questionDocumentPath(receiver.bankPath(), number)));
        EXPECT_TRUE(QFileInfo::exists(answerDocumentPath(receiver.bankPath(), number)));
        EXPECT_TRUE(arrived.isNull(r, "试题来源"));
    }
    EXPECT_GT(bank.query("select * from 教材设置").count(), 0);

    // She finds the first of them on her browse screen by its identification code.
    receiver.prompts.clear();
    Form_stckxg browse(*receiver.state);
    browse.Form_Activate();
    receiver.prompts.type(codes.first());
    browse.Command_dwdthsbm_Click();
    EXPECT_EQ(browse.findChild<QLabel*>("Label_dqtmsbm")->text(), codes.first());
    EXPECT_EQ(browse.findChild<QLabel*>("Label_dqtmbh")->text(), "00001");
}
