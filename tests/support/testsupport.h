#pragma once

#include "app/recordingdesktop.h"
#include "app/runstate.h"
#include "app/scriptedprompts.h"
#include "office/libreoffice.h"
#include "store/bank.h"
#include "support/testclock.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace zs::test {

// The real LibreOffice, started once per test program.
LibreOffice& office();
void shutdownOffice();

// A temporary folder that disappears with the object.
class TempFolder {
public:
    TempFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return QDir(dir_.path()).filePath(name); }

private:
    QTemporaryDir dir_;
};

// A temporary application folder with a fresh bank and an empty documents
// folder (no templates: tests that need them prepare the folder).
class TestApp {
public:
    TestApp();
    QString dir() const { return folder.path(); }
    QString bankPath() const;
    QString documents() const;
    // A run state over the real office, scripted prompts, a recording desktop
    // and the test clock.
    RunState& state();
    // Writes an empty file (a stand-in document) at the path.
    static void touch(const QString& path);

    TempFolder folder;
    TempFolder desktopFolder;
    ScriptedPrompts prompts;
    RecordingDesktop desktop;
    TestClock clock;

private:
    std::unique_ptr<RunState> state_;
};

}  // namespace zs::test
