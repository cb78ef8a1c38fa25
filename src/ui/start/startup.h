#pragma once

#include "app/instancelock.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QApplication;

namespace zs {

class LibreOffice;
class Office;
class RunState;

// What every start does before a window is shown (the program's and the
// preparation's alike), in this order: take the lock of the application
// folder, remove the office profiles, paper-import split folders and office
// pipe files of killed programs, check an existing
// bank file, make the missing files of the folder, check the bank file and its
// six tables (which also rolls back what a killed program left unfinished in
// it), remove the documents of an import that was killed midway and the
// folder of a generation that was killed midway, see whether the documents of
// the bank's questions are there, and name the rows composition leaves out. The lock is held as
// long as this object lives.
class StartChecks {
public:
    explicit StartChecks(QString appDir);

    // Runs the checks; false when the program must not go on (refusal() says
    // why). The office writes the templates of a new folder.
    bool run(Office& office);

    // Why the start is refused, and the technical text behind it (if any).
    const QString& refusal() const { return refusal_; }
    const QString& refusalDetails() const { return refusalDetails_; }
    // Files of the folder that could not be made (the start goes on).
    const QString& preparationError() const { return preparationError_; }
    // What the teacher must know although the start goes on (documents lost).
    const QStringList& warnings() const { return warnings_; }
    // What the teacher is told once although nothing is wrong with the start
    // (what was cleaned up after a killed program, rows composition leaves
    // out), with the details behind each (empty when there are none).
    struct Notice {
        QString text;
        QString details;
    };
    const QVector<Notice>& notices() const { return notices_; }
    // The names of the files made, and the office profiles removed.
    const QStringList& created() const { return created_; }
    const QStringList& removedProfiles() const { return removedProfiles_; }
    // The paper-import split folders and office pipe files removed.
    const QStringList& removedLeftovers() const { return removedLeftovers_; }

    // Where the office profiles and the paper imports' folders are looked for,
    // and the office's pipe files (tests point them elsewhere).
    QString tempFolder;
    QString pipeFolder = QStringLiteral("/tmp");

private:
    bool refuse(const QString& message, const QString& details = {});

    QString appDir_;
    AppFolderLock lock_;
    QString refusal_;
    QString refusalDetails_;
    QString preparationError_;
    QStringList warnings_;
    QVector<Notice> notices_;
    QStringList created_;
    QStringList removedProfiles_;
    QStringList removedLeftovers_;
};

// Loads Qt's own Chinese texts (file dialogs, context menus, standard
// buttons) from the Qt translations installed with the program's package;
// false when they are not there (the dialogs then stay in English).
bool installQtTranslations();

// Prepares the application folder and runs the program's screens until the
// teacher ends it: the splash screen, the login, the main menu.
int runProgram(QApplication& app, const QString& appDir, LibreOffice& office);

}  // namespace zs
