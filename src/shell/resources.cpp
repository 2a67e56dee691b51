#include "shell/resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The installed share directory first, then one relative to the executable (a moved installation),
// then the source tree (running from a build directory).
QString findShared(const QString& installedPart, const QString& sourcePart) {
    const QStringList candidates = {
        QStringLiteral(SORANOTE_SHARE_DIR) + "/" + installedPart,
        QCoreApplication::applicationDirPath() + "/../share/soranote/" + installedPart,
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

QString helpStartPage() {
    return findShared("help/index.html", "help/index.html");
}
