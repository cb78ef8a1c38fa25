#pragma once

#include <QString>

class QApplication;

namespace zs {

class LibreOffice;

// Prepares the application folder and runs the program's screens until the
// teacher ends it: the splash screen, the login, the main menu.
int runProgram(QApplication& app, const QString& appDir, LibreOffice& office);

}  // namespace zs
