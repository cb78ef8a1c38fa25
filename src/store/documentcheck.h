#pragma once

#include <QString>
#include <QStringList>

namespace zs {

class Bank;

// The question numbers the bank's rows carry (rows without a number left out).
QStringList questionNumbersOf(Bank& bank);

// Tells the teacher that the documents of every question of the bank are gone:
// the documents folder beside the bank is missing, or it holds neither document
// of any question. Empty when the bank holds no question or at least one
// document of one question is there. Nothing is changed.
QString lostDocumentsMessage(Bank& bank);

// The identification codes of the rows that carry no question number (empty or
// null 题目编号), in row order.
QStringList codesOfRowsWithoutNumber(Bank& bank);

// Tells the teacher about rows without a question number, naming up to five of
// their identification codes; empty when there are none.
QString rowsWithoutNumberMessage(const QStringList& codes);

}  // namespace zs
