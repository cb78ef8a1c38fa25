#include "results/roster.h"

#include "results/scoresheet.h"
#include "store/bank.h"
#include "store/statement.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <tuple>

namespace zs {

void ensureRosterTable(Bank& bank) {
    bank.executeBound(QStringLiteral("CREATE TABLE IF NOT EXISTS \"学生名单\" (\"班级\" TEXT, \"考号\" TEXT, "
                                     "\"姓名\" TEXT, \"性别\" TEXT, \"学号\" TEXT)"),
                      {});
    bank.executeBound(QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS \"学生名单_考号\" ON \"学生名单\" (\"考号\")"),
                      {});
}

QVector<Student> loadRoster(Bank& bank) {
    ensureRosterTable(bank);
    const RowSet rows = bank.query(QStringLiteral("select 班级, 考号, 姓名, 性别, 学号 from 学生名单"));
    QVector<Student> students;
    students.reserve(rows.count());
    for (int r = 0; r < rows.count(); ++r)
        students.push_back({rows.text(r, 0), rows.text(r, 1), rows.text(r, 2), rows.text(r, 3), rows.text(r, 4)});
    std::sort(students.begin(), students.end(), [](const Student& a, const Student& b) {
        return std::tie(a.className, a.examNumber) < std::tie(b.className, b.examNumber);
    });
    return students;
}

int saveStudents(Bank& bank, const QVector<Student>& students) {
    ensureRosterTable(bank);
    int added = 0;
    bank.transaction([&] {
        QSet<QString> known;
        for (const QString& number : bank.query(QStringLiteral("select 考号 from 学生名单")).texts())
            known.insert(number);
        for (const Student& s : students) {
            if (known.contains(s.examNumber)) {
                bank.executeBound(QStringLiteral("UPDATE \"学生名单\" SET \"班级\" = ?, \"姓名\" = ?, \"性别\" = ?, "
                                                 "\"学号\" = ? WHERE \"考号\" = ?"),
                                  {s.className, s.name, s.gender, s.studentNumber, s.examNumber});
            } else {
                bank.executeBound(QStringLiteral("INSERT INTO \"学生名单\" (\"班级\", \"考号\", \"姓名\", \"性别\", "
                                                 "\"学号\") VALUES (?, ?, ?, ?, ?)"),
                                  {s.className, s.examNumber, s.name, s.gender, s.studentNumber});
                known.insert(s.examNumber);
                ++added;
            }
        }
    });
    return added;
}

void storeEditedStudent(Bank& bank, const QString& before, const Student& student) {
    if (student.examNumber.trimmed().isEmpty() || student.name.trimmed().isEmpty())
        throw StoreError(QStringLiteral("考号和姓名都要填写。"));
    ensureRosterTable(bank);
    bank.transaction([&] {
        if (student.examNumber != before) {
            const RowSet taken = bank.query(QStringLiteral("select 姓名 from 学生名单 where 考号 = '") +
                                            sqlValue(student.examNumber) + u'\'');
            if (!taken.isEmpty())
                throw StoreError(
                    QStringLiteral("考号 %1 已经是 %2 的考号。").arg(student.examNumber, taken.text(0, 0)));
            if (!before.isEmpty())
                bank.executeBound(QStringLiteral("DELETE FROM \"学生名单\" WHERE \"考号\" = ?"), {before});
        }
        saveStudents(bank, {student});
    });
}

void removeStudents(Bank& bank, const QStringList& examNumbers) {
    ensureRosterTable(bank);
    bank.transaction([&] {
        for (const QString& number : examNumbers)
            bank.executeBound(QStringLiteral("DELETE FROM \"学生名单\" WHERE \"考号\" = ?"), {number});
    });
}

QString rosterField(const QString& header) {
    QString h = header.simplified();
    h.remove(u' ');
    static const QHash<QString, QString> fields{
        {QStringLiteral("班级"), QStringLiteral("班级")},     {QStringLiteral("班别"), QStringLiteral("班级")},
        {QStringLiteral("班"), QStringLiteral("班级")},       {QStringLiteral("考号"), QStringLiteral("考号")},
        {QStringLiteral("准考证号"), QStringLiteral("考号")}, {QStringLiteral("考试号"), QStringLiteral("考号")},
        {QStringLiteral("考生号"), QStringLiteral("考号")},   {QStringLiteral("姓名"), QStringLiteral("姓名")},
        {QStringLiteral("名字"), QStringLiteral("姓名")},     {QStringLiteral("学生姓名"), QStringLiteral("姓名")},
        {QStringLiteral("性别"), QStringLiteral("性别")},     {QStringLiteral("学号"), QStringLiteral("学号")},
        {QStringLiteral("学籍号"), QStringLiteral("学号")},
    };
    return fields.value(h);
}

