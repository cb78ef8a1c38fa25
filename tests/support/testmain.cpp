// Main of every test program: a QApplication (offscreen) around GoogleTest,
// and the shared office process and private PostgreSQL cluster ended at the close.

#include "support/pgcluster.h"
#include "support/testsupport.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // A control a test looks for and does not find fails the test by its name.
    zs::test::setMissingControlReporter([](const QString& message) { ADD_FAILURE() << message.toStdString(); });
    const int result = RUN_ALL_TESTS();
    zs::test::shutdownOffice();
    zs::test::PostgresCluster::shutdown();
    return result;
}
