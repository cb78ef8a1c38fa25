#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace zs {

class Bank;

// The knowledge points of one ticked scope: numbered slots, each holding one
// knowledge point on the candidate side or on the selected side. Moving a point
// between the sides keeps its slot, so the selected points are always in
// candidate order.
class ScopeKnowledgeRow {
public:
    ScopeKnowledgeRow() = default;
    ScopeKnowledgeRow(QString path, const QStringList& candidates);

    const QString& path() const { return path_; }
    QStringList candidates() const;  // slot order
    QStringList selected() const;    // slot order
    bool anySelected() const;
    // Moves the first candidate (selected point) with this text to the other side.
    bool select(const QString& point);
    bool deselect(const QString& point);
    // Puts points on the selected side in the given order, after the slots
    // already there (used for a question's stored points).
    void addSelected(const QStringList& points);
    // Removes from the candidates every point that is on the selected side.
    void dropSelectedFromCandidates();
    // The selected points joined by "|".
    QString knowledgeList() const { return selected().join(u'|'); }

private:
    struct Slot {
        QString point;
        bool isSelected = false;
    };
    QString path_;
    QVector<Slot> slots_;
};

// One row per scope path ticked since the table was last cleared.
class ScopeKnowledgeTable {
public:
    void clear() { rows_.clear(); }
    bool isEmpty() const { return rows_.isEmpty(); }
    ScopeKnowledgeRow* find(const QString& path);
    const ScopeKnowledgeRow* find(const QString& path) const;
    ScopeKnowledgeRow& add(const QString& path, const QStringList& candidates);
    const QVector<ScopeKnowledgeRow>& rows() const { return rows_; }

private:
    QVector<ScopeKnowledgeRow> rows_;
};

// Whether a scope path reaches down to a section (five "\" separators).
bool reachesSection(const QString& scopePath);

// The statement that lists the catalogue knowledge points of a section path.
QString sectionKnowledgeQuery(const QString& scopePath);

// The non-null knowledge points of a section, in the order the store returns them.
QStringList loadSectionKnowledgePoints(Bank& bank, const QString& scopePath);

// The message shown when a ticked scope lies above section level.
QString incompleteCatalogueMessage(bool programEnds);

}  // namespace zs
