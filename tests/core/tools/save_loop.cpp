// Saves in a loop on a data folder for a while, as one copy of the program would, and prints the diary text of every
// save that reported success. The two-writer test runs two of these at once and checks the log afterwards.
//
//   save_loop DIR append|insert|rename TAG MILLISECONDS

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/edits/rename_situation.h"
#include "core/files/measurement_log.h"

int main(int argc, char* argv[]) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: save_loop DIR append|insert|rename TAG MILLISECONDS\n");
        return 64;
    }
    const sora::DataDir dir{std::filesystem::path(argv[1])};
    const std::string mode = argv[2];
    const std::string tag = argv[3];
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::atoi(argv[4]));
    const sora::MeasurementLog log(dir);
    unsigned seed = static_cast<unsigned>(std::hash<std::string>{}(tag));
    for (int n = 1; std::chrono::steady_clock::now() < until; ++n) {
        const std::string text = tag + "-" + std::to_string(n);
        if (mode == "rename") {
            // Back and forth between two names, so that the other writer's records keep being rewritten.
            const bool ok = n % 2 != 0 ? sora::rename_situation(dir, "起床後", "朝").ok
                                       : sora::rename_situation(dir, "朝", "起床後").ok;
            if (ok) {
                std::printf("%s\n", text.c_str());
            }
            continue;
        }
        seed = seed * 1103515245u + 12345u;
        // Inserts land on a day inside the log; appends on a day after it.
        const int day = mode == "insert" ? 2 + static_cast<int>((seed >> 16) % 26) : 28;
        char date[16];
        std::snprintf(date, sizeof date, "2005/02/%02d", day);
        const sora::MeasurementRecord record{date, "起床後", 120, 80, 70, text, 62};
        const sora::WriteResult written = mode == "insert" ? log.insert_in_order(record) : log.append(record);
        if (written.ok) {
            std::printf("%s\n", text.c_str());
        }
    }
    return 0;
}
