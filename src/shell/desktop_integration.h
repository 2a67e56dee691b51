#pragma once

#include <QIcon>

class QCoreApplication;

/// Loads Qt's own Japanese texts (file dialogs, the text boxes' right-click menu, standard buttons) from the
/// translations Qt was installed with. False when they are not installed: Qt's texts then stay English.
bool loadQtJapanese(QCoreApplication& app);

/// The program's icon as installed beside the .desktop file (or from the sources when run from a build).
QIcon applicationIcon();
