#include "plan/candidates.h"

#include "questions/rowcheck.h"
#include "store/bank.h"
#include "store/statement.h"
#include "store/textnumbers.h"

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zs {

// ---------------------------------------------------------------- candidates

namespace {

// " (列 = 'a' or 列 = 'b')" for a list of values; nothing for an empty list.
QString alternatives(const QString& opening, const QString& column, const QStringList& values) {
    if (values.isEmpty())
        return {};
    QString text;
    for (qsizetype i = 0; i < values.size(); ++i) {
        text +=
            i == 0 ? opening + column + QStringLiteral(" =") : QStringLiteral(" or ") + column + QStringLiteral(" =");
        text += QStringLiteral(" '") + sqlValue(values[i]) + u'\'';
    }
    return text + u')';
}

}  // namespace

QString candidateQuery(const CompositionParameters& p) {
    QString q = QStringLiteral("select * from 试题库 where");
    q += alternatives(QStringLiteral(" ("), QStringLiteral("考查范围"), p.ScopePaths);
    q += alternatives(QStringLiteral(" and ("), QStringLiteral("入库教师"), p.AuthorFilter);
    q += alternatives(QStringLiteral(" and ("), QStringLiteral("试题来源"), p.SourceFilter);
    if (p.LastUseRange)
        q += QStringLiteral(" and (最后使用日期 between #") + dialectDate(p.LastUseRange->after) +
             QStringLiteral("# and #") + dialectDate(p.LastUseRange->before) + QStringLiteral("#)");
    // Every row of a question recently used goes, whichever row recorded it.
    if (p.UsedSince)
        q += QStringLiteral(" and 题目编号 not in (select 题目编号 from 试题库 where 最后使用日期 >= #") +
             dialectDate(*p.UsedSince) + QStringLiteral("# and 题目编号 is not null)");
    return q;
}

CandidateTable candidatesFromRows(const RowSet& rows) {
    // By name: a bank whose question table has another column in between still
    // gives the same six values.
    const int number = rows.columnIndex(QStringLiteral("题目编号"));
    const int scope = rows.columnIndex(QStringLiteral("考查范围"));
    const int type = rows.columnIndex(QStringLiteral("题型"));
    const int difficulty = rows.columnIndex(QStringLiteral("难度"));
    const int knowledge = rows.columnIndex(QStringLiteral("知识点"));
    const int code = rows.columnIndex(QStringLiteral("试题识别码"));
    CandidateTable table;
    const int n = rows.count();
    table.reserve(n);
    for (int r = 0; r < n; ++r)
        table.push_back({rows.text(r, number), rows.text(r, scope), rows.text(r, type), rows.text(r, difficulty),
                         rows.text(r, knowledge), rows.text(r, code)});
    return table;
}

CandidateTable BuildCandidates(Bank& bank, const CompositionParameters& parameters) {
    // Rows with a 难度 that is no level, or a number different questions share,
    // wait until they are corrected.
    return candidatesFromRows(bank.query(candidateQuery(parameters) + usableQuestionsCondition()));
}

int difficultyLevel(const QString& d) {
    // "0.1" … "0.9" and "1.0", compared as texts.
    if (d.size() != 3 || d[1] != u'.')
        return -1;
    const char16_t a = d[0].unicode(), b = d[2].unicode();
    if (a == u'0' && b >= u'1' && b <= u'9')
        return (b - u'1') / 2;
    if (a == u'1' && b == u'0')
        return 4;
    return -1;
}

int typeSlotOf(const QString& type) {
    const auto& captions = typeSlotCaptions();
    for (int t = 0; t < kTypeSlotCount; ++t)
        if (captions[t] == type)
            return t;
    return -1;
}

// ---------------------------------------------------------------- the offset on texts

std::array<Offset, 4> EvaluatePlans(const std::array<PlanRows, 4>& plans, const CompositionParameters& p) {
    std::array<Offset, 4> offsets{};
    const auto& captions = typeSlotCaptions();
    const int k = p.knowledgePointCount();
    for (int q = 0; q < 4; ++q) {
        std::array<Offset, kTypeSlotCount> typeCount{};
        std::array<Offset, kLevelCount> levelCount{};
        std::vector<Offset> hits(k + 1, 0);
        for (const Candidate& c : plans[q]) {
            for (int t = 0; t < kTypeSlotCount; ++t)
                if (c.type == captions[t])
                    typeCount[t] += 1;
            if (const int l = difficultyLevel(c.difficulty); l >= 0)
                levelCount[l] += 1;
            for (const QString& part : c.knowledge.split(u'|'))
                for (int s = 0; s <= k; ++s)
                    if (part == p.ScopeKnowledgePoints[s])
                        hits[s] += 1;
        }
        Offset typeSum = 0, levelSum = 0, knowledgeSum = 0;
        for (int t = 0; t < kTypeSlotCount; ++t)
            typeSum += (typeCount[t] - p.TypeTargets[t]) * (typeCount[t] - p.TypeTargets[t]);
        for (int l = 0; l < kLevelCount; ++l)
            levelSum += (levelCount[l] - p.LevelTargets[l]) * (levelCount[l] - p.LevelTargets[l]);
        if (k > 0) {
            Offset total = 0;
            for (Offset h : hits)
                total += h;
            const Offset mean = roundHalfEven(double(total) / double(k));
            for (Offset h : hits)
                knowledgeSum += (h - mean) * (h - mean);
        }
        offsets[q] = 5 * typeSum + levelSum + 5 * knowledgeSum;
    }
    return offsets;
}

Offset planOffset(const PlanRows& plan, const CompositionParameters& parameters) {
    return EvaluatePlans({plan, {}, {}, {}}, parameters)[0];
}

// ---------------------------------------------------------------- compact candidates

namespace {

std::u16string_view view(QStringView s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size())};
}

