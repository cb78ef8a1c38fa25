#pragma once

#include <QString>

class QApplication;

namespace zs {

class LibreOffice;
class RunState;

// Prepares the application folder and runs the program's screens until the
// teacher ends it: the splash screen, the login, the main menu.
int runProgram(QApplication& app, const QString& appDir, LibreOffice& office);

// Ends the program at once ("退出程序", the login's "取  消"): every screen
// goes away and the program's event loops end; the office process ends with
// the program.
void endProgram(RunState& state);

}  // namespace zs
