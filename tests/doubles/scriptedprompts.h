#pragma once

#include "app/prompts.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

namespace zs {

// One prompt as the program put it to the teacher.
struct PromptRecord {
    enum class Kind { Message, Input, OpenFile, SaveFile, Folder };
    Kind kind = Kind::Message;
    QString text;  // message text, input prompt, dialog title or folder prompt
    QString title;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    int defaultButton = 0;
    QString defaultText;  // input boxes
    QString filter;       // file dialogs
    QString details;      // the "详细信息" part of a message
};

// Stands in for the person at the keyboard: records every prompt and answers
// from a script. Messages with only an OK button are answered OK without
// taking from the script; questions take the next scripted answer (or, when
// none is left, their default button); input boxes and dialogs take the next
// scripted text (or cancel when none is left).
class ScriptedPrompts : public Prompts {
public:
    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title, int defaultButton) override;
    Answer messageWithDetails(const QString& text, const QString& details, Icon icon, const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const QString& filter, const QString& title) override;
    QString saveFile(const QString& filter, const QString& title) override;
    // The typed text names the files one per line.
    QStringList openFiles(const QString& filter, const QString& title) override;
    QString chooseFolder(const QString& prompt) override;

    void answer(Answer a) { answers_.enqueue(a); }
    void type(const QString& text) { texts_.enqueue(text); }
    // The next input box or dialog is cancelled.
    void cancel() { texts_.enqueue(QString()); }

    const QList<PromptRecord>& records() const { return records_; }
    QStringList messages() const;  // texts of the message boxes, in order
    QString lastMessage() const;
    void clear();
    bool scriptUsedUp() const { return answers_.isEmpty() && texts_.isEmpty(); }

    // Called for every prompt before it is answered (for tests that act while a
    // prompt is open).
    std::function<void(const PromptRecord&)> onPrompt;

private:
    QString nextText();
    // Notes a prompt that is answered with a text, and answers it.
    QString askText(PromptRecord record);
    QList<PromptRecord> records_;
    QQueue<Answer> answers_;
    QQueue<QString> texts_;
};

}  // namespace zs
