#include "ui/common/documentview.h"

#include "app/runstate.h"
#include "office/officeerror.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfDocument>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QUuid>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace zs {

namespace {

constexpr int kMaxPages = 3;

// The part of a page that holds something: its non-white bounding box.
QRect inkBox(const QImage& page) {
    int left = page.width(), right = -1, top = page.height(), bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            if (qRed(line[x]) < 235 || qGreen(line[x]) < 235 || qBlue(line[x]) < 235) {
                left = qMin(left, x);
                right = qMax(right, x);
                top = qMin(top, y);
                bottom = qMax(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Exports the document to a PDF through the office and draws what its first
// pages hold, without the empty paper around it, `width` pixels wide. Runs on
// a worker thread.
QImage renderDocument(Office* office, const QString& path, int width) {
    const QString pdf =
        QDir::temp().filePath(QStringLiteral("zhuoshi-preview-%1.pdf").arg(QUuid::createUuid().toString(QUuid::Id128)));
    try {
        office->exportPdf(path, pdf);
    } catch (const OfficeError& e) {
        QImage failed;
        failed.setText(QStringLiteral("error"), e.message());
        return failed;
    }
    QPdfDocument document;
    document.load(pdf);
    // Pages are drawn large enough to stay sharp when only their text is shown.
    const int drawn = 1400;
    QList<QImage> pages;
    QRect ink;
    for (int p = 0; p < qMin(document.pageCount(), kMaxPages); ++p) {
        const QSizeF points = document.pagePointSize(p);
        if (points.isEmpty())
            continue;
        QImage page = document.render(p, QSize(drawn, int(drawn * points.height() / points.width())));
        QImage paper(page.size(), QImage::Format_RGB32);
        paper.fill(Qt::white);
        QPainter(&paper).drawImage(0, 0, page);
        const QRect box = inkBox(paper);
        if (!box.isNull()) {
            ink = ink.united(QRect(box.left(), 0, box.width(), 1));
            pages << paper.copy(0, qMax(0, box.top() - 20), paper.width(), box.height() + 40);
        }
    }
    document.close();
    QFile::remove(pdf);
    if (pages.isEmpty())
        return {};
    // The same columns of every page, never narrower than half the paper so
    // that a short line is not blown up.
    const int margin = 24;
    int left = qMax(0, ink.left() - margin);
    int right = qMin(drawn - 1, ink.right() + margin);
    if (right - left < drawn / 2)
        right = qMin(drawn - 1, left + drawn / 2);
    const int gap = 10;
    int height = 0;
    for (const QImage& p : pages)
        height += p.height() + gap;
    QImage all(right - left + 1, height - gap, QImage::Format_RGB32);
    all.fill(QColor(200, 200, 200));
    QPainter painter(&all);
    int y = 0;
    for (const QImage& p : pages) {
        painter.drawImage(0, y, p, left, 0, right - left + 1, p.height());
        y += p.height() + gap;
    }
    painter.end();
    return all.scaledToWidth(width, Qt::SmoothTransformation);
}

}  // namespace

DocumentView::DocumentView(QWidget* parent) : QWidget(parent) {
    page_ = new QLabel;
    page_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    page_->setWordWrap(true);
    page_->setMargin(6);
    scroll_ = new QScrollArea;
    scroll_->setWidget(page_);
    scroll_->setWidgetResizable(true);
    scroll_->setBackgroundRole(QPalette::Midlight);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    name_ = new QLabel;
    name_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    editButton_ = new QPushButton(QStringLiteral("编辑"));
    editButton_->setToolTip(QStringLiteral("在文字处理程序中打开并编辑这个文档，保存后预览自动更新"));
    refreshButton_ = new QPushButton(QStringLiteral("刷新"));
    refreshButton_->setToolTip(QStringLiteral("重新显示文档的当前内容"));
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(name_, 1);
    bar->addWidget(refreshButton_);
    bar->addWidget(editButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(scroll_, 1);
    layout->addLayout(bar);

    fileWatcher_ = new QFileSystemWatcher(this);
    debounce_ = new QTimer(this);
    debounce_->setSingleShot(true);
    debounce_->setInterval(400);
    watcher_ = new QFutureWatcher<QImage>(this);
    connect(editButton_, &QPushButton::clicked, this, &DocumentView::edit);
    connect(refreshButton_, &QPushButton::clicked, this, &DocumentView::refresh);
    connect(fileWatcher_, &QFileSystemWatcher::fileChanged, debounce_, qOverload<>(&QTimer::start));
    connect(debounce_, &QTimer::timeout, this, &DocumentView::refresh);
    connect(watcher_, &QFutureWatcher<QImage>::finished, this, &DocumentView::showResult);
    clear();
}

DocumentView::~DocumentView() {
    // A render still running finishes on its own; its result is dropped.
    watcher_->disconnect(this);
}

void DocumentView::bind(const QString& path) {
    if (!fileWatcher_->files().isEmpty())
        fileWatcher_->removePaths(fileWatcher_->files());
    path_ = path;
    preview_ = QImage();
    ++generation_;  // a preview of the file bound before never shows
    name_->setText(QFileInfo(path).fileName());
    editButton_->setEnabled(true);
    refreshButton_->setEnabled(true);
    if (QFileInfo::exists(path))
        fileWatcher_->addPath(path);
    refresh();
}

void DocumentView::clear() {
    if (!fileWatcher_->files().isEmpty())
        fileWatcher_->removePaths(fileWatcher_->files());
    path_.clear();
    preview_ = QImage();
    ++generation_;
    name_->clear();
    editButton_->setEnabled(false);
    refreshButton_->setEnabled(false);
    showText(QString());
}

void DocumentView::refresh() {
    if (path_.isEmpty())
        return;
    // An editor that saves by replacing the file drops the watch; watch it again.
    if (QFileInfo::exists(path_) && !fileWatcher_->files().contains(path_))
        fileWatcher_->addPath(path_);
    if (!QFileInfo::exists(path_)) {
        showText(QStringLiteral("找不到文档：\n%1").arg(QDir::toNativeSeparators(path_)));
        return;
    }
    if (!state_ || !state_->documentPreviews) {
        showText(QStringLiteral("%1\n\n（点“编辑”打开文档）").arg(QFileInfo(path_).fileName()));
        return;
    }
    render();
}

void DocumentView::render() {
    // Whatever is being rendered now is out of date: its result is dropped.
    ++generation_;
    if (preview_.isNull())
        showText(QStringLiteral("正在生成预览……"));
    if (watcher_->isRunning()) {
        pending_ = true;  // render again when the running one is done
        return;
    }
    renderedWidth_ = previewWidth();
    Office* office = &state_->office;
    const QString path = path_;
    const int width = renderedWidth_;
    watcher_->setProperty("generation", generation_);
    watcher_->setProperty("path", path);
    watcher_->setFuture(QtConcurrent::run([office, path, width] { return renderDocument(office, path, width); }));
}

void DocumentView::showResult() {
    // Only the picture of the file bound now, rendered last, is shown.
    const bool current = watcher_->property("generation").toInt() == generation_ &&
                         watcher_->property("path").toString() == path_ && !pending_;
    if (current) {
        const QImage image = watcher_->result();
        if (!image.text(QStringLiteral("error")).isEmpty()) {
            preview_ = QImage();
            showText(QStringLiteral("无法预览这个文档：\n%1").arg(image.text(QStringLiteral("error"))));
        } else if (image.isNull()) {
            preview_ = QImage();
            showText(QStringLiteral("（空白文档）"));
        } else {
            preview_ = image;
            page_->setText(QString());
            showPreview();
        }
        emit previewReady();
    }
    if (pending_) {
        pending_ = false;
        render();
    }
}

void DocumentView::showText(const QString& text) {
    page_->setPixmap(QPixmap());
    page_->setText(text);
}

void DocumentView::edit() {
    if (path_.isEmpty() || !state_)
        return;
    if (!QFileInfo::exists(path_)) {
        state_->prompts.show(QStringLiteral("找不到文档：\r%1").arg(QDir::toNativeSeparators(path_)));
        return;
    }
    state_->desktop.openFile(path_);
}

void DocumentView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (preview_.isNull())
        return;
    showPreview();
    const int width = previewWidth();
    if (qAbs(width - renderedWidth_) > 40 || preview_.width() > width)
        debounce_->start();  // drawn again for the new width a moment later
}

int DocumentView::previewWidth() const {
    return qMax(200, scroll_->viewport()->width() - 12);
}

void DocumentView::showPreview() {
    // A picture wider than the view is scaled down, never cut off.
    const int width = previewWidth();
    page_->setText(QString());
    page_->setPixmap(QPixmap::fromImage(
        preview_.width() > width ? preview_.scaledToWidth(width, Qt::SmoothTransformation) : preview_));
}

}  // namespace zs
