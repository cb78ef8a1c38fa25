// A program that does one piece of the teacher's work on an application folder
// through the program's own screens and logic, for tests that kill it midway
// (with ZHUOSHI_PAUSE_AT set it stops at that point and waits to be killed):
//
//   zs-killworker entry    APPDIR SECTION1 SECTION2  enters one question filed under two sections
//   zs-killworker import   APPDIR OTHERBANK SECTION... imports the questions of the sections
//   zs-killworker generate APPDIR DESKTOP NUMBER...  generates a paper, recording the use
//   zs-killworker paper    APPDIR PAPER              splits a Word paper on the paper import screen
//   zs-killworker scan     APPDIR SCANS...           reads scanned sheets of the newest paper (扫描阅卷)
//   zs-killworker mark     APPDIR                    marks the first written question of the newest
//                                                    paper's scans, 1 point each
//
// Exit status 0 when the work finished, 1 when it did not.

#include "office/wordprocessor.h"
#include "paper/paperrecord.h"
#include "paper/spectable.h"
#include "sharing/banksharing.h"
#include "store/paths.h"
#include "support/testsupport.h"
#include "ui/catalogue/Form_cshtmbh.h"
#include "ui/common/scopetreewidget.h"
#include "ui/common/widgets.h"
#include "ui/paper/Form_scsjjm.h"
#include "ui/questions/Form_stlr.h"
#include "ui/results/Form_smyj.h"
#include "ui/results/Form_yj.h"
#include "ui/sharing/Form_drsj.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cstdio>

using namespace zs;

namespace {

int enter(RunState& state, const QStringList& sections) {
    state.CurrentUserName = QStringLiteral("张三");
    state.modalHook = [](QObject* screen) {
        if (auto* numbers = qobject_cast<Form_cshtmbh*>(screen))
            numbers->Form_Activate();
    };
    Form_stlr form(state);
    form.show();
    form.Form_Activate();
    auto* tree = test::child<ScopeTreeWidget>(&form, QStringLiteral("TreeView1"));
    auto* candidates = test::child<QListWidget>(&form, QStringLiteral("List_dxzsd"));
    for (const QString& section : sections) {
        test::tick(tree, section);
        form.TreeView1_Click();
        form.Timer1_Timer();
        if (candidates->count() == 0)
            return 1;
        form.List_dxzsd_Click(candidates->item(0));
        form.Timer1_Timer();
    }
    {
        // The teacher writes the question.
        state.ensureSharedWordInstance();
        const auto doc = state.SharedWordInstance->open(questionDocumentPath(state.BankPath, form.currentNumber()));
        doc->append(QStringLiteral("下列各数中，最小的数是（  ）"));
        doc->save();
        doc->close();
    }
    setComboText(test::child<QComboBox>(&form, QStringLiteral("Combo_tx")), QStringLiteral("单选题"));
    setComboText(test::child<QComboBox>(&form, QStringLiteral("Combo_nd")), QStringLiteral("0.5"));
    setComboText(test::child<QComboBox>(&form, QStringLiteral("Combo_stly")), QStringLiteral("1-期中考试"));
    test::child<QPushButton>(&form, QStringLiteral("Command_qdlr"))->click();
    return 0;
}

int generate(RunState& state, const QStringList& numbers) {
    SpecTable table(int(numbers.size()));
    Bank bank(state.BankPath);
    int row = 1;
    for (const QString& number : numbers) {
        const RowSet rows = bank.query(QStringLiteral("select * from 试题库 where 题目编号='") + number + u'\'');
        if (rows.isEmpty())
            return 1;
        table.fillRow(row++, number, rows.text(0, "试题识别码"), rows.text(0, "题型"), rows.text(0, "难度"),
                      rows.text(0, "考查范围"), rows.text(0, "知识点"));
    }
    Form_scsjjm form(state, table, true);
    form.Form_Activate();
    return 0;
}

int splitPaper(RunState& state, ScriptedPrompts& prompts, const QString& paper) {
    Form_drsj form(state);
    form.show();
    prompts.type(paper);
    test::child<QPushButton>(&form, QStringLiteral("Command_xzsj"))->click();
    test::child<QPushButton>(&form, QStringLiteral("Command_cfsj"))->click();
    return form.paperImport() ? 0 : 1;
}

}  // namespace

// The newest recorded paper's 扫描阅卷 screen.
std::unique_ptr<Form_smyj> scanScreen(RunState& state) {
    Bank bank(state.BankPath);
    return std::make_unique<Form_smyj>(state, paperRecords(bank).constFirst());
}

int scan(RunState& state, ScriptedPrompts& prompts, const QStringList& files) {
    const auto screen = scanScreen(state);
    prompts.type(files.join(u'\n'));
    test::child<QPushButton>(screen.get(), QStringLiteral("Command_wj"))->click();
    return screen->results().pages > 0 ? 0 : 1;
}

int mark(RunState& state) {
    const auto screen = scanScreen(state);
    int given = 0;
    state.modalHook = [&](QObject* dialog) {
        auto* marking = qobject_cast<Form_yj*>(dialog);
        if (!marking || !marking->queue())
            return;
        auto* field = test::child<QLineEdit>(marking, QStringLiteral("Text_df"));
        for (int i = marking->queue()->marked(); i < marking->queue()->size(); ++i) {
            field->clear();
            QTest::keyClicks(field, QStringLiteral("1"));
            QTest::keyClick(field, Qt::Key_Return);
            ++given;
        }
    };
    test::child<QPushButton>(screen.get(), QStringLiteral("Command_yj"))->click();
    return given > 0 ? 0 : 1;
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: zs-killworker entry|import|generate|paper|scan|mark APPDIR ...\n");
        return 2;
    }
    const QString& work = args[0];
    ScriptedPrompts prompts;
    RecordingDesktop desktop;
    int result = 1;
    {
        LibreOffice office;
        RunState state(args[1], prompts, office, desktop);
        state.documentPreviews = false;
        state.resetBankPath();
        try {
            if (work == u"entry") {
                result = enter(state, args.mid(2));
            } else if (work == u"import" && args.size() >= 4) {
                runImport(state, ShareContent::Questions, args[2], args.mid(3));
                result = 0;
            } else if (work == u"paper" && args.size() >= 3) {
                result = splitPaper(state, prompts, args[2]);
            } else if (work == u"scan") {
                result = scan(state, prompts, args.mid(2));
            } else if (work == u"mark") {
                result = mark(state);
            } else if (work == u"generate" && args.size() >= 3) {
                desktop.setDesktopFolder(args[2]);
                result = generate(state, args.mid(3));
            }
        } catch (const StoreError& e) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(e.message()));
        } catch (const test::MissingControl& e) {
            std::fprintf(stderr, "%s\n", e.what());
        }
        state.quitSharedWordInstance();
    }
    for (const QString& message : prompts.messages())
        std::printf("%s\n", qUtf8Printable(QString(message).replace(u'\r', u'\n')));
    return result;
}
