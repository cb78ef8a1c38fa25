#pragma once

// The candidates of intelligent composition: the candidate questions of the
// parameters, the offset (偏移值) of a plan, and the compact form of the
// candidates the searches work on (type slot, level and knowledge-point slots
// precomputed once); EvaluatePlans on the six texts is the definition it
// agrees with.

#include "plan/compositionparameters.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace zs {

class Bank;
class RowSet;

// One candidate: six texts of a 试题库 row, read at positions 1 to 6.
struct Candidate {
    QString number;      // 题目编号
    QString scope;       // 考查范围
    QString type;        // 题型
    QString difficulty;  // 难度
    QString knowledge;   // 知识点
    QString code;        // 试题识别码
    bool operator==(const Candidate&) const = default;
};
using CandidateTable = std::vector<Candidate>;

// A plan as six texts per slot; an empty slot is a Candidate of empty texts.
using PlanRows = std::vector<Candidate>;
// A plan as candidate indexes per slot, in paper order; -1 is an empty slot.
using Plan = std::vector<int>;

// The candidate statement of the parameters (values through sqlValue).
QString candidateQuery(const CompositionParameters& parameters);
// Runs the candidate statement; throws StoreError when the bank refuses it.
CandidateTable BuildCandidates(Bank& bank, const CompositionParameters& parameters);
// The candidates of a "select * from 试题库" row set, its six values read by
// column name.
CandidateTable candidatesFromRows(const RowSet& rows);

// Difficulty level 0..4 of a 难度 text ("0.1"/"0.2" → 0 … "0.9"/"1.0" → 4), -1 for any other text.
int difficultyLevel(const QString& difficulty);
// Type slot 0..7 whose caption equals the 题型 text, -1 for none.
int typeSlotOf(const QString& type);

// Offsets are whole numbers; 64 bits so that no paper size can overflow them.
using Offset = std::int64_t;

// The offsets of four plans, computed on their texts exactly as defined:
// 5 × TypeSum + LevelSum + 5 × KnowledgeSum. With no knowledge point in the
// scope (K = 0) the knowledge term is 0.
std::array<Offset, 4> EvaluatePlans(const std::array<PlanRows, 4>& plans, const CompositionParameters& parameters);
// The offset of one plan of texts.
Offset planOffset(const PlanRows& plan, const CompositionParameters& parameters);

// The candidates in compact form, with the targets they are measured against.
// One pool serves one thread at a time (offset() uses a scratch table).
class CandidatePool {
public:
    CandidatePool(const CandidateTable& candidates, const CompositionParameters& parameters);
    // The pool of some rows of another pool, in the given order (candidate i
    // here is rows[i] there; numbers are counted afresh).
    CandidatePool(const CandidatePool& whole, const std::vector<int>& rows);

    // Number of candidates (M).
    int size() const { return int(type_.size()) - 1; }
    // Number of knowledge points after slot 0 (K).
    int knowledgePointCount() const { return k_; }
    int typeSlot(int r) const { return type_[at(r)]; }
    int level(int r) const { return level_[at(r)]; }
    // Index of the candidate's 题目编号 among the distinct numbers.
    int numberId(int r) const { return number_[at(r)]; }
    int distinctNumbers() const { return distinctNumbers_; }
    // The knowledge-point slots the candidate hits, one entry per hit.
    const int* knowledgeBegin(int r) const { return slots_.data() + slotStart_[at(r)]; }
    const int* knowledgeEnd(int r) const { return slots_.data() + slotStart_[at(r) + 1]; }
    int knowledgeHits(int r) const { return slotStart_[at(r) + 1] - slotStart_[at(r)]; }

    const std::array<int, kTypeSlotCount>& typeTargets() const { return typeTargets_; }
    const std::array<int, kLevelCount>& levelTargets() const { return levelTargets_; }

    // The knowledge mean for a total of `hits`: hits / K, halves to even.
    Offset knowledgeMean(Offset hits) const;
    // KnowledgeSum from the total hits and the sum of squared hits per slot.
    Offset knowledgeSum(Offset hits, Offset squaredHits) const;

    // The offset of a plan of candidate indexes (-1 counts as an empty row).
    Offset offset(const Plan& plan) const;

    // No plan of `total` different candidates has a lower offset: the knowledge term
    // with the hits spread as evenly as any total of hits allows (type and
    // level sums counted as 0).
    Offset offsetLowerBound(int total) const;

private:
    // Index into the tables; the empty row sits after the candidates.
    int at(int r) const { return r < 0 ? int(type_.size()) - 1 : r; }

    int k_ = 0;
    int distinctNumbers_ = 0;
    std::vector<std::int8_t> type_;
    std::vector<std::int8_t> level_;
    std::vector<int> number_;
    std::vector<int> slotStart_;
    std::vector<int> slots_;
    std::array<int, kTypeSlotCount> typeTargets_{};
    std::array<int, kLevelCount> levelTargets_{};
    mutable std::vector<int> scratch_;
};

// The rows of a plan (empty rows for empty slots).
PlanRows planRows(const CandidateTable& candidates, const Plan& plan);

// ---------------------------------------------------------------- type counts

// The questions (different 题目编号) of each type slot and of each level among
// the candidates.
std::array<int, kTypeSlotCount> questionsPerType(const CandidatePool& pool);
std::array<int, kLevelCount> questionsPerLevel(const CandidatePool& pool);

// How many questions of each type slot a plan holds at least and at most. The
// type counts are the paper's structure: a plan holds exactly the asked count
// of every type the candidates can fill, no type that was not asked, and where
// a type has too few questions it takes all of them and the other asked types
// make up the total.
struct TypeLimits {
    std::array<int, kTypeSlotCount> least{};
    std::array<int, kTypeSlotCount> most{};
    // True when every typed slot's count lies within its limits and no slot
    // holds a candidate of no type slot.
    bool admit(const CandidatePool& pool, const Plan& plan) const;
    // The least 5 × Σ (count − target)² of counts within the limits that sum
    // to `total` (the type part of every admitted plan's offset).
    Offset leastTypeSum(const std::array<int, kTypeSlotCount>& targets, int total) const;
};

// The limits of plans of `total` questions for `papers` papers without a
// common question (each paper may take half of a type's questions), or none
// when the asked types together hold fewer questions than a paper needs.
std::optional<TypeLimits> askedTypeLimits(const CandidatePool& pool, int total, int papers = 1);

// True when some type slot is asked for (a type target above 0).
bool typesAsked(const CandidatePool& pool);
// The candidates of asked types (type target above 0), in pool order.
std::vector<int> rowsOfAskedTypes(const CandidatePool& pool);

}  // namespace zs
