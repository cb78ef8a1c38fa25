// Reading scanned answer sheets: how fast (pages a minute at 200 dpi, the
// whole step the screen runs per page: the PDF page rendered, found, aligned,
// read, its picture kept and its reading stored), and how right, over
// thousands of generated sheets filled as pencils do (full, partial, light
// and dark fills, stray marks, erasures, ticks and crosses) and given back as
// copiers and phones give them (turned, zoomed, shifted, noisy, blurred,
// JPEG, black and white; perspective and shadow for photos). Every sheet
// knows its truth.
//
// ZS_SCAN_SHEETS (default 2000) and ZS_PHOTO_SHEETS (default 500) set the
// sizes of the accuracy runs.

#include "doubles/pencil.h"
#include "paper/answercard.h"
#include "scan/cardreader.h"
#include "scan/scanstore.h"
#include "store/bank.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <atomic>
#include <benchmark/benchmark.h>
#include <mutex>
#include <random>
#include <thread>

using namespace zs;
using namespace zs::test;

namespace {

// A paper of 25 questions: 12 单选, 4 多选, 5 判断, 2 填空, 2 解答.
const CardLayout& paperLayout() {
    static const CardLayout layout = [] {
        QVector<CardSection> s(5);
        int n = 0;
        for (int i = 0; i < 12; ++i)
            s[0].questions << cardQuestionOf(++n, "单选题", 30, "A");
        for (int i = 0; i < 4; ++i)
            s[1].questions << cardQuestionOf(++n, "多选题", 30, "A");
        for (int i = 0; i < 5; ++i)
            s[2].questions << cardQuestionOf(++n, "判断题", 30, "T");
        for (int i = 0; i < 2; ++i)
            s[3].questions << cardQuestionOf(++n, "填空题", 30, "");
        for (int i = 0; i < 2; ++i)
            s[4].questions << cardQuestionOf(++n, "解答题", 30, "");
        return layoutAnswerCard("BENCHKEY23", "期中考试", s, PaperLayout::A4Portrait);
    }();
    return layout;
}

// One generated sheet with its truth.
struct Truth {
    QString examNumber;
    QHash<int, QString> answers;  // what the student meant
    QSet<int> unclear;            // questions with a stray, light or erased mark
};

QImage makeSheet(std::mt19937& random, bool photo, Truth& truth) {
    const CardLayout& layout = paperLayout();
    const double dpi = 300;
    QImage page = renderAnswerCardPage(layout, 0, dpi);
    const auto uniform = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(random); };
    const auto chance = [&](double p) { return uniform(0, 1) < p; };
    for (int d = 0; d < layout.examDigits; ++d)
        truth.examNumber += QChar(u'0' + int(random() % 10));
    markExamNumber(page, layout, truth.examNumber, dpi, random());
    for (const CardQuestion& q : layout.questions) {
        if (!isObjective(q.kind))
            continue;
        QString meant;
        if (!chance(0.05)) {  // a few left out
            if (q.kind == CardKind::Multiple) {
                for (const QChar o : q.options)
                    if (chance(0.45))
                        meant += o;
            } else {
                meant = q.options[int(random() % q.options.size())];
            }
        }
        truth.answers[q.number] = meant;
        for (const CardBubble* b : layout.bubblesOf(CardBubble::Role::Option, q.number)) {
            PencilMark mark;
            if (meant.contains(b->value)) {
                // A real fill: most of the bubble, light to dark pencil.
                mark.coverage = uniform(0.75, 1.0);
                mark.grey = int(uniform(20, 130));
                markBubble(page, b->rect, dpi, mark, random());
            } else if (chance(0.02)) {
                truth.unclear.insert(q.number);
                const int kind = int(random() % 4);
                mark.shape = kind == 0   ? PencilMark::Shape::Erased
                             : kind == 1 ? PencilMark::Shape::Tick
                             : kind == 2 ? PencilMark::Shape::Cross
                                         : PencilMark::Shape::Fill;
                mark.coverage = uniform(0.2, 0.45);
                markBubble(page, b->rect, dpi, mark, random());
            }
        }
    }
    ScanLook look;
    if (photo) {
        look.angleDegrees = uniform(-8, 8);
        look.perspective = uniform(0.2, 1.0);
        look.unevenLight = uniform(0.2, 0.8);
        look.noise = uniform(2, 8);
        look.jpegQuality = int(uniform(60, 90));
        look.blur = uniform(0, 1.2);
        look.outputDpi = uniform(150, 220);
    } else {
        look.angleDegrees = uniform(-5, 5);
        look.scale = uniform(0.96, 1.03);
        look.shiftMm = QPointF(uniform(-4, 4), uniform(-4, 4));
        look.noise = uniform(0, 10);
        look.blur = chance(0.5) ? uniform(0, 1.2) : 0;
        look.jpegQuality = chance(0.5) ? int(uniform(50, 90)) : 0;
        look.blackAndWhite = chance(0.25);
        look.upsideDown = chance(0.1);
        look.outputDpi = std::array{150.0, 200.0, 300.0}[random() % 3];
    }
    return scanOf(page, dpi, look, random());
}

struct Tally {
    std::atomic<long> sheets{0}, unreadPages{0}, examRight{0}, examDoubtful{0}, examWrong{0};
    std::atomic<long> marks{0}, right{0}, doubtful{0}, wrong{0}, wrongOnClean{0};
    std::atomic<long> clean{0}, cleanRight{0};
};

