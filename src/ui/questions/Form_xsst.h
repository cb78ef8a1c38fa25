#pragma once

#include "questions/similarity.h"

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class Form_xsst;
}

namespace zs {

class RunState;

// The pairs of similar questions of a bank, most alike first; the teacher
// picks a pair to look at in the browse screen.
class Form_xsst : public QDialog {
    Q_OBJECT
public:
    // `index` gives the excerpts of the questions' texts.
    Form_xsst(RunState& state, const QList<SimilarPair>& pairs, const SimilarityIndex& index,
              QWidget* parent = nullptr);
    ~Form_xsst() override;

    void Command_ck_Click();
    void Command_fh_Click();

    // The pair chosen with "查看这两题" (none when the screen was left otherwise).
    const std::optional<SimilarPair>& chosen() const { return chosen_; }

private:
    std::unique_ptr<Ui::Form_xsst> ui;
    RunState& state_;
    QList<SimilarPair> pairs_;
    std::optional<SimilarPair> chosen_;
};

}  // namespace zs
