// Entry point of the registration run's tests: the run's timer and the lines' notifications need
// an event loop's application object, without a screen.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
