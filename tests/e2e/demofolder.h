#pragma once

// A demo application folder made once per test program, and fresh copies of it
// for each test, with a run state as the program makes at start.

#include "app/recordingdesktop.h"
#include "app/runstate.h"
#include "app/scriptedprompts.h"
#include "support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <memory>

namespace zs::test {

// Copies a folder with everything in it.
inline void copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(source));
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(source, target);
    }
}

// One teacher's application folder: a copy of a demo folder (or a fresh
// prepared one), scripted prompts, a desktop of its own, and the run state.
class TeacherApp {
public:
    explicit TeacherApp(const QString& copyOf = {}) {
        if (!copyOf.isEmpty())
            copyFolder(copyOf, folder.path());
        desktop.setDesktopFolder(desktopFolder.path());
        state = std::make_unique<RunState>(folder.path(), prompts, office(), desktop);
        state->seedRandom(20261208);
        state->documentPreviews = false;
        state->setClock(clock);
    }
    QString dir() const { return folder.path(); }
    QString bankPath() const { return folder.file("试题库.mdb"); }

    TempFolder folder;
    TempFolder desktopFolder;
    ScriptedPrompts prompts;
    RecordingDesktop desktop;
    TestClock clock;
    std::unique_ptr<RunState> state;
};

}  // namespace zs::test
