#include "ui/common/widgetevents.h"

#include <QApplication>
#include <QFileDialog>
#include <QFocusEvent>
#include <QInputDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
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

// Drops the mouse press that is being delivered (the one that moved the
// focus). Its work is done with that press, or at the latest when the program
// is back in its event loop.
class DropCurrentPress : public QObject {
public:
    DropCurrentPress() {
        qApp->installEventFilter(this);
        QTimer::singleShot(0, this, &DropCurrentPress::finish);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (done_ || (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick))
            return false;
        finish();
        return true;
    }

private:
    void finish() {
        if (done_)
            return;
        done_ = true;
        qApp->removeEventFilter(this);
        deleteLater();
    }
    bool done_ = false;
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
        // A click moves the focus before the press reaches what was clicked.
        const bool clicking = reason == Qt::MouseFocusReason && QGuiApplication::mouseButtons() != Qt::NoButton;
        busy_ = true;
        handler_();
        busy_ = false;
        const bool refused = window && window->focusWidget() != going;
        if (refused && clicking)
            new DropCurrentPress;
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
