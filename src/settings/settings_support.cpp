#include "settings/settings_support.h"

#include "core/files/storable_text.h"

namespace settings {

QStringList toQStringList(const std::vector<std::string>& items) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) {
        list.append(QString::fromStdString(item));
    }
    return list;
}

std::vector<std::string> toStdVector(const QStringList& items) {
    std::vector<std::string> list;
    list.reserve(static_cast<std::size_t>(items.size()));
    for (const QString& item : items) {
        list.push_back(item.toStdString());
    }
    return list;
}

bool reportWrite(ui::Dialogs& dialogs, const sora::WriteResult& result) {
    if (result.ok) {
        return true;
    }
    dialogs.message(ui::Icon::Warning, "保存エラー", QString::fromStdString(result.message));
    return result.inPlace;
}

std::optional<QString> storableOrRefuse(ui::Dialogs& dialogs, const QString& text, const QString& what) {
    const std::optional<std::string> stored = sora::storable_text(text.toStdString());
    if (!stored) {
        dialogs.message(ui::Icon::Warning, "使用できない文字",
                        what + "に保存できない文字（絵文字など）が含まれています。");
        return std::nullopt;
    }
    return QString::fromStdString(*stored);
}

}  // namespace settings