struct TextHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view v) const { return std::hash<std::u16string_view>{}(v); }
};

template <typename T> using TextMap = std::unordered_map<std::u16string, T, TextHash, std::equal_to<>>;

}  // namespace

CandidatePool::CandidatePool(const CandidateTable& candidates, const CompositionParameters& p)
    : k_(p.knowledgePointCount()), typeTargets_(p.TypeTargets), levelTargets_(p.LevelTargets) {
    // Knowledge-point text → the scope slots it hits (a point listed twice in
    // the scope hits both slots).
    TextMap<std::vector<int>> slotsOf;
    for (int s = 0; s <= k_; ++s)
        slotsOf[std::u16string(view(p.ScopeKnowledgePoints[s]))].push_back(s);
    TextMap<int> numbers;
    numbers.reserve(candidates.size());

    const int m = int(candidates.size());
    type_.reserve(m + 1);
    level_.reserve(m + 1);
    number_.reserve(m + 1);
    slotStart_.reserve(m + 2);
    auto add = [&](const Candidate& c, int numberId) {
        type_.push_back(std::int8_t(typeSlotOf(c.type)));
        level_.push_back(std::int8_t(difficultyLevel(c.difficulty)));
        number_.push_back(numberId);
        slotStart_.push_back(int(slots_.size()));
        for (const QStringView part : QStringView(c.knowledge).tokenize(u'|')) {
            const auto it = slotsOf.find(view(part));
            if (it != slotsOf.end())
                slots_.insert(slots_.end(), it->second.begin(), it->second.end());
        }
        // Sorted, so that repeated hits of one slot stand together.
        std::sort(slots_.begin() + slotStart_.back(), slots_.end());
    };
    for (const Candidate& c : candidates) {
        const auto [it, added] = numbers.try_emplace(std::u16string(view(c.number)), int(numbers.size()));
        add(c, it->second);
    }
    distinctNumbers_ = int(numbers.size());
    add(Candidate{}, -1);  // the empty row
    slotStart_.push_back(int(slots_.size()));
    scratch_.assign(k_ + 1, 0);
}

