#pragma once

#include <QProcess>
#include <array>
#include <filesystem>
#include <memory>
#include <string>

/// Two Syncthing instances sharing one folder between two data folders, on 127.0.0.1 only (discovery, relays, NAT
/// and usage reporting off, conflict copies kept), driven through the REST API. The destructor stops both by their
/// process ids, whatever happened.
class SyncthingPair {
public:
    SyncthingPair(std::filesystem::path binary, const std::filesystem::path& scratch,
                  std::array<std::filesystem::path, 2> folders);
    ~SyncthingPair();

    /// Generates the keys, writes the configurations and starts both; false with `error` set when Syncthing cannot
    /// start here.
    bool start();
    std::string error;

    /// Cuts the two off from each other (as two PCs apart) or connects them again.
    bool setPaused(bool paused);
    /// Makes instance `i` look at its folder now.
    bool scan(int i) { return request(i, "POST", "/rest/db/scan?folder=soranote"); }
    bool connected();

private:
    struct Instance {
        std::filesystem::path home, folder;
        std::string deviceId, version;
        int listenPort = 0, guiPort = 0;
        std::unique_ptr<QProcess> process;
    };
    bool generate(Instance& at);
    void writeConfig(const Instance& self, const Instance& other) const;
    bool launch(Instance& at);
    /// One request to instance `i`'s REST API: true on a 2xx answer, whose body goes to `body`.
    bool request(int i, const std::string& method, const std::string& target, std::string* body = nullptr);

    std::filesystem::path m_binary;
    std::string m_apiKey;
    Instance m_at[2];
};
