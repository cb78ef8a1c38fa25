#include "ui/widgetevents.h"

#include <QApplication>
#include <QFileDialog>
#include <QFocusEvent>
#include <QInputDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace zs {

namespace {

class ClickFilter : public QObject {
public:
    ClickFilter(QWidget* widget, std::function<void()> handler) : QObject(widget), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        } else if (event->type() == QEvent::MouseButtonRelease && pressed_) {
            pressed_ = false;
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto* widget = static_cast<QWidget*>(watched);
            if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint()))
                handler_();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> handler_;
    bool pressed_ = false;
};

// Drops the next mouse press (and the release that ends it) anywhere in the
// program, then removes itself.
class DropNextClick : public QObject {
public:
    DropNextClick() { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // After a message box the button is up already: no release follows.
            pressSeen_ = true;
            if (QGuiApplication::mouseButtons() == Qt::NoButton)
                finish();
            return true;
        case QEvent::MouseButtonRelease:
            finish();
            return pressSeen_;
        default:
            return false;
        }
    }

private:
    void finish() {
        qApp->removeEventFilter(this);
        deleteLater();
    }
    bool pressSeen_ = false;
};

class LostFocusFilter : public QObject {
public:
    LostFocusFilter(QWidget* widget, std::function<void()> handler) : QObject(widget), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusOut || busy_)
            return QObject::eventFilter(watched, event);
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return QObject::eventFilter(watched, event);
        auto* widget = static_cast<QWidget*>(watched);
        QPointer<QWidget> window = widget->window();
        QPointer<QWidget> going = QApplication::focusWidget();
        busy_ = true;
        handler_();
        busy_ = false;
        const bool refused = window && window->focusWidget() != going;
        if (refused && reason == Qt::MouseFocusReason)
            new DropNextClick;
        return false;
    }

private:
    std::function<void()> handler_;
    bool busy_ = false;
};

bool isPromptWindow(const QWidget* w) {
    return qobject_cast<const QMessageBox*>(w) || qobject_cast<const QInputDialog*>(w) ||
           qobject_cast<const QFileDialog*>(w);
}

class ActivateFilter : public QObject {
public:
    ActivateFilter(QWidget* window, std::function<void()> handler) : QObject(window), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowDeactivate) {
            // The window that takes over decides what coming back means.
            const QWidget* next = QApplication::activeWindow();
            countsOnReturn_ = next && next != watched && !isPromptWindow(next);
        } else if (event->type() == QEvent::WindowActivate) {
            if (first_ || countsOnReturn_)
                handler_();
            first_ = false;
            countsOnReturn_ = false;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> handler_;
    bool first_ = true;
    bool countsOnReturn_ = false;
};

}  // namespace

void onActivate(QWidget* window, std::function<void()> handler) {
    window->installEventFilter(new ActivateFilter(window, std::move(handler)));
}

void onClick(QWidget* widget, std::function<void()> handler) {
    widget->setCursor(Qt::PointingHandCursor);
    widget->installEventFilter(new ClickFilter(widget, std::move(handler)));
}

void onLostFocus(QWidget* widget, std::function<void()> handler) {
    widget->installEventFilter(new LostFocusFilter(widget, std::move(handler)));
}

}  // namespace zs