CandidatePool::CandidatePool(const CandidatePool& whole, const std::vector<int>& rows)
    : k_(whole.k_), typeTargets_(whole.typeTargets_), levelTargets_(whole.levelTargets_) {
    std::vector<int> renumbered(whole.distinctNumbers_, -1);
    const int m = int(rows.size());
    type_.reserve(m + 1);
    level_.reserve(m + 1);
    number_.reserve(m + 1);
    slotStart_.reserve(m + 2);
    auto add = [&](int i, int numberId) {
        type_.push_back(whole.type_[i]);
        level_.push_back(whole.level_[i]);
        number_.push_back(numberId);
        slotStart_.push_back(int(slots_.size()));
        slots_.insert(slots_.end(), whole.slots_.begin() + whole.slotStart_[i],
                      whole.slots_.begin() + whole.slotStart_[i + 1]);
    };
    for (int r : rows) {
        int& id = renumbered[whole.number_[r]];
        if (id < 0)
            id = distinctNumbers_++;
        add(r, id);
    }
    add(whole.at(-1), -1);  // the empty row
    slotStart_.push_back(int(slots_.size()));
    scratch_.assign(k_ + 1, 0);
}

Offset CandidatePool::knowledgeMean(Offset hits) const {
    return k_ == 0 ? 0 : roundHalfEven(double(hits) / double(k_));
}

Offset CandidatePool::knowledgeSum(Offset hits, Offset squaredHits) const {
    if (k_ == 0)
        return 0;
    const Offset mean = knowledgeMean(hits);
    // Σ over slots 0..K of (h − mean)², expanded.
    return squaredHits - 2 * mean * hits + Offset(k_ + 1) * mean * mean;
}

Offset CandidatePool::offset(const Plan& plan) const {
    std::array<Offset, kTypeSlotCount> typeCount{};
    std::array<Offset, kLevelCount> levelCount{};
    Offset hits = 0, squared = 0;
    for (int r : plan) {
        const int i = at(r);
        if (type_[i] >= 0)
            ++typeCount[type_[i]];
        if (level_[i] >= 0)
            ++levelCount[level_[i]];
        for (int j = slotStart_[i]; j < slotStart_[i + 1]; ++j) {
            const Offset h = scratch_[slots_[j]]++;
            squared += 2 * h + 1;
            ++hits;
        }
    }
    for (int r : plan) {
        const int i = at(r);
        for (int j = slotStart_[i]; j < slotStart_[i + 1]; ++j)
            scratch_[slots_[j]] = 0;
    }
    Offset typeSum = 0, levelSum = 0;
    for (int t = 0; t < kTypeSlotCount; ++t)
        typeSum += (typeCount[t] - typeTargets_[t]) * (typeCount[t] - typeTargets_[t]);
    for (int l = 0; l < kLevelCount; ++l)
        levelSum += (levelCount[l] - levelTargets_[l]) * (levelCount[l] - levelTargets_[l]);
    return 5 * typeSum + levelSum + 5 * knowledgeSum(hits, squared);
}

Offset CandidatePool::offsetLowerBound(int total) const {
    const int m = size();
    if (k_ == 0 || total <= 0 || total > m)
        return 0;
    std::vector<int> perCandidate(m);
    bool slotZero = false;
    for (int r = 0; r < m; ++r) {
        perCandidate[r] = knowledgeHits(r);
        slotZero = slotZero || (knowledgeHits(r) > 0 && *knowledgeBegin(r) == 0);
    }
    std::sort(perCandidate.begin(), perCandidate.end());
    Offset fewest = 0, most = 0;
    for (int i = 0; i < total; ++i) {
        fewest += perCandidate[i];
        most += perCandidate[m - 1 - i];
    }
    // Slots that can take hits; slot 0 otherwise stays at 0 hits.
    const Offset spread = k_ + (slotZero ? 1 : 0);
    Offset best = std::numeric_limits<Offset>::max();
    for (Offset hits = fewest; hits <= most; ++hits) {
        const Offset mean = knowledgeMean(hits);
        const Offset q = hits / spread, r = hits % spread;
        Offset sum = r * (q + 1 - mean) * (q + 1 - mean) + (spread - r) * (q - mean) * (q - mean);
        if (!slotZero)
            sum += mean * mean;
        best = std::min(best, sum);
    }
    return 5 * best;
}

PlanRows planRows(const CandidateTable& candidates, const Plan& plan) {
    PlanRows rows;
    rows.reserve(plan.size());
    for (int r : plan)
        rows.push_back(r >= 0 ? candidates[r] : Candidate{});
    return rows;
}

