// Generating a paper of 50 placed questions whose documents hold pictures,
// office start included: the three documents and the workbook; then, in the
// same run, the printable form (scores, exam header, A3 two columns with the
// sealing line, the answer sheet, .docx and .pdf copies of every document)
// against at most 1.5 times the first.

#include "app/appfolder.h"
#include "app/runstate.h"
#include "doubles/recordingdesktop.h"
#include "doubles/scriptedprompts.h"
#include "office/libreoffice.h"
#include "paper/papersettings.h"
#include "paper/spectable.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/textnumbers.h"
#include "ui/paper/Form_scsjjm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

using namespace zs;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int questions = argc > 1 ? QString(argv[1]).toInt() : 50;
    QTemporaryDir dir, desktopDir;
    const QString bankPath = QDir(dir.path()).filePath(kBankFileName);

    // An application folder with the questions' documents, made by a first office.
    {
        LibreOffice setupOffice;
        AppFolder(dir.path()).prepare(setupOffice);
        QImage picture(240, 160, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter p(&picture);
        p.setPen(QPen(Qt::black, 3));
        p.drawEllipse(40, 20, 160, 120);
        p.drawLine(20, 80, 220, 80);
        p.end();
        const QString picturePath = QDir(dir.path()).filePath("图.png");
        picture.save(picturePath);
        const auto word = setupOffice.startWord();
        Bank bank(bankPath);
        for (int i = 1; i <= questions; ++i) {
            const QString number = questionNumberText(i);
            const auto q = word->newDocument();
            q->append(QStringLiteral("%1. 如图，已知圆 O 的直径 AB 与弦 CD 相交于点 E，求证：AE·EB = CE·ED。").arg(i));
            q->appendPicture(picturePath, 40, i % 2 == 0);
            q->saveAs(questionDocumentPath(bankPath, number));
            const auto a = word->newDocument();
            a->append(QStringLiteral("证明：连接 AC、BD，由同弧所对的圆周角相等得 △ACE ∽ △DBE，所以 AE·EB = CE·ED。"));
            a->saveAs(answerDocumentPath(bankPath, number));
            bank.addRow("试题库", {{"题目编号", number},
                                   {"考查范围", "1-数学\\1-人教版\\9-九年级\\1-上册\\24-圆\\1-圆"},
                                   {"题型", i % 3 ? "解答题" : "单选题"},
                                   {"难度", "0.6"},
                                   {"知识点", "1-相交弦定理"},
                                   {"试题识别码", "张三-" + number}});
        }
    }

    SpecTable table(questions);
    table.numberRows();
    for (int i = 1; i <= questions; ++i) {
        const QString number = questionNumberText(i);
        table.fillRow(i, number, "张三-" + number, i % 3 ? "解答题" : "单选题", "0.6",
                      "1-数学\\1-人教版\\9-九年级\\1-上册\\24-圆\\1-圆", "1-相交弦定理");
    }

    // A measured run: a fresh office, as when a teacher presses 生成试卷.
    const auto measure = [&](const SpecTable& paper, const PaperSettings& settings) -> double {
        QElapsedTimer timer;
        timer.start();
        LibreOffice office;
        ScriptedPrompts prompts;
        RecordingDesktop desktop(desktopDir.path());
        RunState state(dir.path(), prompts, office, desktop);
        Form_scsjjm generator(state, paper, true);
        generator.setSettings(settings);
        generator.Form_Activate();
        const double seconds = timer.elapsed() / 1000.0;
        if (!generator.succeeded()) {
            std::fprintf(stderr, "generation failed: %s\n", qUtf8Printable(prompts.lastMessage()));
            return -1;
        }
        return seconds;
    };
    const double plain = measure(table, PaperSettings{});
    if (plain < 0)
        return 1;
    std::printf("Generating a paper of %d placed questions with pictures, office start included: %.2f s\n", questions,
                plain);

    SpecTable scored = table;
    for (int i = 1; i <= questions; ++i)
        scored.setCell(i, SpecTable::Score, i % 3 ? QStringLiteral("10") : QStringLiteral("3"));
    PaperSettings printable;
    printable.title = QStringLiteral("2026—2027学年第一学期期末考试");
    printable.subtitle = QStringLiteral("九年级数学试卷");
    printable.minutes = 120;
    printable.layout = PaperLayout::A3TwoColumns;
    printable.answerSheet = true;
    printable.docx = true;
    printable.pdf = true;
    const double full = measure(scored, printable);
    if (full < 0)
        return 1;
    std::printf("The same paper scored, A3 in two columns with the sealing line, answer sheet, .doc + .docx + .pdf: "
                "%.2f s (%.2f times the first; target at most 1.5)\n",
                full, full / plain);
    return 0;
}
