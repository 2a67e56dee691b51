#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QtGlobal>

// Widget tests need a QApplication before the first widget is built. Including this header registers a
// GoogleTest environment that creates one (offscreen unless a platform is chosen) when the tests start.

namespace qt_app {

class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance()) {
            return;
        }
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "gui-test";
        static char* argv[] = {name, nullptr};
        // Lives until the process ends: widgets of the last test may still be around at tear-down.
        static QApplication* app = new QApplication(argc, argv);
        (void)app;
    }
};

inline ::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new Environment);

}  // namespace qt_app
