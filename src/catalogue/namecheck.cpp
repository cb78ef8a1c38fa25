#include "catalogue/namecheck.h"

#include "store/textnumbers.h"

namespace zs {

QString nameFormatMessage() {
    return QStringLiteral("输入的名称格式不正确！\r正确的格式应该为：#-********\r其中#代表数字，*代表文字");
}

QString nameProblem(const QString& name) {
    if (name.isEmpty())
        return kEmptyNameMessage;
    const qsizetype dash = name.indexOf(u'-');
    if (dash < 0 || !isNumericText(name.left(dash)))
        return nameFormatMessage();
    return {};
}

}  // namespace zs
