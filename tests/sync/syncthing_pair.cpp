#include "syncthing_pair.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

/// Runs a program to its end and returns its standard output; exit status in `status`.
std::string run_program(const std::vector<std::string>& args, int& status) {
    int pipeEnds[2];
    status = -1;
    if (::pipe(pipeEnds) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<std::string> copies = args;
    std::vector<char*> argv;
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t got; spawned == 0 && (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        out.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeEnds[0]);
    if (spawned == 0) {
        int raw = 0;
        ::waitpid(pid, &raw, 0);
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    return out;
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

int free_loopback_port() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

SyncthingPair::SyncthingPair(std::filesystem::path binary, std::filesystem::path scratch,
                             std::vector<std::filesystem::path> folders)
    : m_binary(std::move(binary)), m_scratch(std::move(scratch)) {
    std::mt19937_64 random(std::random_device{}());
    m_apiKey = "soranote-test-" + std::to_string(random());
    for (int i = 0; i < 2; ++i) {
        m_instances[i].home = m_scratch / ("syncthing-" + std::to_string(i));
        m_instances[i].folder = folders[static_cast<std::size_t>(i)];
    }
}

SyncthingPair::~SyncthingPair() {
    for (Instance& instance : m_instances) {
        stop(instance);
    }
}

bool SyncthingPair::generate(Instance& instance) {
    std::filesystem::create_directories(instance.home);
    int status = 0;
    run_program({m_binary.string(), "generate", "--home=" + instance.home.string(), "--no-default-folder",
                 "--skip-port-probing"},
                status);
    if (status != 0) {
        m_error = "syncthing generate が失敗しました（終了コード " + std::to_string(status) + "）";
        return false;
    }
    instance.deviceId =
        trimmed(run_program({m_binary.string(), "serve", "--home=" + instance.home.string(), "--device-id"}, status));
    if (status != 0 || instance.deviceId.size() < 50) {
        m_error = "syncthing の機器 ID を読めません: " + instance.deviceId;
        return false;
    }
    return true;
}

void SyncthingPair::writeConfig(const Instance& self, const Instance& other) const {
    const auto device = [](const Instance& instance, const char* name) {
        return "  <device id=\"" + instance.deviceId + "\" name=\"" + name +
               "\" compression=\"metadata\" introducer=\"false\" skipIntroductionRemovals=\"false\">\n"
               "    <address>tcp://127.0.0.1:" +
               std::to_string(instance.listenPort) + "</address>\n    <paused>false</paused>\n  </device>\n";
    };
    // The version the installed Syncthing wrote when it generated the keys: an older Syncthing refuses a newer one.
    std::string version = "36";
    {
        std::ifstream generated(self.home / "config.xml");
        const std::string text((std::istreambuf_iterator<char>(generated)), std::istreambuf_iterator<char>());
        const std::size_t at = text.find("<configuration version=\"");
        if (at != std::string::npos) {
            const std::size_t from = at + 24;
            version = text.substr(from, text.find('"', from) - from);
        }
    }
    std::ofstream config(self.home / "config.xml", std::ios::trunc);
    config << "<configuration version=\"" << version
           << "\">\n"
              "  <folder id=\"soranote\" label=\"soranote\" path=\""
           << self.folder.string()
           << "\" type=\"sendreceive\" rescanIntervalS=\"3600\" fsWatcherEnabled=\"true\" fsWatcherDelayS=\"1\" "
              "ignorePerms=\"false\" autoNormalize=\"true\">\n"
              "    <filesystemType>basic</filesystemType>\n"
              "    <device id=\""
           << self.deviceId << "\"></device>\n    <device id=\"" << other.deviceId
           << "\"></device>\n"
              "    <minDiskFree unit=\"%\">0</minDiskFree>\n"
              "    <maxConflicts>10</maxConflicts>\n"
              "  </folder>\n"
           << device(self, "self") << device(other, "other")
           << "  <gui enabled=\"true\" tls=\"false\" debugging=\"false\">\n"
              "    <address>127.0.0.1:"
           << self.guiPort << "</address>\n    <apikey>" << m_apiKey
           << "</apikey>\n    <theme>default</theme>\n  </gui>\n"
              "  <options>\n"
              "    <listenAddress>tcp://127.0.0.1:"
           << self.listenPort
           << "</listenAddress>\n"
              "    <globalAnnounceEnabled>false</globalAnnounceEnabled>\n"
              "    <localAnnounceEnabled>false</localAnnounceEnabled>\n"
              "    <relaysEnabled>false</relaysEnabled>\n"
              "    <natEnabled>false</natEnabled>\n"
              "    <urAccepted>-1</urAccepted>\n"
              "    <autoUpgradeIntervalH>0</autoUpgradeIntervalH>\n"
              "    <crashReportingEnabled>false</crashReportingEnabled>\n"
              "    <startBrowser>false</startBrowser>\n"
              "    <minHomeDiskFree unit=\"%\">0</minHomeDiskFree>\n"
              "    <reconnectionIntervalS>1</reconnectionIntervalS>\n"
              "  </options>\n"
              "</configuration>\n";
}

bool SyncthingPair::launch(Instance& instance) {
    std::vector<std::string> args = {m_binary.string(),
                                     "serve",
                                     "--home=" + instance.home.string(),
                                     "--no-browser",
                                     "--no-restart",
                                     "--no-upgrade",
                                     "--logfile=" + (instance.home / "syncthing.log").string()};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    // STMONITORED: no monitor process in between, so that the process id is Syncthing's own and stopping it stops it.
    std::vector<std::string> environment = {"STNODEFAULTFOLDER=1", "STNOUPGRADE=1", "STNORESTART=1", "STMONITORED=yes",
                                            "HOME=" + instance.home.string()};
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string(*e).rfind("HOME=", 0) != 0) {
            environment.push_back(*e);
        }
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    // Its console output goes beside its log, out of the test's own.
    const std::string console = (instance.home / "console.log").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, console.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int spawned = ::posix_spawn(&instance.pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        instance.pid = -1;
        m_error = "syncthing を起動できません";
        return false;
    }
    return true;
}

bool SyncthingPair::start() {
    for (Instance& instance : m_instances) {
        instance.listenPort = free_loopback_port();
        instance.guiPort = free_loopback_port();
        if (instance.listenPort == 0 || instance.guiPort == 0 || !generate(instance)) {
            if (m_error.empty()) {
                m_error = "127.0.0.1 に空いたポートがありません";
            }
            return false;
        }
    }
    writeConfig(m_instances[0], m_instances[1]);
    writeConfig(m_instances[1], m_instances[0]);
    for (Instance& instance : m_instances) {
        if (!launch(instance)) {
            return false;
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (int i = 0; i < 2; ++i) {
        while (!request(i, "GET", "/rest/system/ping")) {
            int status = 0;
            if (::waitpid(m_instances[i].pid, &status, WNOHANG) == m_instances[i].pid) {
                m_instances[i].pid = -1;
                m_error =
                    "syncthing が起動直後に終了しました（" + (m_instances[i].home / "syncthing.log").string() + "）";
                return false;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                m_error = "syncthing の REST API が 60 秒たっても応えません";
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
    return true;
}

bool SyncthingPair::request(int i, const std::string& method, const std::string& target, std::string* body) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(m_instances[i].guiPort));
    timeval timeout{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    const std::string text = method + " " + target +
                             " HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(m_instances[i].guiPort) +
                             "\r\nX-API-Key: " + m_apiKey + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    if (::send(fd, text.data(), text.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(text.size())) {
        ::close(fd);
        return false;
    }
    std::string answer;
    char buffer[4096];
    for (ssize_t got; (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    // "HTTP/1.0 200 OK"
    const bool ok = answer.size() > 12 && answer[9] == '2';
    if (ok && body != nullptr) {
        const std::size_t start = answer.find("\r\n\r\n");
        *body = start == std::string::npos ? std::string() : answer.substr(start + 4);
    }
    return ok;
}

bool SyncthingPair::pause() {
    return request(0, "POST", "/rest/system/pause?device=" + m_instances[1].deviceId) &&
           request(1, "POST", "/rest/system/pause?device=" + m_instances[0].deviceId);
}

bool SyncthingPair::resume() {
    return request(0, "POST", "/rest/system/resume?device=" + m_instances[1].deviceId) &&
           request(1, "POST", "/rest/system/resume?device=" + m_instances[0].deviceId);
}

bool SyncthingPair::scan(int i) {
    return request(i, "POST", "/rest/db/scan?folder=soranote");
}

bool SyncthingPair::connected() {
    std::string body;
    if (!request(0, "GET", "/rest/system/connections", &body)) {
        return false;
    }
    // {"connections":{"<ID>":{..."connected":true,...}}}
    const std::size_t at = body.find("\"" + m_instances[1].deviceId + "\"");
    const std::size_t flag = body.find("\"connected\"", at);
    return at != std::string::npos && flag != std::string::npos &&
           body.compare(body.find_first_not_of(" :", flag + 11), 4, "true") == 0;
}

void SyncthingPair::stop(Instance& instance) {
    if (instance.pid <= 0) {
        return;
    }
    ::kill(instance.pid, SIGTERM);
    int status = 0;
    for (int waited = 0; waited < 50; ++waited) {
        if (::waitpid(instance.pid, &status, WNOHANG) == instance.pid) {
            instance.pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(instance.pid, SIGKILL);
    ::waitpid(instance.pid, &status, 0);
    instance.pid = -1;
}
