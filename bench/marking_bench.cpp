// Marking on screen: from the score typed (and Enter) to the next student's
// answer shown, on a paper of 25 questions taken by 40 students whose
// answers are cut from scanned pages (A4 at 200 dpi) held by the source, as
// the screen runs it on a bank file (every score stored at once).

#include "app/runstate.h"
#include "doubles/formdriver.h"
#include "doubles/recordingdesktop.h"
#include "doubles/scriptedprompts.h"
#include "marking/answersource.h"
#include "office/libreoffice.h"
#include "paper/paperrecord.h"
#include "store/bank.h"
#include "ui/results/Form_yj.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr int kStudents = 40;
constexpr int kQuestions = 25;

// The students' pages, drawn once: each answer area holds strokes as a
// pencil leaves them.
class ScannedPages : public zs::AnswerSource {
public:
    ScannedPages() {
        std::mt19937 random(3);
        for (int s = 0; s < kStudents; ++s) {
            QImage page(1654, 2339, QImage::Format_Grayscale8);
            page.fill(235);
            QPainter p(&page);
            p.setPen(QPen(QColor(60, 60, 60), 3));
            for (int q = 0; q < kQuestions; ++q)
                for (int stroke = 0; stroke < 12; ++stroke) {
                    const QRect area = areaOf(q + 1);
                    const int x = area.left() + int(random() % area.width()),
                              y = area.top() + int(random() % area.height());
                    p.drawLine(x, y, x + int(random() % 80), y + int(random() % 20));
                }
            pages_ << page;
        }
    }
    static QRect areaOf(int question) {
        const int column = (question - 1) % 2, row = (question - 1) / 2;
        return {100 + column * 760, 200 + row * 160, 720, 150};
    }
    QVector<int> questions() override {
        QVector<int> all;
        for (int q = 1; q <= kQuestions; ++q)
            all << q;
        return all;
    }
    QStringList students(int) override {
        QStringList all;
        for (int s = 0; s < kStudents; ++s)
            all << QString::number(20260000 + s);
        return all;
    }
    QImage answer(const QString& examNumber, int question) override {
        return pages_.value(examNumber.toInt() - 20260000).copy(areaOf(question));
    }

private:
    QVector<QImage> pages_;
};

void BM_NextAnswerAfterAScore(benchmark::State& state) {
    QTemporaryDir folder;
    zs::Bank::create(QDir(folder.path()).filePath(QStringLiteral("试题库.mdb")));
    zs::ScriptedPrompts prompts;
    zs::RecordingDesktop desktop;
    zs::LibreOffice office;  // never started: the paper's questions have no documents here
    zs::RunState run(folder.path(), prompts, office, desktop);
    run.documentPreviews = false;
    zs::PaperRecord paper;
    paper.id = 1;
    paper.title = QStringLiteral("期中考试");
    for (int q = 1; q <= kQuestions; ++q)
        paper.questions << zs::PaperQuestion{q,     QString(), QString(),           QStringLiteral("解答题"),
                                             "0.5", QString(), QStringLiteral("10")};
    zs::Form_yj screen(run, paper, std::make_shared<ScannedPages>());
    screen.resize(1180, 760);
    screen.show();
    auto* field = zs::test::child<QLineEdit>(&screen, "Text_df");
    int given = 0;
    for (auto _ : state) {
        if (screen.queue()->marked() == screen.queue()->size()) {
            state.PauseTiming();
            screen.Form_Load();  // the next question, as the teacher chooses it
            auto* list = zs::test::child<QListWidget>(&screen, "List_tm");
            list->setCurrentRow((list->currentRow() + 1) % kQuestions);
            state.ResumeTiming();
        }
        field->setText(QString::number(given++ % 11));
        screen.Command_qd_Click();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_NextAnswerAfterAScore)->Unit(benchmark::kMillisecond)->Iterations(400);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
