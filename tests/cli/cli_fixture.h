#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "core/clock.h"
#include "core/files/text_codec.h"

/// A scratch data folder for soranote-cli, and the program run on it with a fixed today.
class CliFixture : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/soranote-cli-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    /// Writes a data file from UTF-8 text: CP932, every "\n" as CR LF.
    void write(const std::string& name, const std::string& utf8) {
        std::string crlf;
        for (char c : utf8) {
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
        std::ofstream(m_dir / std::filesystem::u8path(name), std::ios::binary) << *sora::utf8_to_cp932(crlf);
    }

    struct Result {
        int status;
        std::string out;
        std::string err;
    };
    Result run(std::vector<std::string> args, const sora::Date& today) {
        args.insert(args.begin(), {"--data-dir", m_dir.string()});
        std::ostringstream out, err;
        const int status = cli::run(args, out, err, today);
        return {status, out.str(), err.str()};
    }

    std::filesystem::path m_dir;
};
