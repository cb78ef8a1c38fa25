#pragma once

#include <QFutureWatcher>
#include <QImage>
#include <QWidget>

class QLabel;
class QPushButton;
class QScrollArea;
class QFileSystemWatcher;
class QTimer;

namespace zs {

class RunState;

// Shows a preview of a linked word-processor document and opens the document
// for editing in the teacher's word processor. The preview is rendered in the
// background and follows the file when it is saved.
class DocumentView : public QWidget {
    Q_OBJECT
public:
    explicit DocumentView(QWidget* parent = nullptr);
    ~DocumentView() override;

    void setRunState(RunState* state) { state_ = state; }

    // Binds the view to a document file (by link: nothing is copied).
    void bind(const QString& path);
    void clear();
    // The bound file, or an empty text.
    const QString& boundPath() const { return path_; }
    // Renders the preview again from the file.
    void refresh();
    // Opens the bound document in the desktop's word processor.
    void edit();

    // The last rendered preview (null while none), for tests.
    const QImage& preview() const { return preview_; }
    bool isRendering() const { return watcher_->isRunning(); }

signals:
    void previewReady();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void render();
    void showResult();
    void showText(const QString& text);
    void showPreview();
    int previewWidth() const;

    RunState* state_ = nullptr;
    QString path_;
    QImage preview_;
    QLabel* page_;
    QScrollArea* scroll_;
    QLabel* name_;
    QPushButton* editButton_;
    QPushButton* refreshButton_;
    QFileSystemWatcher* fileWatcher_;
    QTimer* debounce_;
    QFutureWatcher<QImage>* watcher_;
    int generation_ = 0;
    int renderedWidth_ = 0;
    bool pending_ = false;
};

}  // namespace zs