namespace {

QString cellAt(const QStringList& row, int column) {
    return column >= 0 && column < row.size() ? row[column].trimmed() : QString();
}

// A 考号 as the sheet shows it: spreadsheets turn long digit runs into
// numbers, which come back as "2.0240101E7" or "20240101.0".
QString examNumberText(QString text) {
    text = text.trimmed();
    text.remove(u' ');
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (ok && !text.contains(u'-') && value >= 0 && value < 1e15 && value == std::floor(value) &&
        (text.contains(u'.') || text.contains(u'E', Qt::CaseInsensitive)))
        return QString::number(qint64(value));
    return text;
}

}  // namespace

RosterImport rosterFromCells(const QList<QStringList>& cells, const QString& defaultClass) {
    RosterImport import;
    int header = -1;
    for (int r = 0; r < std::min<qsizetype>(cells.size(), 10) && header < 0; ++r) {
        QSet<QString> named;
        for (const QString& cell : cells[r])
            named.insert(rosterField(cell));
        if (named.contains(QStringLiteral("考号")) && named.contains(QStringLiteral("姓名")))
            header = r;
    }
    if (header < 0) {
        import.refusal = cells.isEmpty() ? QStringLiteral("名单里没有内容。")
                                         : QStringLiteral("名单的前十行里找不到“考号”和“姓名”两列的列标题。");
        return import;
    }
    import.headerRow = header + 1;
    const QStringList& headers = cells[header];
    for (int c = 0; c < headers.size(); ++c) {
        const QString field = rosterField(headers[c]);
        int* column = field == QStringLiteral("班级")   ? &import.classColumn
                      : field == QStringLiteral("考号") ? &import.examColumn
                      : field == QStringLiteral("姓名") ? &import.nameColumn
                      : field == QStringLiteral("性别") ? &import.genderColumn
                      : field == QStringLiteral("学号") ? &import.studentNumberColumn
                                                        : nullptr;
        if (column && *column < 0)
            *column = c;
    }
    QHash<QString, int> firstRow;
    for (int r = header + 1; r < cells.size(); ++r) {
        const QStringList& row = cells[r];
        const int sheetRow = r + 1;
        const QString number = examNumberText(cellAt(row, import.examColumn));
        const QString name = cellAt(row, import.nameColumn);
        if (number.isEmpty() && name.isEmpty() && row.join(QString()).trimmed().isEmpty())
            continue;  // an empty row
        if (number.isEmpty()) {
            import.problems << QStringLiteral("第 %1 行（%2）：没有考号，未导入。").arg(sheetRow).arg(name);
            continue;
        }
        if (name.isEmpty()) {
            import.problems << QStringLiteral("第 %1 行（考号 %2）：没有姓名，未导入。").arg(sheetRow).arg(number);
            continue;
        }
        if (firstRow.contains(number)) {
            import.problems << QStringLiteral("第 %1 行（%2）：考号 %3 与第 %4 行重复，未导入。")
                                   .arg(sheetRow)
                                   .arg(name, number)
                                   .arg(firstRow.value(number));
            continue;
        }
        firstRow.insert(number, sheetRow);
        QString className = cellAt(row, import.classColumn);
        if (className.isEmpty())
            className = defaultClass.trimmed();
        import.students.push_back(
            {className, number, name, cellAt(row, import.genderColumn), cellAt(row, import.studentNumberColumn)});
    }
    if (import.students.isEmpty() && import.problems.isEmpty())
        import.refusal = QStringLiteral("名单里只有列标题，没有学生。");
    return import;
}

RosterImport readRosterFile(Office& office, const QString& path, const QString& defaultClass) {
    return rosterFromCells(firstSheetCells(office, path), defaultClass);
}

QString rosterImportMessage(const RosterImport& import, int added) {
    const int read = int(import.students.size());
    QString text =
        QStringLiteral("已导入 %1 名学生（新增 %2 名，更新 %3 名）。").arg(read).arg(added).arg(read - added);
    if (!import.problems.isEmpty())
        text += QStringLiteral("\r%1 行未导入，原因见详细信息。").arg(import.problems.size());
    return text;
}

}  // namespace zs