// ---------------------------------------------------------------- type counts

namespace {

template <size_t N> std::array<int, N> distinctPer(const CandidatePool& pool, int (CandidatePool::*slotOf)(int) const) {
    std::array<std::vector<char>, N> seen;
    for (auto& v : seen)
        v.assign(pool.distinctNumbers(), 0);
    for (int r = 0; r < pool.size(); ++r)
        if (const int s = (pool.*slotOf)(r); s >= 0)
            seen[s][pool.numberId(r)] = 1;
    std::array<int, N> counts{};
    for (size_t s = 0; s < N; ++s)
        counts[s] = int(std::count(seen[s].begin(), seen[s].end(), 1));
    return counts;
}

}  // namespace

std::array<int, kTypeSlotCount> questionsPerType(const CandidatePool& pool) {
    return distinctPer<kTypeSlotCount>(pool, &CandidatePool::typeSlot);
}

std::array<int, kLevelCount> questionsPerLevel(const CandidatePool& pool) {
    return distinctPer<kLevelCount>(pool, &CandidatePool::level);
}

bool TypeLimits::admit(const CandidatePool& pool, const Plan& plan) const {
    std::array<int, kTypeSlotCount> counts{};
    for (int r : plan) {
        const int t = pool.typeSlot(r);
        if (t < 0)
            return false;
        ++counts[t];
    }
    for (int t = 0; t < kTypeSlotCount; ++t)
        if (counts[t] < least[t] || counts[t] > most[t])
            return false;
    return true;
}

Offset TypeLimits::leastTypeSum(const std::array<int, kTypeSlotCount>& targets, int total) const {
    // Convex in every count: from the least counts, each further question goes
    // where it costs least.
    std::array<Offset, kTypeSlotCount> count{};
    Offset placed = 0;
    for (int t = 0; t < kTypeSlotCount; ++t) {
        count[t] = least[t];
        placed += least[t];
    }
    for (; placed < total; ++placed) {
        int best = -1;
        Offset bestStep = 0;
        for (int t = 0; t < kTypeSlotCount; ++t) {
            if (count[t] >= most[t])
                continue;
            const Offset step = 2 * (count[t] - targets[t]) + 1;
            if (best < 0 || step < bestStep) {
                best = t;
                bestStep = step;
            }
        }
        if (best < 0)
            break;
        ++count[best];
    }
    Offset sum = 0;
    for (int t = 0; t < kTypeSlotCount; ++t)
        sum += (count[t] - targets[t]) * (count[t] - targets[t]);
    return 5 * sum;
}

std::optional<TypeLimits> askedTypeLimits(const CandidatePool& pool, int total, int papers) {
    const std::array<int, kTypeSlotCount> available = questionsPerType(pool);
    TypeLimits limits;
    int least = 0;
    for (int t = 0; t < kTypeSlotCount; ++t) {
        const int target = pool.typeTargets()[t];
        if (target <= 0)
            continue;
        const int share = available[t] / std::max(papers, 1);
        limits.least[t] = std::min(target, share);
        limits.most[t] = share;
        least += limits.least[t];
    }
    if (least > total) {
        // More asked than the paper holds: at most the asked count of each type.
        for (int t = 0; t < kTypeSlotCount; ++t) {
            limits.most[t] = limits.least[t];
            limits.least[t] = 0;
        }
        return limits;
    }
    // A type above its asked count takes at most what the others leave.
    int most = 0;
    for (int t = 0; t < kTypeSlotCount; ++t) {
        limits.most[t] = std::min(limits.most[t], limits.least[t] + (total - least));
        most += limits.most[t];
    }
    if (most < total)
        return std::nullopt;
    return limits;
}

bool typesAsked(const CandidatePool& pool) {
    const auto& targets = pool.typeTargets();
    return std::any_of(targets.begin(), targets.end(), [](int t) { return t > 0; });
}

std::vector<int> rowsOfAskedTypes(const CandidatePool& pool) {
    std::vector<int> rows;
    for (int r = 0; r < pool.size(); ++r)
        if (const int t = pool.typeSlot(r); t >= 0 && pool.typeTargets()[t] > 0)
            rows.push_back(r);
    return rows;
}

}  // namespace zs
