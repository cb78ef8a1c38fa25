#pragma once

#include "app/runstate.h"
#include "doubles/formdriver.h"
#include "doubles/recordingdesktop.h"
#include "doubles/scriptedprompts.h"
#include "doubles/testclock.h"
#include "office/libreoffice.h"
#include "store/bank.h"

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

// Copies a folder with everything in it.
void copyFolder(const QString& from, const QString& to);

// A teacher's application folder in a temporary folder, with the run state the
// program makes at start over the real office, scripted prompts, a recording
// desktop and the test clock.
class TestApp {
public:
    static constexpr unsigned kSeed = 12345;

    // A fresh bank and an empty documents folder (no templates: tests that
    // need them prepare the folder).
    TestApp();
    // A copy of an application folder (a demo folder, say), the plan search
    // seeded with `seed`.
    explicit TestApp(const QString& copyOf, unsigned seed = kSeed);
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
    unsigned seed_ = kSeed;
    std::unique_ptr<RunState> state_;
};

}  // namespace zs::test
