#include "ui/common/qtprompts.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

namespace zs {

namespace {

// A box always has a visible window of the program as its parent. Without one
// (no window active: the office or another program has the focus) Qt takes the
// box for the last window when it closes while the main menu waits hidden
// behind a screen, and ends the whole program.
QWidget* dialogParent() {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w->isVisible() && w->isWindow() && qobject_cast<QDialog*>(w))
            return w;
    for (QWidget* w : windows)
        if (w->isVisible() && w->isWindow())
            return w;
    return nullptr;
}

QString titleOr(const QString& title) {
    return title.isEmpty() ? kAppTitle : title;
}

// The captions of the message box's own details button, in Chinese whatever
// translations are installed.
class MessageBoxCaptions : public QTranslator {
public:
    MessageBoxCaptions() { QCoreApplication::installTranslator(this); }
    ~MessageBoxCaptions() override {
        if (QCoreApplication::instance())
            QCoreApplication::removeTranslator(this);
    }
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char*, int) const override {
        if (qstrcmp(context, "QMessageBox") != 0)
            return {};
        if (qstrcmp(sourceText, "Show Details...") == 0)
            return QStringLiteral("详细信息…");
        if (qstrcmp(sourceText, "Hide Details...") == 0)
            return QStringLiteral("隐藏详细信息");
        return {};
    }
};

}  // namespace

QString QtPrompts::displayText(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    return s;
}

QString QtPrompts::qtFilter(const QString& filter) {
    // Already in Qt's own form ("名称 (*.a *.b)", entries joined by ";;"):
    // taken as it stands rather than read as pairs it has none of.
    if (!filter.contains(u'|'))
        return filter;
    QStringList out;
    const QStringList parts = filter.split(u'|');
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        patterns.removeDuplicates();
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(u' '));
    }
    return out.join(QStringLiteral(";;"));
}

Answer QtPrompts::message(const QString& text, Buttons buttons, Icon icon, const QString& title, int defaultButton) {
    return showBox(text, {}, buttons, icon, title, defaultButton);
}

Answer QtPrompts::messageWithDetails(const QString& text, const QString& details, Icon icon, const QString& title) {
    return showBox(text, details, Buttons::Ok, icon, title, 0);
}

Answer QtPrompts::showBox(const QString& text, const QString& details, Buttons buttons, Icon icon, const QString& title,
                          int defaultButton) {
    static MessageBoxCaptions captions;
    QMessageBox box(dialogParent());
    box.setWindowTitle(titleOr(title));
    box.setText(displayText(text));
    if (!details.isEmpty())
        box.setDetailedText(displayText(details));
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    QList<QPair<QAbstractButton*, Answer>> map;
    auto add = [&](const QString& caption, QMessageBox::ButtonRole role, Answer a) {
        map << qMakePair(static_cast<QAbstractButton*>(box.addButton(caption, role)), a);
    };
    switch (buttons) {
    case Buttons::Ok:
        add(QStringLiteral("确定"), QMessageBox::AcceptRole, Answer::Ok);
        break;
    case Buttons::OkCancel:
        add(QStringLiteral("确定"), QMessageBox::AcceptRole, Answer::Ok);
        add(QStringLiteral("取消"), QMessageBox::RejectRole, Answer::Cancel);
        break;
    case Buttons::YesNo:
        add(QStringLiteral("是(&Y)"), QMessageBox::YesRole, Answer::Yes);
        add(QStringLiteral("否(&N)"), QMessageBox::NoRole, Answer::No);
        break;
    case Buttons::YesNoCancel:
        add(QStringLiteral("是(&Y)"), QMessageBox::YesRole, Answer::Yes);
        add(QStringLiteral("否(&N)"), QMessageBox::NoRole, Answer::No);
        add(QStringLiteral("取消"), QMessageBox::RejectRole, Answer::Cancel);
        break;
    }
    if (defaultButton >= 0 && defaultButton < map.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(map[defaultButton].first));
    if (buttons == Buttons::YesNo)
        box.setEscapeButton(map[1].first);
    box.exec();
    for (const auto& [button, answer] : map)
        if (box.clickedButton() == button)
            return answer;
    return buttons == Buttons::Ok ? Answer::Ok : buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

QString QtPrompts::input(const QString& prompt, const QString& title, const QString& defaultText) {
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(titleOr(title));
    dialog.setLabelText(displayText(prompt));
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("确定"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    dialog.resize(qMax(dialog.sizeHint().width(), 380), dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

QStringList QtPrompts::openFiles(const QString& filter, const QString& title) {
    return QFileDialog::getOpenFileNames(dialogParent(), title.isEmpty() ? QStringLiteral("打开") : title, QString(),
                                         qtFilter(filter));
}

QString QtPrompts::openFile(const QString& filter, const QString& title) {
    return QFileDialog::getOpenFileName(dialogParent(), title.isEmpty() ? QStringLiteral("打开") : title, QString(),
                                        qtFilter(filter));
}

QString QtPrompts::saveFile(const QString& filter, const QString& title) {
    return QFileDialog::getSaveFileName(dialogParent(), title.isEmpty() ? QStringLiteral("另存为") : title, QString(),
                                        qtFilter(filter));
}

QString QtPrompts::chooseFolder(const QString& prompt) {
    return QFileDialog::getExistingDirectory(dialogParent(),
                                             prompt.isEmpty() ? QStringLiteral("选择一个文件夹:") : prompt);
}

}  // namespace zs
