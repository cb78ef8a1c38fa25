#pragma once

#include <QObject>
#include <QString>

class QComboBox;
class QListWidget;
#include <QStringList>

namespace zs {

// The control of a form by object name. A form's .ui file always has the
// controls its code names; a missing one is a fault of the program, which
// then stops naming the control (in every build, not only with assertions).
template <typename T> T* formControl(const QObject* form, const QString& name) {
    T* found = form->findChild<T*>(name);
    if (!found)
        qFatal("%s has no control %s", form->metaObject()->className(), qPrintable(name));
    return found;
}

// Combo boxes show their caption word (their placeholder, such as "题型") as the
// value that means nothing is chosen.
QString comboText(const QComboBox* combo);
// Shows `text`: the caption word clears the choice; another text selects its
// item (added at the end when the list lacks it).
void setComboText(QComboBox* combo, const QString& text);
// Fills a combo with values, nothing chosen.
void fillCombo(QComboBox* combo, const QStringList& values);

void fillList(QListWidget* list, const QStringList& values);

}  // namespace zs
