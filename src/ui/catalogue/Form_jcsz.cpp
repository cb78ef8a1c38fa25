#include "ui/catalogue/Form_jcsz.h"

#include "app/runstate.h"
#include "ui/common/screens.h"
#include "ui_Form_jcsz.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>

namespace zs {

Form_jcsz::Form_jcsz(RunState& state, QWidget* parent)
    : QDialog(parent), state_(state), catalogue_(state), ui(std::make_unique<Ui::Form_jcsz>()) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    // On a small screen (1366×768) the window keeps inside it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(qMax(minimumWidth(), qMin(width(), area.width() - 20)),
               qMax(minimumHeight(), qMin(height(), area.height() - 60)));
    }
    lists_ = {ui->List_km, ui->List_jcbb, ui->List_nj, ui->List_sxc, ui->List_z, ui->List_j, ui->List_zsd};
    for (QListWidget* list : lists_)
        list->setTextElideMode(Qt::ElideNone);
    QFont caption = ui->Label_km->font();
    caption.setBold(true);
    for (QLabel* label :
         {ui->Label_km, ui->Label_jcbb, ui->Label_nj, ui->Label_sxc, ui->Label_z, ui->Label_j, ui->Label_zsd})
        label->setFont(caption);

    connect(ui->List_km, &QListWidget::currentRowChanged, this, &Form_jcsz::List_km_Click);
    connect(ui->List_jcbb, &QListWidget::currentRowChanged, this, &Form_jcsz::List_jcbb_Click);
    connect(ui->List_nj, &QListWidget::currentRowChanged, this, &Form_jcsz::List_nj_Click);
    connect(ui->List_sxc, &QListWidget::currentRowChanged, this, &Form_jcsz::List_sxc_Click);
    connect(ui->List_z, &QListWidget::currentRowChanged, this, &Form_jcsz::List_z_Click);
    connect(ui->List_j, &QListWidget::currentRowChanged, this, &Form_jcsz::List_j_Click);
    connect(ui->List_zsd, &QListWidget::currentRowChanged, this, &Form_jcsz::List_zsd_Click);

    connect(ui->Command_zjkm, &QPushButton::clicked, this, &Form_jcsz::Command_zjkm_Click);
    connect(ui->Command_zjjcbb, &QPushButton::clicked, this, &Form_jcsz::Command_zjjcbb_Click);
    connect(ui->Command_zjnj, &QPushButton::clicked, this, &Form_jcsz::Command_zjnj_Click);
    connect(ui->Command_zjsxc, &QPushButton::clicked, this, &Form_jcsz::Command_zjsxc_Click);
    connect(ui->Command_zjz, &QPushButton::clicked, this, &Form_jcsz::Command_zjz_Click);
    connect(ui->Command_zjj, &QPushButton::clicked, this, &Form_jcsz::Command_zjj_Click);
    connect(ui->Command_zjzsd, &QPushButton::clicked, this, &Form_jcsz::Command_zjzsd_Click);

    connect(ui->Command_ggkm, &QPushButton::clicked, this, &Form_jcsz::Command_ggkm_Click);
    connect(ui->Command_ggjcbb, &QPushButton::clicked, this, &Form_jcsz::Command_ggjcbb_Click);
    connect(ui->Command_ggnj, &QPushButton::clicked, this, &Form_jcsz::Command_ggnj_Click);
    connect(ui->Command_ggsxc, &QPushButton::clicked, this, &Form_jcsz::Command_ggsxc_Click);
    connect(ui->Command_ggz, &QPushButton::clicked, this, &Form_jcsz::Command_ggz_Click);
    connect(ui->Command_ggj, &QPushButton::clicked, this, &Form_jcsz::Command_ggj_Click);
    connect(ui->Command_ggzsd, &QPushButton::clicked, this, &Form_jcsz::Command_ggzsd_Click);

    connect(ui->Command_sckm, &QPushButton::clicked, this, &Form_jcsz::Command_sckm_Click);
    connect(ui->Command_scjcbb, &QPushButton::clicked, this, &Form_jcsz::Command_scjcbb_Click);
    connect(ui->Command_scnj, &QPushButton::clicked, this, &Form_jcsz::Command_scnj_Click);
    connect(ui->Command_scsxc, &QPushButton::clicked, this, &Form_jcsz::Command_scsxc_Click);
    connect(ui->Command_scz, &QPushButton::clicked, this, &Form_jcsz::Command_scz_Click);
    connect(ui->Command_scj, &QPushButton::clicked, this, &Form_jcsz::Command_scj_Click);
    connect(ui->Command_sczsd, &QPushButton::clicked, this, &Form_jcsz::Command_sczsd_Click);

    connect(ui->Command_dkwbjc, &QPushButton::clicked, this, &Form_jcsz::Command_dkwbjc_Click);
    connect(ui->Command_fhzjm, &QPushButton::clicked, this, &Form_jcsz::Command_fhzjm_Click);

    Form_Load();
}

