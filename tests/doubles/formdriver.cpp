#include "doubles/formdriver.h"

#include "app/runstate.h"
#include "ui/common/scopetreewidget.h"
#include "ui/common/widgets.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMetaObject>
#include <QTimer>
#include <QTreeWidgetItem>

namespace zs::test {

namespace {
std::function<void(const QString&)>& reporter() {
    static std::function<void(const QString&)> report;
    return report;
}
}  // namespace

void setMissingControlReporter(std::function<void(const QString& message)> report) {
    reporter() = std::move(report);
}

void reportMissingControl(const QString& message) {
    if (reporter())
        reporter()(message);
    throw MissingControl(message.toStdString());
}

QString screenName(const QObject& screen) {
    return screen.objectName().isEmpty() ? QString::fromLatin1(screen.metaObject()->className()) : screen.objectName();
}

void tick(ScopeTreeWidget* tree, const QString& path, bool on) {
    const int node = tree->model().findByPath(path);
    if (node < 0)
        reportMissingControl(QStringLiteral("no node %1 in %2").arg(path, screenName(*tree)));
    tree->selectNode(node);
    tree->itemOf(node)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

void fire(QTimer& timer) {
    QMetaObject::invokeMethod(&timer, "timeout", Qt::DirectConnection);
}

void FormDriver::click(const QString& button) const {
    control<QAbstractButton>(button)->click();
}

void FormDriver::type(const QString& textBox, const QString& text) const {
    control<QLineEdit>(textBox)->setText(text);
}

void FormDriver::choose(const QString& combo, const QString& text) const {
    setComboText(control<QComboBox>(combo), text);
}

void FormDriver::tick(const QString& tree, const QString& path, bool on) const {
    test::tick(control<ScopeTreeWidget>(tree), path, on);
}

ModalScreens::ModalScreens(RunState& state) : state_(state), previous_(state.modalHook) {
    state_.modalHook = [this](QObject* screen) {
        shown_ << QString::fromLatin1(screen->metaObject()->className());
        for (const auto& handler : handlers_)
            if (handler(screen))
                return;
    };
}

ModalScreens::~ModalScreens() {
    state_.modalHook = previous_;
}

}  // namespace zs::test
