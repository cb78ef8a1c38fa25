#pragma once

#include "app/runstate.h"

#include <QDate>
#include <QString>
#include <functional>

namespace zs {

// The outcome of refilling the pool of free question numbers.
struct RefillResult {
    bool completed = false;  // all 50 slots were filled
    QString message;         // why it stopped early (for the teacher)
    QString notice;          // something the teacher should know although the pool was filled
};

// Refills the 50 slots of `pool` with the lowest free question numbers of the
// bank at `bankPath`, scanning upward from 1. A number that rows of the bank
// carry is in use, whether or not its documents are there: rows are never
// deleted here. The stray documents of a number without rows (an entry
// abandoned before it was stored, or a question whose rows went with a bank
// put back from a backup) are never deleted: they are moved into
// 试题源文件/已移出-<today> (kept apart by a "(2)" when such a file is there), the
// result's notice saying how many and where, and the number is given out
// again; a number whose documents cannot be moved is passed over. A number still held by one of the slots up to the one
// being filled counts as taken. `progress(i)` is called after slot i (1..50) is filled.
//
// Rows without a question number are left alone; the number at the end of their
// identification code counts as in use, and the result's notice tells about
// them. Stops without changing anything when the bank holds questions but none
// of their documents is there (the documents folder is missing or emptied; it
// is made when the bank holds no question), and stops when the numbers would
// pass 32767.
//
// On a server bank the numbers are reserved on the server for this pool
// (`NumberPool::holder`), so that the pools of teachers entering at the same
// time never share a number; the pool's earlier reservations are given back,
// rows are the only sign of a number in use and local files are not touched.
RefillResult refillNumberPool(NumberPool& pool, const QString& bankPath,
                              const std::function<void(int slot)>& progress = {}, const QDate& today = {});

// The folder strays of `day` are moved into (without a date: "已移出").
QString strayFolderOf(const QString& bankPath, const QDate& day);

// The statements of the reservations on a server bank: locking them for one
// refill, and giving back a pool's numbers with those older than `days`.
QString lockReservationsStatement();
QString releaseReservationsStatement(const QString& holder, int days);

// The highest question number there can be.
inline constexpr int kHighestQuestionNumber = 32767;

}  // namespace zs
