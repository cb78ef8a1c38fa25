// Qt's own dialogs and buttons speak Chinese once the program has loaded Qt's
// translations (the Debian package of Qt translations).

#include "ui/start/startup.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace zs;

TEST(QtTranslations, TheFileDialogAndTheStandardButtonsAreInChinese) {
    ASSERT_TRUE(installQtTranslations());
    EXPECT_TRUE(installQtTranslations());  // once is enough

    QFileDialog dialog(nullptr, QStringLiteral("选择要导入的试卷"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    auto* fileName = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
    ASSERT_NE(lookIn, nullptr);
    ASSERT_NE(fileName, nullptr);
    EXPECT_EQ(lookIn->text(), QStringLiteral("查找范围："));
    EXPECT_EQ(fileName->text(), QStringLiteral("文件名称(&N)："));
    auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    ASSERT_NE(buttons, nullptr);
    QStringList captions;
    for (QAbstractButton* b : buttons->buttons())
        captions << b->text();
    EXPECT_TRUE(captions.contains(QStringLiteral("打开(&O)"))) << captions.join(u',').toStdString();
    EXPECT_TRUE(captions.contains(QStringLiteral("取消"))) << captions.join(u',').toStdString();

    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));

    // The context menu of a text box.
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList items;
    for (QAction* action : menu->actions())
        items << action->text();
    EXPECT_TRUE(items.filter(QStringLiteral("粘贴")).size() == 1) << items.join(u',').toStdString();
}
