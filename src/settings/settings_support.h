#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "core/files/file_io.h"
#include "ui/dialogs.h"

// Small helpers the parts of the settings screen share.

namespace settings {

QStringList toQStringList(const std::vector<std::string>& items);
std::vector<std::string> toStdVector(const QStringList& items);

/// Tells the user that a write failed; true when it succeeded, or when the new file is in place all the same (only
/// its directory sync failed), so that the screen follows the file.
bool reportWrite(ui::Dialogs& dialogs, const sora::WriteResult& result);

/// The text as it can be stored (double quotes become "”"), or nullopt after telling the user that `what`
/// holds a character the files cannot store.
std::optional<QString> storableOrRefuse(ui::Dialogs& dialogs, const QString& text, const QString& what);

}  // namespace settings
