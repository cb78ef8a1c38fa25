#include "ui/catalogue/Form_cshtmbh.h"

#include "app/runstate.h"
#include "store/textnumbers.h"
#include "ui/common/screens.h"
#include "ui_Form_cshtmbh.h"

#include <QCoreApplication>
#include <QTimer>

namespace zs {

Form_cshtmbh::Form_cshtmbh(RunState& state, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Form_cshtmbh>()), state_(state) {
    ui->setupUi(this);
    ui->Image_logo->setPixmap(QPixmap(QStringLiteral(":/zs/logo.png")));
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    setModal(true);
}

Form_cshtmbh::~Form_cshtmbh() = default;

void Form_cshtmbh::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!done_)
        QTimer::singleShot(0, this, &Form_cshtmbh::Form_Activate);
}

void Form_cshtmbh::Form_Activate() {
    if (done_)
        return;
    done_ = true;
    QCoreApplication::processEvents();
    // Question entry writes its documents in the shared word-processor instance.
    guarded(state_, [&] { state_.startSharedWordInstance(); });
    state_.resetBankPath();
    guarded(state_, [&] {
        result_ = refillNumberPool(
            state_.FreeNumberPool, state_.BankPath,
            [&](int slot) {
                ui->ProgressBar1->setValue(slot);
                ui->Label_WanChengBaiFenBi->setText(zeroPadded(2 * slot, 2) + u'%');
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            },
            state_.today());
    });
    if (!result_.message.isEmpty())
        state_.prompts.message(result_.message, Buttons::Ok, Icon::Exclamation);
    if (!result_.notice.isEmpty())
        state_.prompts.message(result_.notice, Buttons::Ok, Icon::Exclamation);
    accept();
}

}  // namespace zs
