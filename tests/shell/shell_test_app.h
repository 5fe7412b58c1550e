#pragma once
// One QApplication for the whole test program, on the offscreen platform
// unless the environment names another; pixels of painted images.
#include <QApplication>
#include <QImage>
#include <QStandardPaths>

#include "definitions/definition_tables.h"

namespace mw::test {

inline QApplication& EnsureApp() {
    static int argc = 1;
    static char name[] = "test_shell";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings go to a test-only place, never the user's own.
    QStandardPaths::setTestModeEnabled(true);
    static QApplication* app = new QApplication(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("MarlwickTest"));
    QApplication::setApplicationName(QStringLiteral("test_shell"));
    return *app;
}

// A pixel's colour without its alpha.
inline QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
// A colour as Px gives it.
inline QRgb Rgb32(Rgb c) { return (static_cast<QRgb>(c.r) << 16) | (c.g << 8) | c.b; }

}  // namespace mw::test
