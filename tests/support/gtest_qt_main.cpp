// gtest main for tests of the non-widget code: a QCoreApplication exists, settings are
// isolated from the user's own.
#include <QCoreApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("Corvantis");
    QCoreApplication::setApplicationName("Vantrel");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
