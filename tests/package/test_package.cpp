// The Debian package: built once with CPack, unpacked into a scratch root, and its programs run from there.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Output {
    int status;
    std::string text;
};

/// Runs a shell command and returns its exit status with what it wrote to standard output.
Output run(const std::string& command) {
    Output output{-1, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        return output;
    }
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.text.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

std::string quoted(const fs::path& path) {
    std::string text = "'";
    for (const char c : path.string()) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
}

std::string bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool available(const char* program) {
    return run(std::string("command -v ") + program + " >/dev/null").status == 0;
}

class Package : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/soranote-package-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        s_scratch = pattern;
        const Output built = run(quoted(SORANOTE_CPACK) + " -G DEB --config " + quoted(SORANOTE_CPACK_CONFIG) + " -B " +
                                 quoted(s_scratch / "out") + " 2>&1");
        ASSERT_EQ(built.status, 0) << built.text;
        for (const auto& entry : fs::directory_iterator(s_scratch / "out")) {
            if (entry.path().extension() == ".deb") {
                s_deb = entry.path();
            }
        }
        ASSERT_FALSE(s_deb.empty()) << built.text;
        const Output unpacked = run("dpkg-deb -x " + quoted(s_deb) + " " + quoted(root()) + " 2>&1");
        ASSERT_EQ(unpacked.status, 0) << unpacked.text;
    }
    static void TearDownTestSuite() {
        if (!s_scratch.empty()) {
            fs::remove_all(s_scratch);
        }
    }
    void SetUp() override {
        if (s_deb.empty()) {
            GTEST_SKIP() << "the package could not be built (see the first failure)";
        }
    }

    static fs::path root() { return s_scratch / "root"; }
    static fs::path share() { return root() / "usr/share/soranote"; }

    static inline fs::path s_scratch;
    static inline fs::path s_deb;
};

TEST_F(Package, ControlFieldsNameTheVersionAndEveryLibraryAndTheFont) {
    EXPECT_EQ(s_deb.filename().string().rfind("soranote_" SORANOTE_VERSION "_", 0), 0u) << s_deb;
    const Output package = run("dpkg-deb -f " + quoted(s_deb) + " Package Version");
    EXPECT_EQ(package.text, "Package: soranote\nVersion: " SORANOTE_VERSION "\n");
    // The names in Depends, without their versions: the font by hand, the libraries from what the programs link.
    const Output depends = run("dpkg-deb -f " + quoted(s_deb) + " Depends");
    ASSERT_EQ(depends.status, 0);
    std::set<std::string> names;
    std::istringstream list(depends.text);
    for (std::string item; std::getline(list, item, ',');) {
        std::istringstream words(item);
        std::string name;
        words >> name;
        names.insert(name);
    }
    for (const char* name : {"fonts-noto-cjk", "qt6-translations-l10n", "libqt6widgets6", "libqt6printsupport6",
                             "libqcustomplot2.1-qt6", "libc6"}) {
        EXPECT_EQ(names.count(name), 1u) << name << " in " << depends.text;
    }
}

TEST_F(Package, HoldsBothProgramsTheirDataAndTheDesktopFilesUnderUsr) {
    const char* const files[] = {
        "usr/bin/soranote",
        "usr/bin/soranote-cli",
        "usr/share/soranote/help/index.html",
        "usr/share/applications/soranote.desktop",
        "usr/share/icons/hicolor/scalable/apps/soranote.svg",
        "usr/share/metainfo/io.github.soranote.soranote.metainfo.xml",
        "usr/share/man/man1/soranote.1.gz",
        "usr/share/man/man1/soranote-cli.1.gz",
        "usr/share/man/ja/man1/soranote.1.gz",
        "usr/share/man/ja/man1/soranote-cli.1.gz",
        "usr/share/icons/hicolor/48x48/apps/soranote.png",
        "usr/share/icons/hicolor/256x256/apps/soranote.png",
        "usr/share/doc/soranote/copyright",
    };
    for (const char* file : files) {
        EXPECT_TRUE(fs::is_regular_file(root() / file)) << file;
    }
    for (const char* program : {"usr/bin/soranote", "usr/bin/soranote-cli"}) {
        EXPECT_NE(fs::status(root() / program).permissions() & fs::perms::others_exec, fs::perms::none) << program;
    }
    // The sample diary as it is in the sources, every file.
    int sampleFiles = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(SORANOTE_SOURCE_DIR) / "data/sample")) {
        ++sampleFiles;
        const fs::path installed = share() / "sample" / entry.path().filename();
        EXPECT_EQ(bytes(installed), bytes(entry.path())) << installed;
    }
    EXPECT_GE(sampleFiles, 8);
    // Nothing lands outside /usr.
    const Output listing = run("dpkg-deb -c " + quoted(s_deb));
    ASSERT_EQ(listing.status, 0);
    std::istringstream lines(listing.text);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_NE(line.find(" ./usr/"), std::string::npos) << line;
    }
}

