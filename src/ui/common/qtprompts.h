#pragma once

#include "app/prompts.h"

namespace zs {

// Real dialogs, with the application's title unless another is given.
class QtPrompts : public Prompts {
public:
    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title, int defaultButton) override;
    Answer messageWithDetails(const QString& text, const QString& details, Icon icon, const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const QString& filter, const QString& title) override;
    QString saveFile(const QString& filter, const QString& title) override;
    QStringList openFiles(const QString& filter, const QString& title) override;
    QString chooseFolder(const QString& prompt) override;

    // "描述|*.a;*.b" → "描述 (*.a *.b)"
    static QString qtFilter(const QString& filter);
    // Character 13 is the line break of the program's texts.
    static QString displayText(const QString& text);

private:
    Answer showBox(const QString& text, const QString& details, Buttons buttons, Icon icon, const QString& title,
                   int defaultButton);
};

}  // namespace zs
