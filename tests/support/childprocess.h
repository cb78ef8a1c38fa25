#pragma once

// What the tests that run the program and its workers as real processes share.

#include <QProcessEnvironment>
#include <QString>

namespace zs::test {

// A child's environment: offscreen, with the test's own temporary folder
// (where its office profile is made) and, when `pauseAt` names one, the pause
// point where it waits to be killed.
QProcessEnvironment childEnvironment(const QString& temp, const QString& pauseAt = {});

}  // namespace zs::test