TEST_F(Package, InstalledCommandLineReadsTheInstalledSampleLikeTheBuiltOne) {
    const fs::path data = s_scratch / "cli-data";
    fs::copy(share() / "sample", data, fs::copy_options::recursive);
    const fs::path source = fs::path(SORANOTE_SOURCE_DIR) / "data/sample";
    for (const std::string command : {"day 2005/02/09", "--json averages", "calendar", "list --sort 4 --descending"}) {
        const std::string options = " --today 2005/03/01 ";
        const Output installed =
            run(quoted(root() / "usr/bin/soranote-cli") + " --data-dir " + quoted(data) + options + command);
        const Output built = run(quoted(SORANOTE_CLI) + " --data-dir " + quoted(source) + options + command);
        EXPECT_EQ(installed.status, 0) << command;
        EXPECT_GT(std::count(installed.text.begin(), installed.text.end(), '\n'), 5)
            << command << ": " << installed.text;
        EXPECT_EQ(installed.text, built.text) << command;
    }
}

TEST_F(Package, InstalledProgramTakesTheSampleFromItsOwnShareFolder) {
    // A copy of the installed tree whose sample lacks the memo: a first start there must not get one.
    const fs::path copy = s_scratch / "moved";
    fs::copy(root(), copy, fs::copy_options::recursive);
    ASSERT_TRUE(fs::remove(copy / "usr/share/soranote/sample" / fs::u8path("気付きメモ.txt")));
    const fs::path data = s_scratch / "first-start";
    const Output started = run("env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=" + quoted(s_scratch / "config") + " " +
                               quoted(copy / "usr/bin/soranote") + " --data-dir " + quoted(data) + " --screenshot " +
                               quoted(s_scratch / "shots") + " 2>&1");
    EXPECT_EQ(started.status, 0) << started.text;
    EXPECT_TRUE(fs::exists(data / fs::u8path("データ.txt")));
    EXPECT_FALSE(fs::exists(data / fs::u8path("気付きメモ.txt")));
    EXPECT_TRUE(fs::exists(s_scratch / "shots/fraMain.png"));
    EXPECT_FALSE(fs::exists(s_scratch / "config")) << "a screenshot run keeps no window geometry";
}

TEST_F(Package, ManualPagesRenderWithoutWarningsAndTheMetainfoIsValid) {
    for (const char* page :
         {"man1/soranote.1.gz", "man1/soranote-cli.1.gz", "ja/man1/soranote.1.gz", "ja/man1/soranote-cli.1.gz"}) {
        const fs::path path = root() / "usr/share/man" / page;
        const Output warnings = run("MANWIDTH=80 man --warnings -l " + quoted(path) + " 2>&1 >/dev/null");
        EXPECT_EQ(warnings.status, 0) << page;
        EXPECT_EQ(warnings.text, "") << page;
        const Output text = run("MANWIDTH=80 man -l " + quoted(path) + " 2>/dev/null");
        EXPECT_NE(text.text.find("soranote " SORANOTE_VERSION), std::string::npos) << page << ": version in the footer";
    }
    const fs::path metainfo = root() / "usr/share/metainfo/io.github.soranote.soranote.metainfo.xml";
    EXPECT_NE(bytes(metainfo).find("<release version=\"" SORANOTE_VERSION "\""), std::string::npos);
    if (!available("appstreamcli")) {
        GTEST_SKIP() << "appstreamcli is not installed";
    }
    const Output validated = run("appstreamcli validate --no-net " + quoted(metainfo) + " 2>&1");
    EXPECT_EQ(validated.status, 0) << validated.text;
}

TEST_F(Package, JapaneseManualPageIsFoundByItsLanguage) {
    // MANPATH as a system's /usr/share/man: man looks in its ja/ for a Japanese reader (-M would not).
    const std::string manpath = "MANWIDTH=80 MANPATH=" + quoted(root() / "usr/share/man") + " man ";
    const Output page = run(manpath + "-L ja soranote 2>&1");
    EXPECT_EQ(page.status, 0) << page.text;
    EXPECT_NE(page.text.find("血圧手帳"), std::string::npos) << page.text;
    const Output cli = run(manpath + "-L ja soranote-cli 2>&1");
    EXPECT_NE(cli.text.find("終了ステータス"), std::string::npos) << cli.text;
    const Output english = run(manpath + "-L C soranote 2>&1");
    EXPECT_NE(english.text.find("personal blood-pressure diary"), std::string::npos) << english.text;
}

TEST_F(Package, DesktopFileIsCleanAndEveryScreenshotIsInThePackage) {
    if (!available("desktop-file-validate")) {
        GTEST_SKIP() << "desktop-file-validate is not installed";
    }
    // Hints too: a second main category shows the program twice in some menus.
    const Output validated =
        run("desktop-file-validate " + quoted(root() / "usr/share/applications/soranote.desktop") + " 2>&1");
    EXPECT_EQ(validated.status, 0) << validated.text;
    EXPECT_EQ(validated.text, "");

    const std::string metainfo = bytes(root() / "usr/share/metainfo/io.github.soranote.soranote.metainfo.xml");
    int screenshots = 0;
    for (std::size_t at = metainfo.find("<image>"); at != std::string::npos; at = metainfo.find("<image>", at + 1)) {
        const std::size_t end = metainfo.find("</image>", at);
        ASSERT_NE(end, std::string::npos);
        const std::string url = metainfo.substr(at + 7, end - at - 7);
        const std::string name = url.substr(url.rfind('/') + 1);
        EXPECT_TRUE(fs::is_regular_file(share() / "screenshots" / name)) << url;
        ++screenshots;
    }
    EXPECT_GE(screenshots, 3);
    for (const char* word : {"report", "CSV"}) {
        EXPECT_NE(metainfo.find(word), std::string::npos) << word;
    }
}

}  // namespace
