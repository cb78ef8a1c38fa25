#pragma once

// Question banks generated in memory with the shape of a real teacher's bank:
// a catalogue of subjects, volumes, chapters and sections with a handful of
// knowledge points each; questions filed under one to three sections of a
// chapter; types and difficulties in the proportions of a mathematics bank;
// one to three knowledge points per row, the first points of a section more
// common than the last.

#include "plan/compositionparameters.h"
#include "plan/plansearch.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace zs::bench {

struct BankShape {
    int subjects = 1;
    int volumes = 6;   // grades × 上下册
    int chapters = 6;  // per volume
    int sections = 4;  // per chapter
    // Knowledge points per section: `points`, plus one more for the first
    // `extraPointSections` sections of the bank.
    int points = 6;
    int extraPointSections = 0;
};

struct SyntheticSection {
    QString path;  // scope path, six names joined by "\"
    QStringList points;
    int chapter = 0;  // index into SyntheticBank::chapters
};

class SyntheticBank {
public:
    // About `rows` question rows over a catalogue of the given shape.
    static SyntheticBank generate(const BankShape& shape, int rows, unsigned seed);
    // A shape that grows with the bank: one subject per 25 000 rows.
    static BankShape shapeFor(int rows);

    const std::vector<SyntheticSection>& sections() const { return sections_; }
    // The section indexes of each chapter, chapters in catalogue order.
    const std::vector<std::vector<int>>& chapters() const { return chapters_; }
    // The section indexes of each volume.
    const std::vector<std::vector<int>>& volumes() const { return volumes_; }
    // All rows, as the candidate query would read them.
    const CandidateTable& rows() const { return rows_; }

    QStringList pathsOf(const std::vector<int>& sections) const;
    // The rows of the scope paths, in row order (the candidates of a request
    // whose teachers and sources are all ticked).
    CandidateTable candidatesIn(const QStringList& scopePaths) const;
    // Slot 0 empty, then the points of each path in order.
    QStringList knowledgePointsOf(const QStringList& scopePaths) const;

    // Writes the catalogue and the rows into a new bank file (for benchmarks
    // of the whole command and for trying the quality program on a bank).
    void writeBank(const QString& bankPath) const;

private:
    std::vector<SyntheticSection> sections_;
    std::vector<std::vector<int>> chapters_;
    std::vector<std::vector<int>> volumes_;
    CandidateTable rows_;
};

// The targets of a request: counts per type slot and shares per level in
// percent; the parameters are built as the screen would build them.
CompositionParameters requestParameters(const QStringList& scopePaths, const QStringList& knowledgePoints,
                                        const std::array<int, kTypeSlotCount>& typeCounts,
                                        const std::array<int, kLevelCount>& sharePercents);

}  // namespace zs::bench
