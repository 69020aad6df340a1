#pragma once
// The one QApplication of a test executable, made on first use, drawing
// off screen unless the environment says otherwise. Kept for the whole run.

#include <QApplication>
#include <cstdlib>

namespace rxt::test {

extern int lsanSuppressionsLinked;

inline QApplication& qtTestApp() {
    static int* volatile keepSuppressions = &lsanSuppressionsLinked;
    (void)keepSuppressions;
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "rxt-test";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

}  // namespace rxt::test
