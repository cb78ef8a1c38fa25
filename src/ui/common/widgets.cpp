#include "ui/common/widgets.h"

#include <QComboBox>
#include <QListWidget>
#include <QStringList>

namespace zs {

QString comboText(const QComboBox* combo) {
    return combo->currentIndex() < 0 ? combo->placeholderText() : combo->currentText();
}

void setComboText(QComboBox* combo, const QString& text) {
    if (text == combo->placeholderText() && combo->findText(text) < 0) {
        combo->setCurrentIndex(-1);
        return;
    }
    int index = combo->findText(text);
    if (index < 0) {
        combo->addItem(text);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}

void fillCombo(QComboBox* combo, const QStringList& values) {
    combo->clear();
    combo->addItems(values);
    combo->setCurrentIndex(-1);
}

void fillList(QListWidget* list, const QStringList& values) {
    list->clear();
    list->addItems(values);
}

}  // namespace zs
