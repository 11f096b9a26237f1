#include <QCoreApplication>

#include <gtest/gtest.h>

// The link hands reports to the user-interface thread through the event loop, so the tests run
// with a QCoreApplication.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
