#pragma once

// Handing a computed plan to the manual composition screen: the two-way
// specification table gets one data row per plan slot, in plan order.

#include "paper/spectable.h"
#include "plan/candidates.h"

namespace zs {

// The six cells a plan row gives grid columns 1..6 of the specification table:
// 题目编号, 试题识别码, 题型, 难度, 考查范围, 知识点 with every "|" as a line break.
QStringList tableCells(const Candidate& candidate);

// Sizes the table to the header and one row per plan row (rows beyond are
// dropped, new rows are empty) and writes columns 1 to 6 of every data row:
// 题目编号, 试题识别码, 题型, 难度, 考查范围 and 知识点 one point per line.
// Column 0 (the row numbers) is left to the screen.
void writePlanIntoTable(SpecTable& table, const PlanRows& rows);

}  // namespace zs
