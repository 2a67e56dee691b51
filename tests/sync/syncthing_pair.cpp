#include "syncthing_pair.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QProcessEnvironment>
#include <fstream>
#include <random>
#include <regex>

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

/// A TCP port on 127.0.0.1 that nothing listens on now (bound to port 0, then released); 0 if none.
int free_loopback_port() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(fd);
    return bound ? ntohs(address.sin_port) : 0;
}

QString q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

SyncthingPair::SyncthingPair(std::filesystem::path binary, const std::filesystem::path& scratch,
                             std::array<std::filesystem::path, 2> folders)
    : m_binary(std::move(binary)), m_apiKey("soranote-test-" + std::to_string(std::random_device{}())) {
    for (int i = 0; i < 2; ++i) {
        m_at[i].home = scratch / ("syncthing-" + std::to_string(i));
        m_at[i].folder = folders[i];
    }
}

SyncthingPair::~SyncthingPair() {
    for (Instance& at : m_at) {
        if (at.process && at.process->state() != QProcess::NotRunning) {
            const auto pid = static_cast<pid_t>(at.process->processId());
            ::kill(pid, SIGTERM);
            if (!at.process->waitForFinished(5000)) {
                ::kill(pid, SIGKILL);
                at.process->waitForFinished(5000);
            }
        }
    }
}

bool SyncthingPair::generate(Instance& at) {
    QProcess generate;
    generate.setProcessChannelMode(QProcess::MergedChannels);
    generate.setStandardOutputFile(QProcess::nullDevice());
    generate.start(q(m_binary), {"generate", "--home=" + q(at.home), "--no-default-folder", "--skip-port-probing"});
    if (!generate.waitForFinished(60000) || generate.exitStatus() != QProcess::NormalExit || generate.exitCode() != 0) {
        error = "syncthing generate が失敗しました（終了コード " + std::to_string(generate.exitCode()) + "）";
        return false;
    }
    // The version the installed Syncthing wrote (an older Syncthing refuses a newer one) and its own device first.
    std::ifstream file(at.home / "config.xml");
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::smatch found;
    if (!std::regex_search(text, found,
                           std::regex(R"re(<configuration version="(\d+)"[\s\S]*?<device id="([A-Z0-9-]{50,})")re"))) {
        error = "syncthing の機器 ID を読めません: " + (at.home / "config.xml").string();
        return false;
    }
    at.version = found[1];
    at.deviceId = found[2];
    return true;
}

void SyncthingPair::writeConfig(const Instance& self, const Instance& other) const {
    std::ofstream config(self.home / "config.xml", std::ios::trunc);
    config << "<configuration version=\"" << self.version << "\">\n<folder id=\"soranote\" path=\""
           << self.folder.string() << "\" rescanIntervalS=\"3600\" fsWatcherEnabled=\"true\" fsWatcherDelayS=\"1\">\n";
    for (const Instance* at : {&self, &other}) {
        config << "<device id=\"" << at->deviceId << "\"></device>\n";
    }
    config << "<minDiskFree unit=\"%\">0</minDiskFree><maxConflicts>10</maxConflicts>\n</folder>\n";
    for (const Instance* at : {&self, &other}) {
        config << "<device id=\"" << at->deviceId << "\"><address>tcp://127.0.0.1:" << at->listenPort
               << "</address></device>\n";
    }
    config << "<gui enabled=\"true\" tls=\"false\"><address>127.0.0.1:" << self.guiPort << "</address><apikey>"
           << m_apiKey << "</apikey></gui>\n<options><listenAddress>tcp://127.0.0.1:" << self.listenPort
           << "</listenAddress><globalAnnounceEnabled>false</globalAnnounceEnabled>"
              "<localAnnounceEnabled>false</localAnnounceEnabled><relaysEnabled>false</relaysEnabled>"
              "<natEnabled>false</natEnabled><urAccepted>-1</urAccepted>"
              "<crashReportingEnabled>false</crashReportingEnabled><minHomeDiskFree unit=\"%\">0</minHomeDiskFree>"
              "<reconnectionIntervalS>1</reconnectionIntervalS></options>\n</configuration>\n";
}

bool SyncthingPair::launch(Instance& at) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // STMONITORED: no monitor process in between, so that the process id is Syncthing's own and stopping it stops it.
    for (const char* name : {"STNODEFAULTFOLDER", "STNOUPGRADE", "STNORESTART", "STMONITORED"}) {
        environment.insert(name, "1");
    }
    environment.insert("HOME", q(at.home));
    at.process = std::make_unique<QProcess>();
    at.process->setProcessEnvironment(environment);
    // Its console output goes beside its log, out of the test's own.
    at.process->setProcessChannelMode(QProcess::MergedChannels);
    at.process->setStandardOutputFile(q(at.home / "console.log"));
    at.process->start(q(m_binary), {"serve", "--home=" + q(at.home), "--no-browser", "--no-restart", "--no-upgrade",
                                    "--logfile=" + q(at.home / "syncthing.log")});
    if (!at.process->waitForStarted()) {
        error = "syncthing を起動できません";
        return false;
    }
    return true;
}

bool SyncthingPair::start() {
    for (Instance& at : m_at) {
        at.listenPort = free_loopback_port();
        at.guiPort = free_loopback_port();
        std::filesystem::create_directories(at.home);
        if (at.listenPort == 0 || at.guiPort == 0) {
            error = "127.0.0.1 に空いたポートがありません";
            return false;
        }
        if (!generate(at)) {
            return false;
        }
    }
    writeConfig(m_at[0], m_at[1]);
    writeConfig(m_at[1], m_at[0]);
    if (!launch(m_at[0]) || !launch(m_at[1])) {
        return false;
    }
    for (int i = 0, waited = 0; i < 2; ++i) {
        while (!request(i, "GET", "/rest/system/ping")) {
            if (m_at[i].process->waitForFinished(200)) {
                error = "syncthing が起動直後に終了しました（" + (m_at[i].home / "syncthing.log").string() + "）";
                return false;
            }
            if (++waited > 300) {
                error = "syncthing の REST API が 60 秒たっても応えません";
                return false;
            }
        }
    }
    return true;
}

bool SyncthingPair::request(int i, const std::string& method, const std::string& target, std::string* body) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(m_at[i].guiPort);
    const timeval timeout{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    const std::string text = method + " " + target + " HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(m_at[i].guiPort) +
                             "\r\nX-API-Key: " + m_apiKey + "\r\nContent-Length: 0\r\n\r\n";
    std::string answer;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::send(fd, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size())) {
        char buffer[4096];
        for (ssize_t got; (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
            answer.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    const std::size_t headEnd = answer.find("\r\n\r\n");
    const bool ok = answer.starts_with("HTTP/1.") && headEnd != std::string::npos && answer[9] == '2';
    if (ok && body != nullptr) {
        *body = answer.substr(headEnd + 4);
    }
    return ok;
}

bool SyncthingPair::setPaused(bool paused) {
    const std::string call = paused ? "/rest/system/pause?device=" : "/rest/system/resume?device=";
    return request(0, "POST", call + m_at[1].deviceId) && request(1, "POST", call + m_at[0].deviceId);
}

bool SyncthingPair::connected() {
    // {"connections":{"<ID>":{..."connected":true,...}}}
    std::string body;
    return request(0, "GET", "/rest/system/connections", &body) &&
           std::regex_search(body,
                             std::regex("\"" + m_at[1].deviceId + "\"\\s*:\\s*\\{[^}]*\"connected\"\\s*:\\s*true"));
}
