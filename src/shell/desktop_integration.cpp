#include "shell/desktop_integration.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "shell/resources.h"

bool loadQtJapanese(QCoreApplication& app) {
    // The program speaks Japanese whatever the desktop's language, so Qt's dialogs do too.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

QIcon applicationIcon() {
    // The theme's icon where the desktop has one; otherwise the installed pictures (PNG needs no image plugin).
    QIcon pictures;
    for (const int size : {48, 128, 256}) {
        pictures.addFile(iconFile(size));
    }
    return QIcon::fromTheme(QStringLiteral("soranote"), pictures);
}
