// Searching and paging on a bank of 100 000 question rows: the search by one
// scope with the first question shown, paging to the next row, and the browse
// screen doing the same (document previews off).

#include "app/runstate.h"
#include "doubles/formdriver.h"
#include "doubles/recordingdesktop.h"
#include "doubles/scriptedprompts.h"
#include "office/libreoffice.h"
#include "questions/questionsearch.h"
#include "questions/scopetree.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/textnumbers.h"
#include "support/largebank.h"
#include "ui/common/scopetreewidget.h"
#include "ui/questions/Form_stckxg.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace {

using zs::bench::largeBankPath;

QString sectionPath(int chapter, int section) {
    return zs::bench::largeBankSection(chapter, section);
}

// What showing a question costs without widgets: its scope records, its
// scopes ticked in the tree, and the knowledge rows of those scopes.
void showQuestion(const QString& bankPath, zs::QuestionBrowser& browser, zs::ScopeTreeModel& tree) {
    zs::DisplayedQuestion q;
    {
        zs::Bank bank(bankPath);
        q = zs::loadDisplayedQuestion(bank, browser.results);
    }
    tree.uncheckAll();
    for (const auto& scope : q.scopes)
        if (const int node = tree.findByPath(scope.first); node >= 0)
            tree.setChecked(node, true);
    zs::ScopeKnowledgeTable table;
    zs::Bank bank(bankPath);
    for (const QString& path : tree.checkedPaths())
        zs::addQuestionKnowledgeRow(bank, table, path, q);
    benchmark::DoNotOptimize(table.rows().size());
}

zs::ScopeTreeModel catalogueTree() {
    zs::Bank bank(largeBankPath());
    return zs::ScopeTreeModel::build(bank);
}

void BM_SearchOneScopeAndShowFirst(benchmark::State& state) {
    const QString path = largeBankPath();
    zs::ScopeTreeModel tree = catalogueTree();
    int i = 0;
    for (auto _ : state) {
        zs::SearchConditions c;
        c.scopePath = sectionPath(i % 20 + 1, i % 6 + 1);
        ++i;
        zs::QuestionBrowser browser;
        {
            zs::Bank bank(path);
            browser.search(bank, zs::BuildSearchQuery(c));
        }
        showQuestion(path, browser, tree);
        state.counters["rows"] = browser.results.count();
    }
}
BENCHMARK(BM_SearchOneScopeAndShowFirst)->Unit(benchmark::kMillisecond);

void BM_NextRow(benchmark::State& state) {
    const QString path = largeBankPath();
    zs::ScopeTreeModel tree = catalogueTree();
    zs::QuestionBrowser browser;
    zs::SearchConditions c;
    c.scopePath = sectionPath(3, 4);
    {
        zs::Bank bank(path);
        browser.search(bank, zs::BuildSearchQuery(c));
    }
    for (auto _ : state) {
        if (!browser.next().isEmpty())
            browser.results.moveTo(1);
        showQuestion(path, browser, tree);
    }
}
BENCHMARK(BM_NextRow)->Unit(benchmark::kMillisecond);

void BM_SearchWholeBank(benchmark::State& state) {
    const QString path = largeBankPath();
    for (auto _ : state) {
        zs::QuestionBrowser browser;
        zs::Bank bank(path);
        browser.search(bank, zs::BuildSearchQuery({}));
        benchmark::DoNotOptimize(browser.results.count());
    }
}
BENCHMARK(BM_SearchWholeBank)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- the screen

struct Screen {
    zs::ScriptedPrompts prompts;
    zs::RecordingDesktop desktop;
    zs::LibreOffice office;  // never started: previews are off
    zs::RunState state;
    std::unique_ptr<zs::Form_stckxg> form;
    Screen() : state(QFileInfo(largeBankPath()).absolutePath(), prompts, office, desktop) {
        state.documentPreviews = false;
        form = std::make_unique<zs::Form_stckxg>(state);
        form->show();
    }
};

void BM_ScreenSearchOneScope(benchmark::State& state) {
    Screen screen;
    zs::ScopeTreeWidget* tree = zs::test::child<zs::ScopeTreeWidget>(screen.form.get(), "TreeView1");
    int i = 0;
    for (auto _ : state) {
        tree->model().uncheckAll();
        tree->model().setChecked(tree->model().findByPath(sectionPath(i % 20 + 1, i % 6 + 1)), true);
        ++i;
        screen.form->Command_ss_Click();
        screen.form->Timer1_Timer();
    }
}
BENCHMARK(BM_ScreenSearchOneScope)->Unit(benchmark::kMillisecond);

void BM_ScreenNextRow(benchmark::State& state) {
    Screen screen;
    zs::ScopeTreeWidget* tree = zs::test::child<zs::ScopeTreeWidget>(screen.form.get(), "TreeView1");
    tree->model().setChecked(tree->model().findByPath(sectionPath(3, 4)), true);
    screen.form->Command_ss_Click();
    for (auto _ : state) {
        if (screen.form->browser().results.position() >= screen.form->browser().results.count())
            screen.form->Command_ss_Click();
        screen.form->Command_xyt_Click();
        screen.form->Timer1_Timer();
    }
}
BENCHMARK(BM_ScreenNextRow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
