// The bank sharing screen driven through its controls: the export tree ticks
// downwards and upwards, the import tree only the node clicked; export to the
// desktop and import from the exported bank with the exact messages.

#include "sharing/banksharing.h"
#include "store/bank.h"
#include "store/paths.h"
#include "support/testsupport.h"
#include "ui/common/scopetreewidget.h"
#include "ui/sharing/Form_tkfx.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

using namespace zs;
using zs::test::child;
using zs::test::TestApp;
using zs::test::tick;

namespace {

const QStringList kColumns = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};
const QStringList kUpper = {"1-数学", "1-人教版", "7-七年级", "1-上册"};

void catalogueRow(Bank& bank, const QStringList& names) {
    RowValues row;
    for (int i = 0; i < names.size(); ++i)
        row << qMakePair(kColumns[i], QVariant(names[i]));
    bank.addRow("教材设置", row);
}

QString path(const QStringList& names) {
    return (kUpper + names).join('\\');
}

class TkfxTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bank::createExportTemplate(app.folder.file(kExportTemplateName));
        Bank bank(app.bankPath());
        catalogueRow(bank, kUpper + QStringList{"1-第一章", "1-正数和负数", "1-正数"});
        catalogueRow(bank, kUpper + QStringList{"1-第一章", "2-有理数", "1-数轴"});
        catalogueRow(bank, kUpper + QStringList{"2-第二章", "1-整式", "1-单项式"});
        question(bank, "00001", path({"1-第一章", "1-正数和负数"}));
        question(bank, "00002", path({"1-第一章", "2-有理数"}));
        question(bank, "00003", path({"2-第二章", "1-整式"}));
    }

    void question(Bank& bank, const QString& number, const QString& scope) {
        bank.addRow("试题库", {{"题目编号", number}, {"考查范围", scope}, {"试题识别码", "李四-" + number}});
        TestApp::touch(questionDocumentPath(app.bankPath(), number));
        TestApp::touch(answerDocumentPath(app.bankPath(), number));
    }

    static void click(Form_tkfx& form, const char* name) {
        QTest::mouseClick(child<QPushButton>(&form, name), Qt::LeftButton);
    }
    static QStringList ticked(ScopeTreeWidget* tree) {
        QStringList out;
        for (int i = 0; i < tree->model().count(); ++i)
            if (tree->itemOf(i)->checkState(0) == Qt::Checked)
                out << tree->model().node(i).text;
        return out;
    }
    QStringList exportFolders() const {
        return QDir(app.desktopFolder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }

    TestApp app;
};

}  // namespace

TEST_F(TkfxTest, OpensOnTheExportTabWithEveryCaptionAndNothingChosen) {
    app.state().BankPath = "elsewhere";
    Form_tkfx form(app.state());
    EXPECT_EQ(form.windowTitle(), "题库分享-琢石试题库");
    EXPECT_EQ(app.state().BankPath, app.bankPath());
    auto* tabs = child<QTabWidget>(&form, "SSTab_tkfx");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(tabs->tabText(0), "题  库  导  出");
    EXPECT_EQ(tabs->tabText(1), "题  库  导  入");
    EXPECT_EQ(child<QLabel>(&form, "Label1")->text(), "琢石-试题库-分享平台");
    EXPECT_EQ(child<QGroupBox>(&form, "Frame_tkdc")->title(), "导出范围-勾选区");
    EXPECT_EQ(child<QGroupBox>(&form, "Frame3")->title(), "操作区");
    EXPECT_EQ(child<QGroupBox>(&form, "Frame_tkdr")->title(), "导入范围-勾选区");
    EXPECT_EQ(child<QGroupBox>(&form, "Frame2")->title(), "操作区");
    const QList<QPair<const char*, const char*>> buttons = {
        {"Command_szdcwz", "设置导出位置"}, {"Command_dc", "导     出"}, {"Command_tc", "退     出"},
        {"Command_dkwbtk", "打开外部题库"}, {"Command_dr", "导     入"}, {"Command2", "退     出"}};
    for (const auto& [name, caption] : buttons)
        EXPECT_EQ(child<QPushButton>(&form, name)->text(), QString::fromUtf8(caption)) << name;
    for (const char* tab : {"_tkdc", "_tkdr"}) {
        const QString suffix = QString::fromUtf8(tab);
        const QList<QPair<QString, QString>> options = {{"Option_jstk" + suffix, "仅<试题库>"},
                                                        {"Option_jjcsz" + suffix, "仅<教材设置>"},
                                                        {"Option_stkandjcsz" + suffix, "<试题库>和<教材设置>一起"}};
        for (const auto& [name, caption] : options) {
            auto* option = form.findChild<QRadioButton*>(name);
            ASSERT_NE(option, nullptr) << qPrintable(name);
            EXPECT_EQ(option->text(), caption);
            EXPECT_FALSE(option->isChecked());
        }
    }
    // The two tabs' choices are separate groups.
    child<QRadioButton>(&form, "Option_jstk_tkdc")->setChecked(true);
    child<QRadioButton>(&form, "Option_jjcsz_tkdr")->setChecked(true);
    EXPECT_TRUE(child<QRadioButton>(&form, "Option_jstk_tkdc")->isChecked());

    auto* tree = child<ScopeTreeWidget>(&form, "TreeView_tkdc");
    ASSERT_EQ(tree->model().count(), 9);
    const ScopeNode& section = tree->model().node(tree->model().findByPath(path({"1-第一章", "2-有理数"})));
    EXPECT_EQ(section.key, "1-数学1-人教版7-七年级1-上册1-第一章2-有理数");
    EXPECT_TRUE(ticked(tree).isEmpty());
    EXPECT_EQ(child<ScopeTreeWidget>(&form, "TreeView_tkdr")->model().count(), 0);
}

