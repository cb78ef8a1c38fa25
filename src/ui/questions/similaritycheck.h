#pragma once

#include "questions/similarity.h"

#include <optional>

class QWidget;

namespace zs {

class RunState;
class WordInstance;

// The similarity index of the current bank, its texts read through `word`
// (documents that changed since they were last read) while a progress window
// says so. Empty when the teacher cancelled the reading; throws StoreError or
// OfficeError.
std::optional<SimilarityIndex> readBankSimilarity(RunState& state, WordInstance& word, QWidget* parent);

}  // namespace zs
