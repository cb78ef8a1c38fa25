#pragma once

#include <QString>

namespace zs {

// The refusal for an empty name (also what a cancelled input box gives).
inline const QString kEmptyNameMessage = QStringLiteral("输入的内容不能为空！");

// The refusal for a name that is not written "#-********".
QString nameFormatMessage();

// Names of catalogue items and question sources are a number, "-", then any
// text (1-语文, 03-人教版, 1-期末考试). Returns the message that refuses the
// name, or an empty text when the name is accepted.
QString nameProblem(const QString& name);

}  // namespace zs
