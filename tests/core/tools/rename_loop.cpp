// Renames a situation back and forth until it is killed: the victim of the rename kill test.
// Usage: rename_loop DIR A B — renames A to B when the list holds A, else B to A, again and again.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "core/edits/rename_situation.h"
#include "core/files/data_dir.h"
#include "core/files/side_files.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: rename_loop DIR A B\n");
        return 2;
    }
    const sora::DataDir dir{std::filesystem::path(argv[1])};
    const std::string a = argv[2];
    const std::string b = argv[3];
    // A loop whose test died before killing it ends on its own.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
        const auto list = sora::read_situations(dir);
        if (!list.ok) {
            std::fprintf(stderr, "rename_loop: %s\n", list.message.c_str());
            return 3;
        }
        const bool hasA = std::find(list.value.begin(), list.value.end(), a) != list.value.end();
        const sora::RenameResult renamed = sora::rename_situation(dir, hasA ? a : b, hasA ? b : a);
        if (!renamed.ok) {
            std::fprintf(stderr, "rename_loop: %s\n", renamed.message.c_str());
            return 1;
        }
    }
    return 0;
}
