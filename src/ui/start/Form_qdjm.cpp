#include "ui/start/Form_qdjm.h"

#include "app/runstate.h"
#include "store/paths.h"
#include "ui/common/screens.h"
#include "ui/start/Form_yhdl.h"
#include "ui_Form_qdjm.h"

#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>

namespace zs {

Form_qdjm::Form_qdjm(RunState& state, QWidget* parent)
    : QDialog(parent), Timer1(new QTimer(this)), state_(state), ui(std::make_unique<Ui::Form_qdjm>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    // A splash window does not keep a program running by itself; this one does
    // (after logging out it is the only screen).
    setAttribute(Qt::WA_QuitOnClose, true);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(7000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &Form_qdjm::Timer1_Timer);
    Form_Load();
}

Form_qdjm::~Form_qdjm() = default;

Form_qdjm* Form_qdjm::showNew(RunState& state) {
    state.showSplashScreen = [&state] { showNew(state); };
    auto* splash = new Form_qdjm(state);
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    return splash;
}

void Form_qdjm::Form_Load() {
    // The start-up picture of the application folder; without it the product
    // name stands alone.
    const QPixmap picture(state_.appFile(kSplashPictureName));
    if (!picture.isNull()) {
        ui->ShockwaveFlash1->setStyleSheet(QString());
        ui->ShockwaveFlash1->setMinimumSize(picture.size());
        ui->ShockwaveFlash1->setPixmap(picture);
    }
    adjustSize();
    setFixedSize(size());
    centreOnScreen(*this);
}

void Form_qdjm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!Timer1->isActive())
        Timer1->start();
}

void Form_qdjm::keyPressEvent(QKeyEvent* event) {
    // The splash screen cannot be skipped or closed by the keyboard.
    event->accept();
}

void Form_qdjm::Timer1_Timer() {
    Timer1->stop();
    Form_yhdl::showNew(state_);
    close();
}

}  // namespace zs
