#include "compose/composition.h"

#include "store/bank.h"

namespace zs {

// ---------------------------------------------------------------- the entry point

ComposeResult composePlan(const CandidatePool& pool, int totalWanted, std::mt19937& random,
                          const ComposeOptions& options) {
    ComposeResult result;
    // Refused before the search; refining, a plan of every number once needs as
    // many distinct questions as slots.
    result.status = checkPlanRequest(pool, totalWanted, options.refine);
    if (result.status != PlanStatus::Ready) {
        result.message = refusalMessage(result.status, totalWanted);
        return result;
    }
    PlanSearchResult classic = SearchPlan(pool, totalWanted, random);
    result.status = classic.status;
    result.BestPlan = std::move(classic.BestPlan);
    result.BestOffset = classic.BestOffset;
    result.classicOffset = classic.BestOffset;
    result.message = classic.message;
    if (!options.refine || !classic.PlanReady())
        return result;

    const RefineResult refined = refinePlan(pool, result.BestPlan, random, options.refinement);
    if (refined.valid) {
        result.BestPlan = refined.plan;
        result.BestOffset = refined.offset;
        result.message = planResultMessage(refined.offset);
    }
    return result;
}

ComposeResult composePlan(const CandidateTable& candidates, const CompositionParameters& parameters,
                          std::mt19937& random, const ComposeOptions& options) {
    const CandidatePool pool(candidates, parameters);
    return composePlan(pool, parameters.TotalWanted, random, options);
}

Composition composeFromBank(const QString& bankPath, const CompositionParameters& parameters, std::mt19937& random,
                            const ComposeOptions& options) {
    Composition c;
    {
        Bank bank(bankPath, Bank::Mode::ReadOnly);
        c.candidates = BuildCandidates(bank, parameters);
    }
    c.result = composePlan(c.candidates, parameters, random, options);
    if (c.result.PlanReady())
        c.rows = planRows(c.candidates, c.result.BestPlan);
    return c;
}

}  // namespace zs
