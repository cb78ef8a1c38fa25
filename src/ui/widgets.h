#pragma once

#include <QString>

class QComboBox;
class QListWidget;
#include <QStringList>

namespace zs {

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
