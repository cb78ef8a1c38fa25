#pragma once

#include <QString>
#include <QStringList>

namespace zs {

class Bank;

// On a server bank the question and answer documents are kept in the bank's
// table 试题文档 (the bytes and a revision per file), and the program works on
// copies in the bank's local folder (documentsFolderOf). For a file bank
// these do nothing: its documents are the files themselves.

// Brings the two documents of each number into the local folder where the
// copy there is missing or older than the bank's.
void fetchDocuments(Bank& bank, const QStringList& numbers);
// Writes the local documents of a number into the bank; call it inside the
// transaction that writes the number's rows.
void storeDocuments(Bank& bank, const QString& number);
// Removes a number's documents from the bank (inside the rows' transaction).
void dropDocuments(Bank& bank, const QString& number);

}  // namespace zs