TEST_F(TkfxTest, ExportTicksPropagateAndTheExportGoesToTheDesktop) {
    Form_tkfx form(app.state());
    auto* tree = child<ScopeTreeWidget>(&form, "TreeView_tkdc");
    tick(tree, path({"1-第一章"}));
    EXPECT_EQ(ticked(tree), QStringList({"1-第一章", "1-正数和负数", "2-有理数"}));
    tick(tree, path({"1-第一章", "1-正数和负数"}), false);
    EXPECT_EQ(ticked(tree), QStringList({"2-有理数"}));
    tick(tree, path({"2-第二章"}));
    EXPECT_EQ(form.CollectExportScope(), QStringList({path({"1-第一章", "2-有理数"}), path({"2-第二章", "1-整式"})}));

    click(form, "Command_dc");
    EXPECT_EQ(app.prompts.messages(), QStringList({"请在左侧勾选要导出的内容！"}));
    EXPECT_TRUE(exportFolders().isEmpty());

    app.prompts.clear();
    child<QRadioButton>(&form, "Option_stkandjcsz_tkdc")->setChecked(true);
    click(form, "Command_dc");
    EXPECT_EQ(
        app.prompts.messages(),
        QStringList({"勾选范围内的<试题>，已全部导出！\r\r成功导出的<试题数>为： 2\r\r导出位置为<桌面>，请注意查看！",
                     "勾选范围内的<教材设置>，已全部导出！\r\r成功导出的<教材设置>条目数量为： 2\r\r"
                     "导出位置为<桌面>，请注意查看！",
                     "同样的内容也已打包成一个文件，便于发送给同事：\r" +
                         QDir::toNativeSeparators(app.desktopFolder.file(exportFolders().value(0) + ".zip"))}));
    ASSERT_EQ(exportFolders().size(), 1);
    const QString folder = exportFolders().first();
    EXPECT_TRUE(QFileInfo::exists(app.desktopFolder.file(folder + ".zip")));
    EXPECT_TRUE(folder.startsWith("导出试题库-")) << qPrintable(folder);
    EXPECT_TRUE(QFileInfo::exists(app.desktopFolder.file(folder + "/" + folder + ".mdb")));
    EXPECT_EQ(QDir(app.desktopFolder.file(folder + "/试题源文件")).entryList(QDir::Files).size(), 4);

    // Unticked, the folder alone is written.
    child<QCheckBox>(&form, "Check_dczip")->setChecked(false);
    app.clock.advanceSeconds(120);
    app.prompts.clear();
    click(form, "Command_dc");
    EXPECT_EQ(app.prompts.messages().size(), 2);
    EXPECT_EQ(QDir(app.desktopFolder.path()).entryList({"*.zip"}, QDir::Files).size(), 1);
    EXPECT_EQ(exportFolders().size(), 2);

    // Without its template the export says which file is missing and the screen stays.
    QFile::remove(app.folder.file(kExportTemplateName));
    app.prompts.clear();
    click(form, "Command_dc");
    ASSERT_EQ(app.prompts.records().size(), 1);
    EXPECT_EQ(app.prompts.lastMessage(), "找不到试题库导出模板文件，不能导出：\r" +
                                             QDir::toNativeSeparators(app.folder.file(kExportTemplateName)));
    EXPECT_EQ(exportFolders().size(), 2);
}

