#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

namespace zs {

class Bank;
class Office;

// The students of a school kept in the bank (table 学生名单), so that a 考号
// read from a sheet or a score sheet's row is known by name and class.
inline const QString kRosterTable = QStringLiteral("学生名单");

struct Student {
    QString className;      // 班级
    QString examNumber;     // 考号, unique in the bank
    QString name;           // 姓名
    QString gender;         // 性别, may be empty
    QString studentNumber;  // 学号, may be empty
    bool operator==(const Student&) const = default;
};

// Makes the table when the bank lacks it.
void ensureRosterTable(Bank& bank);
// Every student, by class and 考号.
QVector<Student> loadRoster(Bank& bank);
// Stores the students in one transaction: a student whose 考号 is in the bank
// already is replaced, the others are added. Returns how many were new.
int saveStudents(Bank& bank, const QVector<Student>& students);
// Stores one student edited on the roster screen, who had the 考号 `before`
// (empty for a new student). Throws StoreError, changing nothing, when the
// 考号 or the name is empty or the 考号 belongs to another student.
void storeEditedStudent(Bank& bank, const QString& before, const Student& student);
// Removes the students of these 考号 in one transaction.
void removeStudents(Bank& bank, const QStringList& examNumbers);

// The class of each student of a score sheet: the roster's class for a
// known 考号, else the sheet's, else "未分班".
inline const QString kNoClass = QStringLiteral("未分班");

// A roster read from a school's list: the students, and what the teacher is
// told about the rows left out (each names its row in the sheet) or the
// reason nothing could be read.
struct RosterImport {
    QVector<Student> students;
    QStringList problems;
    QString refusal;
    // Sheet columns (from 0) the headers were found in; -1 where absent.
    int classColumn = -1, examColumn = -1, nameColumn = -1, genderColumn = -1, studentNumberColumn = -1;
    int headerRow = 0;  // counted from 1
};

// Which roster field a header names: "班级" (also 班别, 班), "考号" (准考证号,
// 考试号, 考生号), "姓名" (名字, 学生姓名), "性别", "学号"; empty for others.
QString rosterField(const QString& header);

// Reads a roster from the cells of a sheet: the headers are the first of the
// first ten rows naming 考号 and 姓名; rows without a 考号 or a name, and a
// 考号 given twice, are left out with a problem each. `defaultClass` is the
// class of rows whose sheet has no 班级 column (or whose cell is empty).
RosterImport rosterFromCells(const QList<QStringList>& cells, const QString& defaultClass = {});

// The kinds of file a roster is read from, each offered by its name.
inline const QString kRosterFilter = QStringLiteral(
    "学生名单|*.xlsx;*.xls;*.csv;*.ods|Excel 工作簿|*.xlsx|Excel 97-2003 工作簿|*.xls|CSV 文件（逗号分隔）|*.csv");

// Reads the first sheet of a roster file (.xls, .xlsx, .ods, or a .csv in
// UTF-8 or GB 18030) through the office. Throws OfficeError when the file
// cannot be read.
RosterImport readRosterFile(Office& office, const QString& path, const QString& defaultClass = {});

// What the import told the teacher: how many were read, and the rows left out.
QString rosterImportMessage(const RosterImport& import, int added);

}  // namespace zs
