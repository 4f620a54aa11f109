// Test entry point: one QApplication for the whole program, so widget and
// engine tests can create windows and run the event loop. Unit and window
// tests never need a display: they run on the offscreen platform unless the
// caller chose another.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
