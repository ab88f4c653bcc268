// GoogleTest's main with the QApplication every Qt test needs. The tests run
// on the offscreen platform (QT_QPA_PLATFORM=offscreen, set by CTest).
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
