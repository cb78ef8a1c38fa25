#include "support/childprocess.h"

namespace zs::test {

QProcessEnvironment childEnvironment(const QString& temp, const QString& pauseAt) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TMPDIR", temp);
    if (!pauseAt.isEmpty())
        env.insert("ZHUOSHI_PAUSE_AT", pauseAt);
    return env;
}

}  // namespace zs::test
