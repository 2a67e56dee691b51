#include <QApplication>

#include "shell/app_main.h"

int main(int argc, char* argv[]) {
    // Answered before a window system is asked for: without a display that would end the program.
    if (asksOnlyForHelp(argc, argv)) {
        QCoreApplication app(argc, argv);
        return printHelp(app);
    }
    QApplication app(argc, argv);
    return runSoranote(app);
}
