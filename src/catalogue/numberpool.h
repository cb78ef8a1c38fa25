#pragma once

#include "app/runstate.h"

#include <QString>
#include <functional>

namespace zs {

// The outcome of refilling the pool of free question numbers.
struct RefillResult {
    bool completed = false;  // all 50 slots were filled
    QString message;         // why it stopped early (for the teacher)
};

// Refills the 50 slots of `pool` with the lowest free question numbers of the
// bank at `bankPath`, scanning upward from 1. A number is in use when both its
// documents and at least one question row exist; the leftovers of any other
// number met on the way (a stray document, rows without documents) are deleted
// so that the number can be given out again. A number still held by one of the
// slots up to the one being filled counts as taken. `progress(i)` is called
// after slot i (1..50) is filled.
//
// Stops without changing anything when the documents folder is missing while
// the bank holds question rows (the folder is made when the bank is empty), and
// stops when the numbers would pass 32767.
RefillResult refillNumberPool(NumberPool& pool, const QString& bankPath,
                              const std::function<void(int slot)>& progress = {});

// The highest question number there can be.
inline constexpr int kHighestQuestionNumber = 32767;

}  // namespace zs
