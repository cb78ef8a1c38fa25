#include "questions/questionsearch.h"

#include "questions/questionrecord.h"
#include "questions/scopetree.h"
#include "store/paths.h"
#include "store/serverdocuments.h"
#include "store/statement.h"
#include "store/textnumbers.h"

#include <QFile>
#include <cmath>

namespace zs {

QString lastTickedPath(const ScopeTreeModel& tree) {
    const QStringList paths = tree.checkedPaths();
    return paths.isEmpty() ? QString() : paths.last();
}

QString BuildSearchQuery(const SearchConditions& c) {
    QString s = QStringLiteral("select * from 试题库 where ");
    s += QStringLiteral("考查范围") + QStringLiteral(" like '") + sqlValue(c.scopePath) + QStringLiteral("%'");
    if (c.type != kAnyType)
        s += QStringLiteral(" and 题型='") + sqlValue(c.type) + u'\'';
    if (c.difficulty != kAnyDifficulty)
        s += QStringLiteral(" and 难度='") + sqlValue(c.difficulty) + u'\'';
    if (c.source != kAnySource)
        s += QStringLiteral(" and 试题来源='") + sqlValue(c.source) + u'\'';
    if (c.author != kAnyAuthor)
        s += QStringLiteral(" and 入库教师='") + sqlValue(c.author) + u'\'';
    const QString knowledge = c.knowledge.trimmed();
    if (!knowledge.isEmpty())
        for (const QString& part : knowledge.split(u'|'))
            s += QStringLiteral(" and 知识点 like '%") + sqlValue(part) + QStringLiteral("%'");
    return s;
}

// ---------------------------------------------------------------- ResultSet

void ResultSet::load(Bank& bank, const QString& statement) {
    RowSet rows = bank.query(statement);
    statement_ = statement;
    rows_ = std::move(rows);
    position_ = rows_.isEmpty() ? 0 : 1;
}

void ResultSet::clear() {
    statement_.clear();
    rows_ = RowSet();
    position_ = 0;
}

void ResultSet::moveTo(int position) {
    position_ = qBound(0, position, count() + 1);
}

void ResultSet::dropNumber(const QString& number) {
    const int numberColumn = rows_.columnIndex(QStringLiteral("题目编号"));
    if (numberColumn < 0)
        return;
    const int width = int(rows_.columns().size());
    QVector<QVariant> cells;
    cells.reserve(rows_.count() * width);
    int kept = 0;
    int newPosition = 0;
    for (int r = 0; r < rows_.count(); ++r) {
        if (r + 1 == position_)
            newPosition = kept + 1;  // the first row kept from the current one on
        if (rows_.text(r, numberColumn) == number)
            continue;
        for (int c = 0; c < width; ++c)
            cells.push_back(rows_.value(r, c));
        ++kept;
    }
    if (position_ > rows_.count())
        newPosition = kept + 1;
    rows_ = RowSet(rows_.columns(), std::move(cells));
    position_ = qBound(0, newPosition, kept + 1);
}

// ---------------------------------------------------------------- QuestionBrowser

void QuestionBrowser::search(Bank& bank, const QString& statement) {
    results.load(bank, statement);
    SearchDone = true;
}

QString QuestionBrowser::previous() {
    if (!SearchDone || results.isEmpty())
        return QStringLiteral("没有搜索到任何题目，不能跳转到<上一题>!");
    if (results.position() <= 1)
        return QStringLiteral("已经是第一题了！");
    results.moveTo(results.position() - 1);
    return {};
}

QString QuestionBrowser::next() {
    if (!SearchDone || results.isEmpty())
        return QStringLiteral("没有搜索到任何题目，不能跳转到<下一题>！");
    if (results.position() >= results.count())
        return QStringLiteral("已经是最后一题了！");
    results.moveTo(results.position() + 1);
    return {};
}

QuestionBrowser::JumpOutcome QuestionBrowser::jump(const QString& text) {
    if (!SearchDone)
        return {QStringLiteral("请先执行搜索，等搜索到了好多道题以后，你才有必要跳转到某道题上去啊。你说是不？"), true};
    const QString trimmed = text.trimmed();
    if (!isNumericText(trimmed))
        return {QStringLiteral("请输入一个整数！"), true};
    const double n = std::floor(numericValue(trimmed));
    const int count = results.count();
    if (n > 0 && n < count + 1) {
        results.moveTo(int(n));
        return {};
    }
    if (count != 0)
        return {QStringLiteral("请输入一个介于 [0-") + QString::number(count) + QStringLiteral("] 的整数！"), true};
    return {QStringLiteral("没有搜索到任何题目，所以，一切的跳转都是没有意义的！"), false};
}

QString QuestionBrowser::formatAnswer(const QString& answer) {
    if (!isNumericText(answer))
        return answer;
    const double value = numericValue(answer);
    if (std::fabs(value) >= 1e15)
        return answer;
    return zeroPadded(std::llround(value), 5);
}

QString QuestionBrowser::goTo(Bank& bank, const QString& answer) {
    const QString formatted = formatAnswer(answer);
    if (formatted.isEmpty())
        return QStringLiteral("输入内容为空！");
    ResultSet whole;
    whole.load(bank, QStringLiteral("select * from 试题库"));
    SearchDone = true;
    const QString wanted = formatted.toUpper();
    const RowSet& rows = whole.rows();
    const int numberColumn = rows.columnIndex(QStringLiteral("题目编号"));
    const int codeColumn = rows.columnIndex(QStringLiteral("试题识别码"));
    for (int r = 0; r < rows.count(); ++r) {
        if (formatAnswer(rows.text(r, numberColumn)) == formatted || rows.text(r, codeColumn).contains(wanted)) {
            whole.moveTo(r + 1);
            results = std::move(whole);
            return {};
        }
    }
    return QStringLiteral("对不起，没有搜索到[题目编号]或[试题识别码]为：") + formatted + QStringLiteral("的题目！");
}

namespace {
const QString kNothingFound = QStringLiteral("没有搜索到任何试题，暂不能执行此操作~~");
const QString kNothingShown = QStringLiteral("当前没有显示任何试题，暂不能执行此操作~~");
}  // namespace

QString QuestionBrowser::changeRefusal() const {
    if (!SearchDone)
        return QStringLiteral("目前还没有题目被你修改啊，你怎么确定修改？\r\r你可以先搜索出题目，把它显示在界"
                              "面上，然后再修改它~~");
    if (results.isEmpty())
        return kNothingFound;
    if (!results.hasCurrent())
        return kNothingShown;
    if (results.text(QStringLiteral("题目编号")).trimmed().isEmpty())
        return withoutNumberRefusal(QStringLiteral("修改"));
    return {};
}

QString QuestionBrowser::deletionRefusal() const {
    if (!SearchDone)
        return QStringLiteral("还没有搜索试题，暂不能执行此操作~~");
    if (results.isEmpty())
        return kNothingFound;
    if (!results.hasCurrent())
        return kNothingShown;
    if (results.text(QStringLiteral("题目编号")).trimmed().isEmpty())
        return withoutNumberRefusal(QStringLiteral("删除"));
    return {};
}

QString QuestionBrowser::withoutNumberRefusal(const QString& action) {
    // Every statement of a change or deletion names the question by its number:
    // without one it would reach the rows of other damaged questions too.
    return QStringLiteral("这条试题记录没有题目编号，不能%1！\r\r试题库中的这条记录不完整，"
                          "它的题目和答案文档也无从查找。请人修复试题库中的题目编号。")
        .arg(action);
}

void QuestionBrowser::repositionAfterDeletion(Bank& bank, int oldPosition) {
    results.load(bank, results.statement());
    if (oldPosition < results.count())
        results.moveTo(oldPosition);
}

// ---------------------------------------------------------------- the displayed question

QStringList authorChoices(Bank& bank) {
    return bank.query(QStringLiteral("select 实名用户名 from 用户管理 union select distinct 入库教师 from 试题库"))
        .texts();
}

QString questionByCodeQuery(const QString& code) {
    return QStringLiteral("select * from 试题库 where 试题识别码= '") + sqlValue(code) + u'\'';
}

QString scopeRecordsQuery(const QString& number) {
    return QStringLiteral("select 考查范围,知识点 from 试题库 where 题目编号= '") + sqlValue(number) + u'\'';
}

DisplayedQuestion loadDisplayedQuestion(Bank& bank, const ResultSet& results) {
    DisplayedQuestion q;
    if (!results.hasCurrent())
        return q;
    q.number = results.text(QStringLiteral("题目编号"));
    q.code = results.text(QStringLiteral("试题识别码"));
    q.type = results.text(QStringLiteral("题型"));
    q.difficulty = results.text(QStringLiteral("难度"));
    if (!results.isNull(QStringLiteral("试题来源")))
        q.source = results.text(QStringLiteral("试题来源"));
    q.revision = revisionOf(results.rows().value(results.position() - 1, kRevisionColumn));
    const RowSet scopes = bank.query(scopeRecordsQuery(q.number));
    for (int r = 0; r < scopes.count(); ++r)
        q.scopes << qMakePair(scopes.text(r, 0), scopes.text(r, 1));
    return q;
}

QStringList storedKnowledgePoints(const DisplayedQuestion& question, const QString& scopePath) {
    // The scope records were read with the question; a second look-up by scope
    // and number would walk every row of a busy scope.
    for (const auto& [scope, knowledge] : question.scopes)
        if (scope == scopePath && !knowledge.isEmpty())
            return knowledge.split(u'|');
    return {};
}

ScopeKnowledgeRow& addQuestionKnowledgeRow(Bank& bank, ScopeKnowledgeTable& table, const QString& scopePath,
                                           const DisplayedQuestion& question) {
    ScopeKnowledgeRow& row = table.add(scopePath, loadSectionKnowledgePoints(bank, scopePath));
    row.addSelected(storedKnowledgePoints(question, scopePath));
    row.dropSelectedFromCandidates();
    return row;
}

// ---------------------------------------------------------------- deletion

QString deleteStatement(const QString& number) {
    return QStringLiteral("delete from  试题库 where 题目编号='") + sqlValue(number) + u'\'';
}

void deleteQuestion(Bank& bank, const QString& number) {
    QFile::remove(questionDocumentPath(bank.path(), number));
    QFile::remove(answerDocumentPath(bank.path(), number));
    bank.transaction([&] {
        lockQuestionNumber(bank, number);
        bank.execute(deleteStatement(number));
        dropDocuments(bank, number);
    });
}

QString deletionQuestionText() {
    return QStringLiteral("删除试题后，该试题将无法恢复，真的要删除吗？");
}

QString deletionQuestionTitle(const QString& number) {
    return QStringLiteral("删除试题[") + number + u']';
}

QString deletedMessage(const QString& number) {
    return QStringLiteral("您已成功删除编号为  <") + number + QStringLiteral(">  的试题！");
}

}  // namespace zs
