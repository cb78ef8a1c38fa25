#include "doubles/scriptedprompts.h"

namespace zs {

namespace {

Answer defaultAnswer(Buttons buttons, int defaultButton) {
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkCancel:
        return defaultButton == 1 ? Answer::Cancel : Answer::Ok;
    case Buttons::YesNo:
        return defaultButton == 1 ? Answer::No : Answer::Yes;
    case Buttons::YesNoCancel:
        return defaultButton == 1 ? Answer::No : defaultButton == 2 ? Answer::Cancel : Answer::Yes;
    }
    return Answer::Ok;
}

PromptRecord fileDialog(PromptRecord::Kind kind, const QString& filter, const QString& title) {
    PromptRecord r;
    r.kind = kind;
    r.text = r.title = title;
    r.filter = filter;
    return r;
}

}  // namespace

Answer ScriptedPrompts::message(const QString& text, Buttons buttons, Icon icon, const QString& title,
                                int defaultButton) {
    PromptRecord r;
    r.kind = PromptRecord::Kind::Message;
    r.text = text;
    r.title = title.isEmpty() ? kAppTitle : title;
    r.buttons = buttons;
    r.icon = icon;
    r.defaultButton = defaultButton;
    records_ << r;
    if (onPrompt)
        onPrompt(r);
    if (buttons == Buttons::Ok || answers_.isEmpty())
        return defaultAnswer(buttons, defaultButton);
    return answers_.dequeue();
}

Answer ScriptedPrompts::messageWithDetails(const QString& text, const QString& details, Icon icon,
                                           const QString& title) {
    PromptRecord r;
    r.kind = PromptRecord::Kind::Message;
    r.text = text;
    r.title = title.isEmpty() ? kAppTitle : title;
    r.icon = icon;
    r.details = details;
    records_ << r;
    if (onPrompt)
        onPrompt(r);
    return Answer::Ok;
}

QString ScriptedPrompts::nextText() {
    return texts_.isEmpty() ? QString() : texts_.dequeue();
}

QString ScriptedPrompts::askText(PromptRecord record) {
    records_ << record;
    if (onPrompt)
        onPrompt(record);
    return nextText();
}

QString ScriptedPrompts::input(const QString& prompt, const QString& title, const QString& defaultText) {
    PromptRecord r;
    r.kind = PromptRecord::Kind::Input;
    r.text = prompt;
    r.title = title.isEmpty() ? kAppTitle : title;
    r.defaultText = defaultText;
    return askText(r);
}

QString ScriptedPrompts::openFile(const QString& filter, const QString& title) {
    return askText(fileDialog(PromptRecord::Kind::OpenFile, filter, title));
}

QStringList ScriptedPrompts::openFiles(const QString& filter, const QString& title) {
    return askText(fileDialog(PromptRecord::Kind::OpenFile, filter, title)).split(u'\n', Qt::SkipEmptyParts);
}

QString ScriptedPrompts::saveFile(const QString& filter, const QString& title) {
    return askText(fileDialog(PromptRecord::Kind::SaveFile, filter, title));
}

QString ScriptedPrompts::chooseFolder(const QString& prompt) {
    PromptRecord r;
    r.kind = PromptRecord::Kind::Folder;
    r.text = r.title = prompt;
    return askText(r);
}

QStringList ScriptedPrompts::messages() const {
    QStringList out;
    for (const PromptRecord& r : records_)
        if (r.kind == PromptRecord::Kind::Message)
            out << r.text;
    return out;
}

QString ScriptedPrompts::lastMessage() const {
    const QStringList all = messages();
    return all.isEmpty() ? QString() : all.last();
}

void ScriptedPrompts::clear() {
    records_.clear();
    answers_.clear();
    texts_.clear();
}

}  // namespace zs
