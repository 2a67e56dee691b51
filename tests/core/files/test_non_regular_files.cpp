// Something other than a regular file where a data file belongs (a FIFO, a device, a socket, a folder): every
// reader refuses it at once, naming it, and an export never replaces it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/files/export_file.h"
#include "core/files/measurement_log.h"
#include "core/files/morning_evening_file.h"
#include "core/files/side_files.h"
#include "test_support.h"

namespace {

using sora::DataDir;
using sora::test::ScratchDir;
namespace fs = std::filesystem;

/// What a reader said: whether it read, and its message.
struct Said {
    bool ok = true;
    std::string message;
};

template <typename T>
Said said(const sora::SideFileRead<T>& read) {
    return {read.ok, read.message};
}

struct Reader {
    const char* file;
    std::function<Said(const DataDir&)> read;
};

const std::vector<Reader>& readers() {
    static const std::vector<Reader> all = {
        {"データ.txt",
         [](const DataDir& d) {
             const auto r = sora::MeasurementLog(d).read_all();
             return Said{r.ok, r.message};
         }},
        {"データ.txt",
         [](const DataDir& d) {
             const auto r = sora::MeasurementLog(d).read_first();
             return Said{r.ok, r.message};
         }},
        {"グラフ設定.txt", [](const DataDir& d) { return said(sora::read_graph_settings(d)); }},
        {"気付きメモ.txt", [](const DataDir& d) { return said(sora::read_memo(d)); }},
        {"設定.txt", [](const DataDir& d) { return said(sora::read_help_tour_setting(d)); }},
        {"自動時間.TXT", [](const DataDir& d) { return said(sora::read_auto_time(d)); }},
        {"状況リスト.txt", [](const DataDir& d) { return said(sora::read_situations(d)); }},
        {"ﾌﾟﾗｲﾍﾞｰﾄ.txt", [](const DataDir& d) { return said(sora::read_user_name(d)); }},
        {"マーカー.TXT", [](const DataDir& d) { return said(sora::read_marker_mode(d)); }},
        {"朝晩設定.txt", [](const DataDir& d) { return said(sora::read_morning_evening(d)); }},
    };
    return all;
}

/// Puts a thing of `kind` at `path`; false when this machine does not allow it. The socket's descriptor is kept
/// open in `socketFd` while the test runs.
bool make_thing(const std::string& kind, const fs::path& path, int& socketFd) {
    if (kind == "FIFO") {
        return ::mkfifo(path.c_str(), 0644) == 0;
    }
    if (kind == "device") {
        // A device of its own where allowed (root); else a link to one that never ends when read.
        return ::mknod(path.c_str(), S_IFCHR | 0644, makedev(1, 5)) == 0 ||
               (fs::create_symlink("/dev/zero", path), true);
    }
    if (kind == "socket") {
        socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.native().size() >= sizeof address.sun_path) {
            return false;
        }
        std::strcpy(address.sun_path, path.c_str());
        return ::bind(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    fs::create_directory(path);
    return true;
}

/// Runs `check` in a child process: true when it returned true within five seconds. A reader that blocks on a
/// FIFO would hang the test itself otherwise.
bool within_five_seconds(const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(check() ? 0 : 1);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

const std::vector<std::string> Kinds = {"FIFO", "device", "socket", "folder"};

TEST(NonRegularFiles, EveryReaderRefusesAtOnceAndNamesTheFile) {
    for (const std::string& kind : Kinds) {
        for (const Reader& reader : readers()) {
            SCOPED_TRACE(kind + " as " + reader.file);
            ScratchDir dir;
            int socketFd = -1;
            ASSERT_TRUE(make_thing(kind, dir / reader.file, socketFd));
            const DataDir data(dir.path());
            EXPECT_TRUE(within_five_seconds([&] {
                const Said r = reader.read(data);
                return !r.ok && r.message.find(reader.file) != std::string::npos &&
                       r.message.find("普通のファイルではない") != std::string::npos;
            })) << "did not refuse within five seconds, or without saying what the file is";
            if (socketFd >= 0) {
                ::close(socketFd);
            }
        }
    }
}

TEST(NonRegularFiles, AnExportNeverReplacesAnythingButARegularFile) {
    for (const std::string& kind : Kinds) {
        for (const bool throughLink : {false, true}) {
            SCOPED_TRACE(kind + (throughLink ? " behind a link" : ""));
            ScratchDir dir;
            int socketFd = -1;
            const fs::path thing = dir / "n";
            ASSERT_TRUE(make_thing(kind, thing, socketFd));
            struct stat before {};
            ASSERT_EQ(::stat(thing.c_str(), &before), 0);
            const fs::path target = throughLink ? dir / "link.csv" : thing;
            if (throughLink) {
                fs::create_symlink(thing, target);
            }
            const sora::WriteResult written = sora::write_export_file(target, "a,b\r\n");
            EXPECT_FALSE(written.ok);
            EXPECT_NE(written.message.find(kind == "folder" ? "フォルダです" : "普通のファイルではない"),
                      std::string::npos)
                << written.message;
            struct stat after {};
            ASSERT_EQ(::stat(thing.c_str(), &after), 0);
            EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT) << "replaced by a regular file";
            EXPECT_EQ(after.st_ino, before.st_ino);
            if (socketFd >= 0) {
                ::close(socketFd);
            }
        }
    }
    // A regular file, and a link to one, are replaced; a missing folder is named.
    ScratchDir dir;
    sora::test::write_bytes(dir / "old.csv", "old\r\n");
    fs::create_symlink(dir / "old.csv", dir / "link.csv");
    ASSERT_TRUE(sora::write_export_file(dir / "link.csv", "new\r\n").ok);
    EXPECT_EQ(sora::test::bytes_of(dir / "old.csv"), "new\r\n");
    EXPECT_TRUE(fs::is_symlink(dir / "link.csv"));
    const sora::WriteResult missing = sora::write_export_file(dir / "なし" / "x.csv", "a\r\n");
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.message.find("保存先のフォルダ"), std::string::npos) << missing.message;
}

}  // namespace
