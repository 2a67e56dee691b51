#include <QApplication>

#include "shell/app_main.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return runSoranote(app);
}