void readSheets(int count, bool photo, unsigned seed, Tally& tally) {
    const CardLayout& layout = paperLayout();
    std::atomic<int> next{0};
    const auto work = [&](unsigned worker) {
        std::mt19937 random(seed * 977 + worker);
        while (next++ < count) {
            Truth truth;
            const QImage scan = makeSheet(random, photo, truth);
            const PageReading r =
                readCardPage(scan, [&](const QString& key) { return key == layout.key ? &layout : nullptr; });
            ++tally.sheets;
            if (!r.read()) {
                ++tally.unreadPages;
                continue;
            }
            if (r.examDoubtful)
                ++tally.examDoubtful;
            else if (r.examNumber == truth.examNumber)
                ++tally.examRight;
            else
                ++tally.examWrong;
            for (const QuestionReading& q : r.questions) {
                ++tally.marks;
                if (!truth.unclear.contains(q.question)) {
                    ++tally.clean;
                    tally.cleanRight += !q.doubtful && q.answer == truth.answers.value(q.question);
                }
                if (q.doubtful)
                    ++tally.doubtful;
                else if (q.answer == truth.answers.value(q.question))
                    ++tally.right;
                else {
                    ++tally.wrong;
                    if (!truth.unclear.contains(q.question))
                        ++tally.wrongOnClean;
                }
            }
        }
    };
    std::thread a(work, 1), b(work, 2);
    a.join();
    b.join();
}

void report(benchmark::State& state, const Tally& t) {
    const double marks = std::max<long>(1, t.marks);
    const double sheets = std::max<long>(1, t.sheets);
    state.counters["sheets"] = double(t.sheets);
    state.counters["unread_pages"] = double(t.unreadPages);
    state.counters["marks"] = double(t.marks);
    state.counters["right_%"] = 100.0 * double(t.right) / marks;
    state.counters["doubtful_%"] = 100.0 * double(t.doubtful) / marks;
    state.counters["wrong_silent"] = double(t.wrong);
    state.counters["clean_right_%"] = 100.0 * double(t.cleanRight) / std::max<long>(1, t.clean);
    state.counters["wrong_on_clean"] = double(t.wrongOnClean);
    state.counters["exam_right_%"] = 100.0 * double(t.examRight) / sheets;
    state.counters["exam_doubtful"] = double(t.examDoubtful);
    state.counters["exam_wrong"] = double(t.examWrong);
}

int sheetsFromEnvironment(const char* name, int fallback) {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue(name, &ok);
    return ok && n > 0 ? n : fallback;
}

void BM_AccuracyOnScans(benchmark::State& state) {
    for (auto _ : state) {
        Tally tally;
        readSheets(sheetsFromEnvironment("ZS_SCAN_SHEETS", 2000), false, 7, tally);
        report(state, tally);
    }
}

void BM_AccuracyOnPhonePhotos(benchmark::State& state) {
    for (auto _ : state) {
        Tally tally;
        readSheets(sheetsFromEnvironment("ZS_PHOTO_SHEETS", 500), true, 11, tally);
        report(state, tally);
    }
}

// The screen's step for each page of a copier's PDF at 200 dpi, one page
// after another on one core.
void BM_ScannedPdfPage200dpi(benchmark::State& state) {
    QTemporaryDir dir;
    const CardLayout& layout = paperLayout();
    std::mt19937 random(5);
    QVector<QImage> pages;
    for (int i = 0; i < 20; ++i) {
        Truth truth;
        QImage page = renderAnswerCardPage(layout, 0, 200);
        markExamNumber(page, layout, QString("2026%1").arg(i, 4, 10, QChar('0')), 200, quint32(i));
        ScanLook look;
        look.angleDegrees = (i % 5 - 2) * 0.7;
        look.noise = 4;
        pages << scanOf(page, 200, look, quint32(i));
    }
    const QString pdf = QDir(dir.path()).filePath("扫描.pdf");
    writeScanPdf(pages, 200, pdf);
    const QString bankPath = QDir(dir.path()).filePath("试题库.mdb");
    Bank::create(bankPath);
    Bank bank(bankPath);
    ensureScanTables(bank);
    int i = 0;
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state) {
        const ScanSource source{pdf, i % 20, 20};
        readAndStorePage(bank, 1, layout, source, QDir(dir.path()).filePath("扫描答卷"), QDateTime::currentDateTime());
        ++i;
    }
    state.counters["pages_per_minute"] = 60000.0 * i / std::max<qint64>(1, clock.elapsed());
}

// The reading alone: a picture in memory found, aligned and read.
void BM_ReadPicture200dpi(benchmark::State& state) {
    const CardLayout& layout = paperLayout();
    QImage page = renderAnswerCardPage(layout, 0, 200);
    markExamNumber(page, layout, "20260001", 200, 1);
    ScanLook look;
    look.angleDegrees = 1.5;
    look.noise = 4;
    const QImage scan = scanOf(page, 200, look, 1);
    for (auto _ : state) {
        const PageReading r =
            readCardPage(scan, [&](const QString& key) { return key == layout.key ? &layout : nullptr; });
        benchmark::DoNotOptimize(r.questions.size());
    }
}

}  // namespace

BENCHMARK(BM_ReadPicture200dpi)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_ScannedPdfPage200dpi)->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_AccuracyOnScans)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_AccuracyOnPhonePhotos)->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char** argv) {
    // Drawing the sheets needs fonts: a GUI application without a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
