#pragma once
// One QApplication for the whole test program, on the offscreen platform
// unless the environment names another.
#include <QApplication>

namespace mw::test {

inline QApplication& EnsureApp() {
    static int argc = 1;
    static char name[] = "test_shell";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace mw::test
