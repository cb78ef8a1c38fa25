#pragma once

// A bank file of 100 000 question rows written once per benchmark program:
// questions with one to three scopes among 20 chapters of six sections of one
// volume, and the catalogue of those sections with three knowledge points each.

#include <QString>

namespace zs::bench {

inline constexpr int kLargeBankRows = 100000;

// The bank's file (made on first use, removed at the end of the program).
const QString& largeBankPath();

// The scope path of a section of the bank (chapter 1..20, section 1..6).
QString largeBankSection(int chapter, int section);

}  // namespace zs::bench
