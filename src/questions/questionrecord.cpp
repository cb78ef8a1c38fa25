#include "questions/questionrecord.h"

#include "store/bank.h"
#include "store/pausepoint.h"
#include "store/serverdocuments.h"
#include "store/statement.h"

namespace zs {

QString missingKnowledgeMessage(const QString& scopePath) {
    return QStringLiteral("在勾选的“") + scopePath + QStringLiteral("”下，没有添加知识点，请先添加！");
}

DraftCheck checkDraft(const QuestionDraft& draft) {
    DraftCheck check;
    // The knowledge points are looked at first, while walking the ticked scopes.
    bool knowledgeIncomplete = false;
    for (const QString& path : draft.tickedPaths) {
        const ScopeKnowledgeRow* row = draft.knowledge ? draft.knowledge->find(path) : nullptr;
        if (!row) {
            knowledgeIncomplete = true;
            continue;
        }
        if (!row->anySelected()) {
            check.scopeMessages << missingKnowledgeMessage(path);
            knowledgeIncomplete = true;
        }
    }
    QString lines;
    if (draft.tickedPaths.isEmpty())
        lines += QStringLiteral("*未选择考查范围！\r");
    if (!draft.typeChosen)
        lines += QStringLiteral("*试题题型未选择！\r");
    if (!draft.difficultyChosen)
        lines += QStringLiteral("*试题难度未选择！\r");
    if (draft.checkSource && !draft.sourceChosen)
        lines += QStringLiteral("*试题来源未选择！\r");
    if (!draft.questionBound)
        lines += QStringLiteral("*试题题目未输入！\r");
    if (!draft.answerBound)
        lines += QStringLiteral("*试题答案未输入！\r");
    if (knowledgeIncomplete)
        lines += QStringLiteral("*试题知识点未添加完善！\r");
    if (!lines.isEmpty())
        check.complaint = QStringLiteral("未能成功录入试题，原因如下：\r\r") + lines;
    return check;
}

QString makeIdentificationCode(const QString& user, const QString& number) {
    return user + u'-' + number;
}

QList<QPair<QString, QString>> draftScopes(const QuestionDraft& draft) {
    QList<QPair<QString, QString>> out;
    for (const QString& path : draft.tickedPaths)
        if (const ScopeKnowledgeRow* row = draft.knowledge ? draft.knowledge->find(path) : nullptr)
            out << qMakePair(path, row->knowledgeList());
    return out;
}

namespace {

// What the rows of a question record about its history, kept across a change.
struct History {
    QVariant lastUse;
    QVariant uses;
};

void insertRows(Bank& bank, const QuestionRecord& record, const History& history = {}, qlonglong revision = 0) {
    bool first = true;
    for (const auto& [path, knowledge] : record.scopes) {
        RowValues row = {{QStringLiteral("题目编号"), record.number},
                         {QStringLiteral("考查范围"), path},
                         {QStringLiteral("题型"), record.type},
                         {QStringLiteral("难度"), record.difficulty}};
        if (record.source)
            row << qMakePair(QStringLiteral("试题来源"), QVariant(*record.source));
        row << qMakePair(QStringLiteral("试题识别码"), QVariant(record.code))
            << qMakePair(QStringLiteral("入库日期"), QVariant(record.date))
            << qMakePair(QStringLiteral("入库教师"), QVariant(record.teacher))
            << qMakePair(QStringLiteral("知识点"), QVariant(knowledge));
        if (!history.lastUse.isNull())
            row << qMakePair(QStringLiteral("最后使用日期"), history.lastUse);
        if (!history.uses.isNull())
            row << qMakePair(QStringLiteral("使用次数"), history.uses);
        if (revision > 0)
            row << qMakePair(kRevisionColumn, QVariant(revision));
        bank.addRow(QStringLiteral("试题库"), row);
        if (first)
            pausePoint("question-rows");
        first = false;
    }
}

// The first value of a column that is not empty, or a null value.
QVariant firstValue(const RowSet& rows, const QString& column) {
    for (int r = 0; r < rows.count(); ++r)
        if (!rows.isNull(r, column) && !rows.text(r, column).isEmpty())
            return rows.value(r, column);
    return {};
}

}  // namespace

QString numberTakenMessage(const QString& number) {
    return QStringLiteral(
               "题目编号 %1 已经被别的老师用了，这道题没有保存。\r请关闭<试题录入>后重新打开，再录入这道题。")
        .arg(number);
}

std::optional<qlonglong> revisionOf(const QVariant& value) {
    if (value.isNull())
        return std::nullopt;
    return value.toLongLong();
}

void lockQuestionNumber(Bank& bank, const QString& number) {
    if (!bank.isServer())
        return;
    // One lock per number (a second key keeps it apart from other locks).
    bool numeric = false;
    const int n = number.toInt(&numeric);
    bank.query(
        QStringLiteral("select pg_advisory_xact_lock(20770, %1)").arg(numeric ? n : int(qHash(number) & 0x7fffffff)));
}

void addQuestion(Bank& bank, const QuestionRecord& record) {
    bank.transaction([&] {
        if (bank.isServer()) {
            lockQuestionNumber(bank, record.number);
            if (hasRows(bank, record.number))
                throw StoreError(numberTakenMessage(record.number));
        }
        insertRows(bank, record);
        storeDocuments(bank, record.number);
        if (bank.isServer())
            bank.execute(QStringLiteral("delete from 题目编号预留 where 题目编号='") + sqlValue(record.number) + u'\'');
    });
}

qlonglong replaceQuestion(Bank& bank, const QuestionRecord& record) {
    qlonglong revision = 0;
    bank.transaction([&] {
        lockQuestionNumber(bank, record.number);
        const RowSet old =
            bank.query(QStringLiteral("select * from 试题库 where 题目编号='") + sqlValue(record.number) + u'\'');
        if (bank.isServer()) {
            qlonglong current = 0;
            for (int r = 0; r < old.count(); ++r)
                current = qMax(current, old.value(r, kRevisionColumn).toLongLong());
            // Gone, or changed since the teacher read it.
            if (old.isEmpty() || (record.revision && *record.revision != current))
                throw StoreError(kChangedByOtherMessage);
            revision = current + 1;
        }
        QuestionRecord kept = record;
        for (int r = 0; r < old.count(); ++r)
            if (const QDate date = old.date(r, QStringLiteral("入库日期")); date.isValid()) {
                kept.date = date;
                break;
            }
        if (const QVariant teacher = firstValue(old, QStringLiteral("入库教师")); !teacher.isNull())
            kept.teacher = teacher.toString();
        History history;
        for (int r = 0; r < old.count(); ++r) {
            const QDate lastUse = old.date(r, QStringLiteral("最后使用日期"));
            if (lastUse.isValid() && (history.lastUse.isNull() || lastUse > history.lastUse.toDate()))
                history.lastUse = lastUse;
            const QVariant uses = old.value(r, QStringLiteral("使用次数"));
            if (!uses.isNull() && (history.uses.isNull() || uses.toLongLong() > history.uses.toLongLong()))
                history.uses = uses.toLongLong();
        }
        bank.execute(QStringLiteral("delete from 试题库 where 题目编号='") + sqlValue(record.number) + u'\'');
        insertRows(bank, kept, history, revision);
        storeDocuments(bank, record.number);
    });
    return revision;
}

bool hasRows(Bank& bank, const QString& number) {
    return !bank.query(QStringLiteral("select 题目编号 from 试题库 where 题目编号='") + sqlValue(number) + u'\'')
                .isEmpty();
}

QuestionChoices questionChoices(Bank& bank) {
    QuestionChoices choices;
    choices.types = bank.query(QStringLiteral("select 题型 from 题型")).texts();
    choices.difficulties = bank.query(QStringLiteral("select 难度 from 难度")).texts();
    choices.sources = bank.query(QStringLiteral("select 试题来源 from 试题来源")).texts();
    return choices;
}

int countQuestions(Bank& bank) {
    return bank.query(QStringLiteral("select distinct 题目编号 from 试题库")).count();
}

int countQuestionsEnteredOn(Bank& bank, const QDate& day) {
    return bank.query(QStringLiteral("select distinct 题目编号 from 试题库 where  入库日期= ") + dateLiteral(day))
        .count();
}

}  // namespace zs