TEST_F(TkfxTest, TheChosenExportPlaceIsOnlyShown) {
    Form_tkfx form(app.state());
    app.prompts.type("/home/teacher/共享/题库.mdb");
    click(form, "Command_szdcwz");
    app.prompts.cancel();
    click(form, "Command_szdcwz");
    ASSERT_EQ(app.prompts.records().size(), 3);
    EXPECT_EQ(app.prompts.records()[0].kind, PromptRecord::Kind::SaveFile);
    EXPECT_EQ(app.prompts.messages(), QStringList({QDir::toNativeSeparators("/home/teacher/共享/题库.mdb")}));
    EXPECT_TRUE(exportFolders().isEmpty());
}

TEST_F(TkfxTest, ImportOpensAnotherBankTicksOneNodeAndImports) {
    // An export of two sections of this bank is the other teacher's bank.
    app.state().resetBankPath();
    runExport(app.state(), ShareContent::Both, {path({"1-第一章", "1-正数和负数"}), path({"2-第二章", "1-整式"})});
    const QString folder = exportFolders().first();
    const QString external = app.desktopFolder.file(folder + "/" + folder + ".mdb");
    TestApp receiver;
    Form_tkfx form(receiver.state());
    auto* tree = child<ScopeTreeWidget>(&form, "TreeView_tkdr");

    receiver.prompts.cancel();
    click(form, "Command_dkwbtk");
    EXPECT_EQ(receiver.prompts.records().size(), 1);
    EXPECT_EQ(receiver.prompts.records()[0].filter,
              "试题库文件或压缩文件|*.mdb;*.zip|Access数据库文件|*.mdb;*.Access|试题库压缩文件|*.zip");
    EXPECT_TRUE(form.externalBankPath().isEmpty());

    receiver.prompts.type(external);
    click(form, "Command_dkwbtk");
    EXPECT_EQ(form.externalBankPath(), external);
    ASSERT_EQ(tree->model().count(), 8);
    EXPECT_TRUE(child<QLabel>(&form, "Label_wbtk")->text().endsWith(QDir::toNativeSeparators(external)));

    // A file that is no bank is refused; the tree keeps the bank opened before.
    const QString notes = receiver.folder.file("说明.mdb");
    {
        QFile f(notes);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("plain text");
    }
    receiver.prompts.clear();
    receiver.prompts.type(notes);
    click(form, "Command_dkwbtk");
    EXPECT_EQ(receiver.prompts.messages(),
              QStringList({"这个文件不是试题库文件：\r" + QDir::toNativeSeparators(notes)}));
    EXPECT_EQ(form.externalBankPath(), external);
    EXPECT_EQ(tree->model().count(), 8);

    // Ticking a chapter ticks everything under it, as on the export tab.
    tick(tree, path({"1-第一章"}));
    EXPECT_EQ(ticked(tree), QStringList({"1-第一章", "1-正数和负数"}));
    tick(tree, path({"2-第二章", "1-整式"}));
    EXPECT_EQ(form.CollectImportScope(),
              QStringList({path({"1-第一章", "1-正数和负数"}), path({"2-第二章", "1-整式"})}));

    receiver.prompts.clear();
    click(form, "Command_dr");
    EXPECT_EQ(receiver.prompts.messages(), QStringList({"请在左侧勾选要导出的内容！"}));
    // These questions carry no source: the teacher names the one they get.
    receiver.prompts.clear();
    child<QRadioButton>(&form, "Option_stkandjcsz_tkdr")->setChecked(true);
    receiver.prompts.type("李四老师分享");
    // The import shows how far it is, and the bar goes when it is over.
    auto* bar = child<QProgressBar>(&form, "ProgressBar_dr");
    EXPECT_TRUE(bar->isHidden());
    QList<int> shown;
    bool visibleWhileImporting = false;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        shown << value;
        visibleWhileImporting = visibleWhileImporting || !bar->isHidden();
    });
    click(form, "Command_dr");
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(visibleWhileImporting);
    EXPECT_EQ(shown.last(), bar->maximum());
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_TRUE(bar->isHidden());
    ASSERT_EQ(receiver.prompts.records().size(), 3);
    EXPECT_EQ(receiver.prompts.records()[0].defaultText, folder);
    EXPECT_EQ(receiver.prompts.messages(),
              QStringList({"勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： 2",
                           "勾选范围内的<教材设置>，已全部导入！\r\r成功导入的<教材设置>条目数量为： 2"}));
    const RowSet rows = Bank(receiver.bankPath()).query("select 题目编号, 试题识别码, 试题来源 from 试题库");
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.text(0, 0), "00001");
    EXPECT_EQ(rows.text(0, 1), "李四-00001");
    EXPECT_EQ(rows.text(1, 1), "李四-00003");
    EXPECT_EQ(rows.text(1, 2), "李四老师分享");
}

