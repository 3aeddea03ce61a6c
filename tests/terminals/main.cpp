// Entry point of the tests of the terminals that use timers and the lines' notifications: they need
// an event loop's application object, without a screen.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
