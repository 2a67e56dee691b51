#include "core/files/export_file.h"

namespace sora {

WriteResult write_export_file(const std::filesystem::path& target, std::string_view bytes) {
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    return replace_file(target, temporary, bytes);
}

}  // namespace sora
