#pragma once

#include <QString>
#include <QStringList>

namespace zs {

// The title of message boxes that name no other.
inline const QString kAppTitle = QStringLiteral("琢石-试题库");

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Question, Exclamation, Information, Critical };
enum class Answer { Ok, Cancel, Yes, No };

// Every message box, question, input box and file or folder dialog of the
// program goes through this interface. Texts use character 13 ("\r") as the
// line break; an empty title means the application's title.
class Prompts {
public:
    virtual ~Prompts() = default;

    // `defaultButton` counts from 0 in the order of `buttons` (Yes, No, Cancel).
    virtual Answer message(const QString& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                           const QString& title = {}, int defaultButton = 0) = 0;
    // Text-input box; a cancelled box gives an empty text.
    virtual QString input(const QString& prompt, const QString& title = {}, const QString& defaultText = {}) = 0;
    // File dialogs with a filter written "描述|*.a;*.b"; empty text on cancel.
    virtual QString openFile(const QString& filter, const QString& title = {}) = 0;
    virtual QString saveFile(const QString& filter, const QString& title = {}) = 0;
    // Several files at once; none on cancel.
    virtual QStringList openFiles(const QString& filter, const QString& title = {}) {
        const QString file = openFile(filter, title);
        return file.isEmpty() ? QStringList() : QStringList{file};
    }
    // Folder dialog with the prompt as its title; empty text on cancel.
    virtual QString chooseFolder(const QString& prompt) = 0;

    // A message with an OK button and a "详细信息" part holding the technical
    // text behind it (statements, the database's own words), shown on request.
    // Where no details can be shown it is an ordinary message.
    virtual Answer messageWithDetails(const QString& text, [[maybe_unused]] const QString& details,
                                      Icon icon = Icon::Critical, const QString& title = {}) {
        return message(text, Buttons::Ok, icon, title, 0);
    }

    // Shorthand for a message with an OK button.
    void show(const QString& text, const QString& title = {}) { message(text, Buttons::Ok, Icon::None, title); }
};

}  // namespace zs
