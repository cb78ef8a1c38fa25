#include "ui/questions/similaritycheck.h"

#include "app/runstate.h"
#include "questions/questiontexts.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace zs {

std::optional<SimilarityIndex> readBankSimilarity(RunState& state, WordInstance& word, QWidget* parent) {
    QProgressDialog progress(QStringLiteral("正在读取试题库中的试题，以便查找相似试题……"), QStringLiteral("取消"), 0, 1,
                             parent);
    progress.setWindowTitle(kAppTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(800);
    bool cancelled = false;
    SimilarityIndex index = bankSimilarityIndex(
        state.BankPath, [&](const QString& path) { return documentPlainText(word, path); },
        [&](int done, int total) {
            progress.setMaximum(std::max(total, 1));
            progress.setValue(std::min(done, std::max(total, 1)));
            // The window is modal to the screen: only its cancel button takes clicks.
            QCoreApplication::processEvents();
            cancelled = cancelled || progress.wasCanceled();
            return !cancelled;
        });
    if (cancelled)
        return std::nullopt;
    return index;
}

}  // namespace zs
