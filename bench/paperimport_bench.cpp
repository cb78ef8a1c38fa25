// Importing a paper of 30 questions with pictures and formulas: splitting it
// and previewing a question, office start included (target: at most 10 s), and
// writing the questions into a bank (target: at most 10 s).

#include "app/runstate.h"
#include "office/libreoffice.h"
#include "paperimport/paperimport.h"
#include "store/bank.h"
#include "store/paths.h"
#include "support/benchmain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kQuestions = 30;

// The paper: three sections of ten questions; every third question has a
// picture, every third a formula, every fifth sub-questions; answers at the end.
struct Paper {
    QTemporaryDir dir;
    QString path;
    Paper() {
        QImage figure(200, 140, QImage::Format_RGB32);
        figure.fill(Qt::white);
        for (int x = 20; x < 180; ++x)
            figure.setPixel(x, 70, qRgb(0, 0, 0));
        const QString picture = QDir(dir.path()).filePath("图.png");
        figure.save(picture);

        zs::LibreOffice office;
        const auto word = office.startWord();
        const auto doc = word->newDocument();
        doc->append("九年级数学期末试卷");
        const QStringList headings = {"一、选择题（每小题3分）", "二、填空题（每小题4分）", "三、解答题"};
        for (int q = 1; q <= kQuestions; ++q) {
            if ((q - 1) % 10 == 0)
                doc->append("\r" + headings[(q - 1) / 10]);
            doc->append(QStringLiteral("\r%1．第%1题：已知三角形ABC中，AB＝%2，BC＝%3，求它的周长和面积。")
                            .arg(q)
                            .arg(q + 2)
                            .arg(q + 3));
            if (q % 3 == 0) {
                doc->append("\r ");
                doc->appendPicture(picture, 40);
            }
            if (q % 3 == 1) {
                doc->append("\r其中 ");
                doc->appendFormula(QStringLiteral("x^2 + %1x = 0").arg(q));
            }
            if (q % 5 == 0)
                doc->append("\r（1）求x；\r（2）求y。");
        }
        doc->append("\r参考答案");
        for (int q = 1; q <= kQuestions; ++q)
            doc->append(QStringLiteral("\r%1．答案%1。").arg(q));
        path = QDir(dir.path()).filePath("期末试卷.docx");
        doc->saveAs(path);
        doc->close();
    }
};

Paper& paper() {
    static Paper p;
    return p;
}

void BM_SplitAndPreviewA30QuestionPaperWithOfficeStart(benchmark::State& state) {
    Paper& p = paper();
    for (auto _ : state) {
        QTemporaryDir work;
        QElapsedTimer clock;
        clock.start();
        zs::LibreOffice office;  // started by the first use, as in the screen
        const auto word = office.startWord();
        const double started = clock.restart() / 1000.0;
        zs::PaperImport import(*word, work.path());
        import.open(p.path, {}, zs::Bank::defaultTypes());
        if (import.count() != kQuestions)
            state.SkipWithError("wrong number of questions");
        const double split = clock.restart() / 1000.0;
        // The preview of the first question and its answer.
        office.exportPdf(import.items()[0].questionFile, QDir(work.path()).filePath("q.pdf"));
        office.exportPdf(import.items()[0].answerFile, QDir(work.path()).filePath("a.pdf"));
        state.counters["start_s"] = started;
        state.counters["split_s"] = split;
        state.counters["preview_s"] = clock.elapsed() / 1000.0;
        import.close();
        word->quit();
    }
}
BENCHMARK(BM_SplitAndPreviewA30QuestionPaperWithOfficeStart)->Unit(benchmark::kSecond)->Iterations(2);

void BM_WriteA30QuestionPaperIntoABank(benchmark::State& state) {
    Paper& p = paper();
    QTemporaryDir work;
    zs::LibreOffice office;
    const auto word = office.startWord();
    zs::PaperImport import(*word, work.path());
    import.open(p.path, {}, zs::Bank::defaultTypes());
    for (int i = 0; i < import.count(); ++i) {
        zs::FilingSettings& s = import.item(i).settings;
        s.scopes = {{"1-数学\\1-人教版\\9-九年级\\1-上册\\1-第一章\\1-第一节", "1-三角形"}};
        s.difficulty = "0.5";
        s.source = "2-期末考试";
    }
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir app;
        const QString bankPath = QDir(app.path()).filePath(zs::kBankFileName);
        zs::Bank::create(bankPath);
        QDir(app.path()).mkdir(zs::kDocumentsFolderName);
        zs::NumberPool pool;
        state.ResumeTiming();
        const QStringList numbers =
            zs::writeImportedQuestions(import.items(), bankPath, pool, "张三", QDate(2024, 11, 5));
        if (numbers.size() != kQuestions)
            state.SkipWithError("not every question was written");
    }
}
BENCHMARK(BM_WriteA30QuestionPaperIntoABank)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    return zs::bench::runBenchmarks(argc, argv);
}
