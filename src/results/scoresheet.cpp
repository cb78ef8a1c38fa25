#include "results/scoresheet.h"

#include "office/office.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace zs {

namespace {

// Full-width digits and brackets as plain ones, without blanks.
QString plainText(const QString& text) {
    QString s = text.normalized(QString::NormalizationForm_KC);
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
}

// Rows that sum up the class rather than one student.
bool isSummaryRow(const QStringList& row, const ScoreMapping& mapping) {
    static const QStringList words = {QStringLiteral("平均分"), QStringLiteral("平均"),   QStringLiteral("合计"),
                                      QStringLiteral("总计"),   QStringLiteral("最高分"), QStringLiteral("最低分"),
                                      QStringLiteral("得分率")};
    for (int c = 0; c < row.size(); ++c)
        if (!mapping.scoreColumn.contains(c) && words.contains(plainText(row[c])))
            return true;
    return false;
}

const int kMaxListedCells = 50;

}  // namespace

bool scoreValue(const QString& text, double* value) {
    const QString s = plainText(text);
    if (s.isEmpty())
        return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(s, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

HeaderMeaning readHeader(const QString& header) {
    static const QRegularExpression pattern(
        QStringLiteral("^(?:第|T|Q|题|小题|NO\\.?)?0*([1-9]\\d{0,2})(?:题|小题)?"
                       "(?:\\((\\d+(?:\\.\\d+)?)分?\\))?(选项|作答|答案|选择)?(?:\\((\\d+(?:\\.\\d+)?)分?\\))?$"),
        QRegularExpression::CaseInsensitiveOption);
    HeaderMeaning meaning;
    const QRegularExpressionMatch m = pattern.match(plainText(header));
    if (!m.hasMatch())
        return meaning;
    meaning.question = m.captured(1).toInt();
    const QString mark = m.captured(2).isEmpty() ? m.captured(4) : m.captured(2);
    meaning.fullMark = mark.isEmpty() ? 0 : QLocale::c().toDouble(mark);
    meaning.options = !m.captured(3).isEmpty();
    return meaning;
}

ScoreSheet scoreSheetFromCells(const QList<QStringList>& cells, const QString& path) {
    ScoreSheet sheet;
    sheet.path = path;
    // Rows at the end that hold nothing do not count.
    int last = int(cells.size()) - 1;
    auto blank = [](const QStringList& row) {
        return std::all_of(row.begin(), row.end(), [](const QString& t) { return t.trimmed().isEmpty(); });
    };
    while (last >= 0 && blank(cells[last]))
        --last;
    if (last < 0)
        return sheet;
    // The headers: the first row that names two questions or more; a title
    // above them is passed over. Without such a row, the first row that
    // holds anything.
    int header = -1;
    for (int r = 0; r <= std::min(last, 9) && header < 0; ++r) {
        QSet<int> named;
        for (const QString& text : cells[r])
            if (const int q = readHeader(text).question; q > 0)
                named.insert(q);
        if (named.size() >= 2)
            header = r;
    }
    for (int r = 0; r <= last && header < 0; ++r)
        if (!blank(cells[r]))
            header = r;
    int width = 0;
    for (int r = header; r <= last; ++r)
        width = std::max(width, int(cells[r].size()));
    auto padded = [width](QStringList row) {
        while (row.size() < width)
            row << QString();
        for (QString& t : row)
            t = t.trimmed();
        return row;
    };
    sheet.headerRow = header + 1;
    sheet.headers = padded(cells[header]);
    for (int r = header + 1; r <= last; ++r)
        sheet.rows << padded(cells[r]);
    return sheet;
}

QList<QStringList> firstSheetCells(Office& office, const QString& path) {
    const auto calc = office.startSpreadsheet();
    calc->setVisible(false);
    const auto book = calc->open(path);
    QList<QStringList> cells;
    const QStringList sheets = book->sheetNames();
    if (!sheets.isEmpty()) {
        const CellArea area = book->usedArea(sheets.first());
        if (area.rows > 0 && area.columns > 0)
            cells = book->cellTexts(sheets.first(), 1, 1, area.rows, area.columns);
    }
    book->close();
    calc->quit();
    return cells;
}

ScoreSheet readScoreSheet(Office& office, const QString& path) {
    return scoreSheetFromCells(firstSheetCells(office, path), path);
}

ScoreMapping automaticMapping(const ScoreSheet& sheet, int questionCount, const QStringList& paperScores) {
    ScoreMapping mapping;
    mapping.scoreColumn.fill(-1, questionCount);
    mapping.optionColumn.fill(-1, questionCount);
    mapping.fullMark.fill(0, questionCount);
    for (int q = 0; q < questionCount; ++q) {
        double stated = 0;
        if (q < paperScores.size() && scoreValue(paperScores[q], &stated) && stated > 0)
            mapping.fullMark[q] = stated;
    }
    for (int c = 0; c < sheet.headers.size(); ++c) {
        const HeaderMeaning m = readHeader(sheet.headers[c]);
        if (m.question < 1 || m.question > questionCount)
            continue;
        const int q = m.question - 1;
        QVector<int>& columns = m.options ? mapping.optionColumn : mapping.scoreColumn;
        if (columns[q] >= 0)
            continue;  // the first column of a question wins
        columns[q] = c;
        if (!m.options && m.fullMark > 0)
            mapping.fullMark[q] = m.fullMark;
    }
    return mapping;
}

ScoreCheck checkScores(const ScoreSheet& sheet, const ScoreMapping& mapping) {
    ScoreCheck check;
    const int questions = int(mapping.scoreColumn.size());
    check.fullMarks.fill(0, questions);
    check.measured.fill(false, questions);
    check.options.resize(questions);
    if (sheet.headers.isEmpty() || sheet.rows.isEmpty()) {
        check.refusal = QStringLiteral("成绩表是空的，没有可以统计的学生成绩：\r%1").arg(sheet.path);
        check.problems << check.refusal;
        return check;
    }

    // Questions of the sheet beyond the paper, and questions without a column.
    int sheetQuestions = 0;
    for (const QString& h : sheet.headers) {
        const HeaderMeaning m = readHeader(h);
        sheetQuestions += m.question > 0 && !m.options;
    }
    if (sheetQuestions > 0 && sheetQuestions != questions)
        check.problems << QStringLiteral("成绩表有 %1 个小题分的列，试卷有 %2 道题，请核对对应关系。")
                              .arg(sheetQuestions)
                              .arg(questions);
    QStringList unmapped;
    for (int q = 0; q < questions; ++q)
        if (mapping.scoreColumn[q] < 0 || mapping.scoreColumn[q] >= sheet.headers.size())
            unmapped << QString::number(q + 1);
    if (int(unmapped.size()) == questions) {
        check.refusal = QStringLiteral("成绩表中找不到小题分的列（列名应为“1”“第1题”“T1”“1(3分)”之类），"
                                       "请在对应表中为每道题选择成绩表的列。");
        check.problems << check.refusal;
        return check;
    }
    if (!unmapped.isEmpty())
        check.problems << QStringLiteral("第 %1 题在成绩表中没有对应的列，不参加统计。").arg(unmapped.join(u'、'));

    // Every score cell: a number from 0 to the full mark (where one is known).
    QVector<bool> rowBad(sheet.rows.size(), false);
    QVector<bool> rowAbsent(sheet.rows.size(), false);
    QVector<double> highest(questions, 0);
    int listed = 0, unlisted = 0;
    auto complain = [&](int r, int c, const QString& text) {
        check.badCells.insert({r, c});
        rowBad[r] = true;
        if (listed < kMaxListedCells) {
            check.problems << QStringLiteral("第 %1 行“%2”列：%3").arg(sheet.sheetRow(r)).arg(sheet.headers[c], text);
            ++listed;
        } else {
            ++unlisted;
        }
    };
    for (int r = 0; r < sheet.rows.size(); ++r) {
        const QStringList& row = sheet.rows[r];
        if (isSummaryRow(row, mapping)) {
            rowAbsent[r] = true;
            continue;
        }
        bool any = false;
        for (int q = 0; q < questions; ++q) {
            const int c = mapping.scoreColumn[q];
            if (c >= 0 && c < row.size() && !row[c].isEmpty())
                any = true;
        }
        if (!any) {
            rowAbsent[r] = true;
            ++check.absent;
            continue;
        }
        for (int q = 0; q < questions; ++q) {
            const int c = mapping.scoreColumn[q];
            if (c < 0 || c >= row.size())
                continue;
            double v = 0;
            if (row[c].isEmpty())
                complain(r, c, QStringLiteral("没有分数"));
            else if (!scoreValue(row[c], &v))
                complain(r, c, QStringLiteral("“%1”不是分数").arg(row[c]));
            else if (v < 0)
                complain(r, c, QStringLiteral("分数 %1 小于 0").arg(row[c]));
            else if (mapping.fullMark.value(q) > 0 && v > mapping.fullMark[q] + 1e-9)
                complain(r, c,
                         QStringLiteral("分数 %1 超过满分 %2 分").arg(row[c], QString::number(mapping.fullMark[q])));
            else
                highest[q] = std::max(highest[q], v);
        }
    }
    if (unlisted > 0)
        check.problems << QStringLiteral("……另有 %1 个单元格不是有效的分数。").arg(unlisted);

    // A question without a stated full mark takes the highest score seen.
    for (int q = 0; q < questions; ++q) {
        if (mapping.scoreColumn[q] < 0 || mapping.scoreColumn[q] >= sheet.headers.size())
            continue;
        check.fullMarks[q] = mapping.fullMark.value(q) > 0 ? mapping.fullMark[q] : highest[q];
        check.measured[q] = check.fullMarks[q] > 0;
        if (!check.measured[q])
            check.problems << QStringLiteral("第 %1 题没有满分（没有人得分），请在对应表中填写满分。").arg(q + 1);
    }

    int leftOut = 0;
    for (int r = 0; r < sheet.rows.size(); ++r) {
        if (rowAbsent[r])
            continue;
        if (rowBad[r]) {
            ++leftOut;
            continue;
        }
        QVector<double> scores(questions, 0);
        for (int q = 0; q < questions; ++q)
            if (check.measured[q])
                scoreValue(sheet.rows[r][mapping.scoreColumn[q]], &scores[q]);
        check.scores << scores;
        check.studentRows << r;
    }
    for (int q = 0; q < questions; ++q) {
        const int c = mapping.optionColumn.value(q, -1);
        if (c < 0 || c >= sheet.headers.size())
            continue;
        for (int r : check.studentRows)
            check.options[q] << sheet.rows[r][c];
    }
    if (leftOut > 0)
        check.problems << QStringLiteral("有 %1 名学生的成绩中有无效的分数，不计入统计。").arg(leftOut);
    if (check.absent > 0)
        check.problems << QStringLiteral("有 %1 名学生没有任何小题分，按缺考不计入统计。").arg(check.absent);
    if (check.scores.isEmpty()) {
        check.refusal = QStringLiteral("成绩表中没有一名学生的成绩完整有效，无法统计。");
        check.problems.prepend(check.refusal);
    }
    return check;
}

int sheetQuestionCount(const ScoreSheet& sheet) {
    QSet<int> questions;
    for (const QString& header : sheet.headers)
        if (const HeaderMeaning m = readHeader(header); m.question > 0 && !m.options)
            questions.insert(m.question);
    return int(questions.size());
}

QString questionCountMismatch(int sheetQuestions, int paperQuestions) {
    if (sheetQuestions == paperQuestions)
        return {};
    return QStringLiteral(
               "成绩表中有 %1 道小题的分数列，而这份试卷有 %2 道题，对应关系不一定对。\r\r"
               "请在<对应关系>中核对每道题对应的列，确认无误后点<确认对应关系>，然后才能看统计结果和更新难度。")
        .arg(sheetQuestions)
        .arg(paperQuestions);
}

}  // namespace zs
