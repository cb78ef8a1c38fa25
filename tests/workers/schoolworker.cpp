// One teacher at one computer working on a school bank, for the tests that run
// two of them at the same time. Each round the teacher enters a question
// (filed under two sections, its number from the teacher's pool), searches a
// section and opens the first question found with its documents, and every
// second round composes a small paper from two sections: its documents are
// fetched, its use and the paper are recorded.
//
//   zs-schoolworker LOCATION CACHEFOLDER APPDIR TEACHER ROUNDS SECTION...
//
// CACHEFOLDER stands for this computer's local copies of the documents. Every
// step is printed on a line of its own:
//   entered NUMBER CODE      a question stored
//   found NUMBER             a search's first question, its documents here
//   paper NUMBER...          a composed paper, its use recorded
//   problem TEXT             something that must not happen
// Exit status 0 when every round finished, 1 when one failed.

#include "catalogue/numberpool.h"
#include "paper/papergeneration.h"
#include "paper/paperrecord.h"
#include "paper/spectable.h"
#include "plan/candidates.h"
#include "plan/compositionparameters.h"
#include "questions/questionrecord.h"
#include "questions/questionsearch.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/serverdocuments.h"
#include "store/serverlocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

using namespace zs;

namespace {

void say(QString line) {
    // One line each: the program's line breaks become " / ".
    line.replace(u'\r', QStringLiteral(" / ")).replace(u'\n', QStringLiteral(" / "));
    std::printf("%s\n", qUtf8Printable(line));
    std::fflush(stdout);
}

// What the teacher typed into the two documents of a question.
QByteArray documentText(const QString& teacher, const QString& number, const QString& part) {
    return (teacher + QStringLiteral(" 的试题 ") + number + u' ' + part).toUtf8();
}

bool writeDocument(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class Teacher {
public:
    Teacher(QString location, QString appDir, QString name, QStringList sections)
        : location_(std::move(location)), appDir_(std::move(appDir)), name_(std::move(name)),
          sections_(std::move(sections)) {}

    bool enter(int round) {
        int slot = 1;
        while (slot <= NumberPool::kSlots && pool_.isEmpty(slot))
            ++slot;
        if (slot > NumberPool::kSlots) {
            const RefillResult refill = refillNumberPool(pool_, location_);
            if (!refill.completed) {
                say(QStringLiteral("problem refill: ") + refill.message);
                return false;
            }
            slot = 1;
        }
        QuestionRecord r;
        r.number = pool_.slot(slot);
        pool_.setSlot(slot, QString());
        r.code = makeIdentificationCode(name_, r.number);
        r.type = round % 2 ? QStringLiteral("单选题") : QStringLiteral("填空题");
        r.difficulty = QStringLiteral("0.%1").arg(round % 9 + 1);
        r.date = QDate(2026, 12, 8);
        r.teacher = name_;
        const QString first = sections_[round % sections_.size()];
        const QString second = sections_[(round + 1) % sections_.size()];
        r.scopes = {{first, QStringLiteral("1-知识点")}, {second, QStringLiteral("2-知识点")}};
        if (!writeDocument(questionDocumentPath(location_, r.number), documentText(name_, r.number, "题目")) ||
            !writeDocument(answerDocumentPath(location_, r.number), documentText(name_, r.number, "答案"))) {
            say(QStringLiteral("problem cannot write the documents of ") + r.number);
            return false;
        }
        Bank bank(location_);
        addQuestion(bank, r);
        say(QStringLiteral("entered %1 %2").arg(r.number, r.code));
        return true;
    }

    bool search(int round) {
        SearchConditions c;
        c.scopePath = sections_[(round + 2) % sections_.size()];
        Bank bank(location_);
        QuestionBrowser browser;
        browser.search(bank, BuildSearchQuery(c));
        if (!browser.results.hasCurrent())
            return true;
        const DisplayedQuestion shown = loadDisplayedQuestion(bank, browser.results);
        fetchDocuments(bank, {shown.number});
        if (!QFileInfo::exists(questionDocumentPath(location_, shown.number)) ||
            !QFileInfo::exists(answerDocumentPath(location_, shown.number))) {
            say(QStringLiteral("problem no documents for ") + shown.number);
            return false;
        }
        say(QStringLiteral("found ") + shown.number);
        return true;
    }

    bool compose(int round) {
        CompositionParameters p;
        p.ScopePaths = {sections_[round % sections_.size()], sections_[(round + 1) % sections_.size()]};
        CandidateTable candidates;
        {
            Bank bank(location_, Bank::Mode::ReadOnly);
            candidates = BuildCandidates(bank, p);
        }
        // Up to four questions, each once.
        QStringList numbers;
        std::vector<const Candidate*> chosen;
        for (size_t k = 0; k < candidates.size() && chosen.size() < 4; ++k) {
            const Candidate& c = candidates[(k * 7 + size_t(round)) % candidates.size()];
            if (numbers.contains(c.number))
                continue;
            numbers << c.number;
            chosen.push_back(&c);
        }
        if (chosen.empty())
            return true;
        SpecTable table(int(chosen.size()));
        for (size_t k = 0; k < chosen.size(); ++k) {
            const Candidate& c = *chosen[k];
            table.fillRow(int(k) + 1, c.number, c.code, c.type, c.difficulty, c.scope, c.knowledge);
        }
        const QDateTime when(QDate(2026, 12, 8), QTime(20, round % 60));
        PaperGeneration paper(table, appDir_, QDir(appDir_).filePath(QStringLiteral("桌面")), when);
        paper.useBank(location_);
        for (const QString& number : numbers)
            if (!QFileInfo::exists(questionDocumentPath(location_, number)) ||
                !QFileInfo::exists(answerDocumentPath(location_, number))) {
                say(QStringLiteral("problem the paper lacks the documents of ") + number);
                return false;
            }
        const QString folder = QDir(appDir_).filePath(QStringLiteral("桌面/试卷-%1-%2").arg(name_).arg(round));
        if (const QString problem = recordGeneratedPaper(location_, table, placedRows(table), when, folder,
                                                         QDir(folder).filePath(QStringLiteral("试卷.doc")), {},
                                                         QuestionUse{numbers, when.date()});
            !problem.isEmpty()) {
            say(QStringLiteral("problem ") + problem);
            return false;
        }
        say(QStringLiteral("paper ") + numbers.join(u' '));
        return true;
    }

private:
    QString location_, appDir_, name_;
    QStringList sections_;
    NumberPool pool_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 6) {
        std::fprintf(stderr, "usage: zs-schoolworker LOCATION CACHEFOLDER APPDIR TEACHER ROUNDS SECTION...\n");
        return 2;
    }
    setServerCacheRoot(args[1]);
    Teacher teacher(args[0], args[2], args[3], args.mid(5));
    const int rounds = args[4].toInt();
    try {
        for (int round = 0; round < rounds; ++round) {
            if (!teacher.enter(round) || !teacher.search(round))
                return 1;
            if (round % 2 == 1 && !teacher.compose(round))
                return 1;
        }
    } catch (const StoreError& e) {
        say(QStringLiteral("problem ") + e.message() + u' ' + e.details());
        return 1;
    }
    closeServerConnections();
    return 0;
}
