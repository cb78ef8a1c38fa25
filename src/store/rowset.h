#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <stdexcept>

namespace zs {

// A failure of the bank store, with a message for the teacher (Chinese, naming
// the file where one is involved) and, where there is one, the technical text
// behind it (the statement and the database's own words) for a "详细信息" part.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& message, const QString& details = {});
    const QString& message() const { return message_; }
    const QString& details() const { return details_; }

private:
    QString message_;
    QString details_;
};

// The rows of one query, in order; columns by name or position.
class RowSet {
public:
    RowSet() = default;
    RowSet(QStringList columns, QVector<QVariant> cells);

    int count() const { return columns_.isEmpty() ? 0 : int(cells_.size() / columns_.size()); }
    bool isEmpty() const { return count() == 0; }
    const QStringList& columns() const { return columns_; }
    int columnIndex(const QString& name) const;  // -1 when absent

    QVariant value(int row, int column) const;
    QVariant value(int row, const QString& column) const;
    // The value as text; a null value gives an empty text.
    QString text(int row, int column) const { return value(row, column).toString(); }
    QString text(int row, const QString& column) const { return value(row, column).toString(); }
    bool isNull(int row, const QString& column) const { return value(row, column).isNull(); }
    QDate date(int row, const QString& column) const;

    // The non-null values of one column as texts, in row order.
    QStringList texts(int column = 0) const;

private:
    QStringList columns_;
    QVector<QVariant> cells_;
};

}  // namespace zs
