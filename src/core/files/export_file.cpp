#include "core/files/export_file.h"

#include <sys/stat.h>

#include "core/files/text_file.h"

namespace sora {

std::optional<std::string> export_target_problem(const std::filesystem::path& target) {
    const std::filesystem::path real = write_target(target);
    const std::string name = "「" + target.string() + "」";
    if (struct stat info{}; ::stat(real.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return name + "はフォルダです。保存するファイルの名前を指定してください。";
        }
        if (!S_ISREG(info.st_mode)) {
            return name + "は普通のファイルではない（" + not_regular_kind(real) + "）ため、置き換えませんでした。";
        }
        return std::nullopt;
    }
    const std::filesystem::path folder = real.parent_path().empty() ? "." : real.parent_path();
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return "保存先のフォルダ「" + folder.string() + "」がないため、" + name + "に保存できませんでした。";
    }
    if (!S_ISDIR(info.st_mode)) {
        return "「" + folder.string() + "」はフォルダではないため、" + name + "に保存できませんでした。";
    }
    return std::nullopt;
}

WriteResult write_export_file(const std::filesystem::path& target, std::string_view bytes) {
    if (const std::optional<std::string> problem = export_target_problem(target)) {
        return WriteResult{false, *problem};
    }
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    return replace_file(target, temporary, bytes);
}

}  // namespace sora
