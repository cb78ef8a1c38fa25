// Which application folder a start without --app-dir uses: a portable copy
// keeps its own folder, an installed program the folder in the teacher's home.

#include "app/appfolder.h"
#include "store/bank.h"
#include "store/paths.h"
#include "support/testsupport.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace zs;

TEST(DefaultDir, APortableCopyKeepsItsOwnFolderAndAnInstalledProgramUsesTheHome) {
    test::TempFolder portable, home;
    const QString inHome = QDir(home.path()).filePath("琢石-试题库");

    // A folder the program may write: the portable copy's own.
    EXPECT_EQ(AppFolder::defaultDir(portable.path(), home.path()), portable.path());

    // The system's program folders never get a bank, even when the program
    // runs as root and could write there.
    for (const char* installed : {"/usr/bin", "/usr/local/bin", "/usr/lib/zhuoshi-tiku", "/usr/bin/../bin"})
        EXPECT_EQ(AppFolder::defaultDir(installed, home.path()), inHome) << installed;

    // A folder that is not there (or cannot be written) is no place for a bank.
    EXPECT_EQ(AppFolder::defaultDir(portable.file("gone"), home.path()), inHome);

    // A folder that holds a bank is used whatever it is.
    test::TempFolder withBank;
    Bank::create(withBank.file(kBankFileName));
    EXPECT_EQ(AppFolder::defaultDir(withBank.path(), home.path()), withBank.path());
}