TEST_F(TkfxTest, TheOneFileFormOpensAndImportsLikeTheFolder) {
    app.state().resetBankPath();
    runExport(app.state(), ShareContent::Both, {path({"1-第一章", "1-正数和负数"})}, true);
    const QString zip = app.desktopFolder.file(exportFolders().first() + ".zip");
    TestApp receiver;
    Form_tkfx form(receiver.state());
    auto* tree = child<ScopeTreeWidget>(&form, "TreeView_tkdr");
    receiver.prompts.type(zip);
    click(form, "Command_dkwbtk");
    EXPECT_TRUE(receiver.prompts.messages().isEmpty()) << qPrintable(receiver.prompts.lastMessage());
    EXPECT_TRUE(form.externalBankPath().endsWith(".mdb")) << qPrintable(form.externalBankPath());
    EXPECT_GT(tree->model().count(), 0);

    tick(tree, path({"1-第一章"}));
    child<QRadioButton>(&form, "Option_jstk_tkdr")->setChecked(true);
    receiver.prompts.type("分享");
    click(form, "Command_dr");
    EXPECT_EQ(receiver.prompts.lastMessage(), "勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： 1");
    EXPECT_EQ(Bank(receiver.bankPath()).query("select * from 试题库").count(), 1);
}

TEST_F(TkfxTest, ExitClosesTheScreenAndShowsTheMainMenu) {
    for (const char* command : {"Command_tc", "Command2"}) {
        QMainWindow menu;
        Form_tkfx form(app.state(), &menu);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        EXPECT_FALSE(menu.isVisible());
        click(form, command);
        EXPECT_FALSE(form.isVisible()) << command;
        EXPECT_TRUE(menu.isVisible()) << command;
    }
}

// A tidy screen at its default size; with ZS_SCREENSHOT_DIR set, pictures of
// both tabs are saved there (of the bank in ZS_DEMO_DIR when that is set).
TEST_F(TkfxTest, BothTabsLookTidy) {
    const QString demo = qEnvironmentVariable("ZS_DEMO_DIR");
    if (!demo.isEmpty()) {
        QFile::remove(app.bankPath());
        ASSERT_TRUE(QFile::copy(QDir(demo).filePath(kBankFileName), app.bankPath()));
    }
    Form_tkfx form(app.state());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // The default size on a desktop screen; a smaller screen gets a window that fits it.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    if (area.width() >= 1020 && area.height() >= 780) {
        EXPECT_EQ(form.size(), QSize(1000, 720));
    } else {
        EXPECT_LE(form.width(), qMax(area.width(), form.minimumWidth()));
        form.resize(1000, 720);
        QApplication::processEvents();
    }
    auto* tree = child<ScopeTreeWidget>(&form, "TreeView_tkdc");
    auto* operations = child<QGroupBox>(&form, "Frame3");
    EXPECT_GE(tree->width(), 2 * operations->width());
    for (const char* name : {"Option_stkandjcsz_tkdc", "Command_dc", "Command_tc"}) {
        QWidget* w = child<QWidget>(&form, name);
        EXPECT_GE(w->width(), w->sizeHint().width()) << name;
    }
    tree->expandAll();
    const ScopeTreeModel& model = tree->model();
    int ticks = 0;
    for (int i = 0; i < model.count() && ticks < 2; ++i) {
        if (model.node(i).level == 5 && !model.node(i).children.isEmpty()) {
            tick(tree, model.node(i).fullPath);
            ++ticks;
        }
    }
    EXPECT_EQ(ticks, 2);
    child<QRadioButton>(&form, "Option_stkandjcsz_tkdc")->setChecked(true);
    const QString dir = qEnvironmentVariable("ZS_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        form.grab().save(QDir(dir).filePath("Form_tkfx-export.png"));

    // The import tab with this bank opened as the external one.
    child<QTabWidget>(&form, "SSTab_tkfx")->setCurrentIndex(1);
    app.prompts.type(app.bankPath());
    click(form, "Command_dkwbtk");
    auto* imports = child<ScopeTreeWidget>(&form, "TreeView_tkdr");
    imports->expandAll();
    for (int i = 0, n = 0; i < imports->model().count() && n < 3; ++i) {
        if (imports->model().node(i).level == 6) {
            tick(imports, imports->model().node(i).fullPath);
            ++n;
        }
    }
    EXPECT_EQ(imports->model().checkedNodes().size(), 3);
    child<QRadioButton>(&form, "Option_jstk_tkdr")->setChecked(true);
    if (!dir.isEmpty())
        form.grab().save(QDir(dir).filePath("Form_tkfx-import.png"));
}
