#include "shell/resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The share directory beside the executable's own bin/ first (a package installs under /usr whatever the prefix
// of the build it came from), then the configured installation, then the source tree (running from a build).
QString findShared(const QString& installedPart, const QString& sourcePart) {
    const QStringList candidates = {
        QCoreApplication::applicationDirPath() + "/../share/soranote/" + installedPart,
        QStringLiteral(SORANOTE_SHARE_DIR) + "/" + installedPart,
        QStringLiteral(SORANOTE_SOURCE_DIR) + "/" + sourcePart,
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate)) {
            return QDir::cleanPath(candidate);
        }
    }
    return QDir::cleanPath(candidates.last());
}

}  // namespace

QString sampleDirectory() {
    return findShared("sample", "data/sample");
}

QString iconFile(int size) {
    const QString name = QStringLiteral("%1x%1/apps/soranote.png").arg(size);
    return findShared("../icons/hicolor/" + name, "data/desktop/icons/" + name);
}

QString helpStartPage() {
    return findShared("help/index.html", "help/index.html");
}