Form_jcsz::~Form_jcsz() = default;

void Form_jcsz::Form_Load() {
    guarded(state_, [&] { catalogue_.load(); });
    showBankPath();
    showLists();
}

void Form_jcsz::run(const std::function<void()>& work) {
    guarded(state_, work);
    showLists();
}

void Form_jcsz::listClicked(int level) {
    const int row = lists_[level]->currentRow();
    run([&] { catalogue_.click(level, row); });
}

void Form_jcsz::showLists() {
    for (int level = 0; level < kCatalogueLevels; ++level) {
        QListWidget* list = lists_[level];
        const QSignalBlocker blocker(list);
        const QStringList& items = catalogue_.items(level);
        if (items != shown_[level] || list->count() != items.size()) {
            list->clear();
            list->addItems(items);
            for (int i = 0; i < list->count(); ++i)  // long names can be read without scrolling
                list->item(i)->setToolTip(items[i]);
            shown_[level] = items;
        }
        const int row = catalogue_.selectedRow(level);
        list->setCurrentRow(row);
        if (row < 0)
            list->clearSelection();
        else
            list->scrollToItem(list->item(row));
    }
}

void Form_jcsz::showBankPath() {
    const QString path = QDir::toNativeSeparators(catalogue_.bankPath());
    ui->Label3->setText(cataloguePathLabel(path));
    ui->Label3->setToolTip(path);
}

void Form_jcsz::List_km_Click() {
    listClicked(0);
}
void Form_jcsz::List_jcbb_Click() {
    listClicked(1);
}
void Form_jcsz::List_nj_Click() {
    listClicked(2);
}
void Form_jcsz::List_sxc_Click() {
    listClicked(3);
}
void Form_jcsz::List_z_Click() {
    listClicked(4);
}
void Form_jcsz::List_j_Click() {
    listClicked(5);
}
void Form_jcsz::List_zsd_Click() {
    listClicked(6);
}

void Form_jcsz::Command_zjkm_Click() {
    run([&] { catalogue_.add(0); });
}
void Form_jcsz::Command_zjjcbb_Click() {
    run([&] { catalogue_.add(1); });
}
void Form_jcsz::Command_zjnj_Click() {
    run([&] { catalogue_.add(2); });
}
void Form_jcsz::Command_zjsxc_Click() {
    run([&] { catalogue_.add(3); });
}
void Form_jcsz::Command_zjz_Click() {
    run([&] { catalogue_.add(4); });
}
void Form_jcsz::Command_zjj_Click() {
    run([&] { catalogue_.add(5); });
}
void Form_jcsz::Command_zjzsd_Click() {
    run([&] { catalogue_.add(6); });
}

void Form_jcsz::Command_ggkm_Click() {
    run([&] { catalogue_.change(0); });
}
void Form_jcsz::Command_ggjcbb_Click() {
    run([&] { catalogue_.change(1); });
}
void Form_jcsz::Command_ggnj_Click() {
    run([&] { catalogue_.change(2); });
}
void Form_jcsz::Command_ggsxc_Click() {
    run([&] { catalogue_.change(3); });
}
void Form_jcsz::Command_ggz_Click() {
    run([&] { catalogue_.change(4); });
}
void Form_jcsz::Command_ggj_Click() {
    run([&] { catalogue_.change(5); });
}
void Form_jcsz::Command_ggzsd_Click() {
    run([&] { catalogue_.change(6); });
}

void Form_jcsz::Command_sckm_Click() {
    run([&] { catalogue_.remove(0); });
}
void Form_jcsz::Command_scjcbb_Click() {
    run([&] { catalogue_.remove(1); });
}
void Form_jcsz::Command_scnj_Click() {
    run([&] { catalogue_.remove(2); });
}
void Form_jcsz::Command_scsxc_Click() {
    run([&] { catalogue_.remove(3); });
}
void Form_jcsz::Command_scz_Click() {
    run([&] { catalogue_.remove(4); });
}
void Form_jcsz::Command_scj_Click() {
    run([&] { catalogue_.remove(5); });
}
void Form_jcsz::Command_sczsd_Click() {
    run([&] { catalogue_.remove(6); });
}

void Form_jcsz::Command_dkwbjc_Click() {
    run([&] { catalogue_.openOtherBank(); });
    showBankPath();
}

void Form_jcsz::Command_fhzjm_Click() {
    close();
}

}  // namespace zs
