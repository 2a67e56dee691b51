#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

/// Two Syncthing instances on 127.0.0.1 only — listen, device and GUI addresses on loopback ports found free,
/// discovery, relays, NAT and usage reporting off, conflict copies kept — sharing one folder between two data
/// folders, driven through the REST API. The destructor stops both by their process ids, whatever happened.
class SyncthingPair {
public:
    /// `folders`: the two data folders, one per instance.
    SyncthingPair(std::filesystem::path binary, std::filesystem::path scratch,
                  std::vector<std::filesystem::path> folders);
    ~SyncthingPair();
    SyncthingPair(const SyncthingPair&) = delete;
    SyncthingPair& operator=(const SyncthingPair&) = delete;

    /// Generates the keys, writes the configurations and starts both; false with `error()` set when Syncthing
    /// cannot start here.
    bool start();
    const std::string& error() const { return m_error; }

    /// Cuts both off from each other (as two PCs apart) or connects them again.
    bool pause();
    bool resume();
    /// Makes instance `i` look at its folder now.
    bool scan(int i);
    /// True while the two are connected.
    bool connected();

private:
    struct Instance {
        std::filesystem::path home;
        std::filesystem::path folder;
        std::string deviceId;
        int listenPort = 0;
        int guiPort = 0;
        pid_t pid = -1;
    };
    bool generate(Instance& instance);
    void writeConfig(const Instance& self, const Instance& other) const;
    bool launch(Instance& instance);
    /// One request to instance `i`'s REST API; the body of a 2xx answer, else nullopt.
    bool request(int i, const std::string& method, const std::string& target, std::string* body = nullptr);
    void stop(Instance& instance);

    std::filesystem::path m_binary;
    std::filesystem::path m_scratch;
    std::string m_apiKey;
    std::string m_error;
    Instance m_instances[2];
};

/// A TCP port on 127.0.0.1 that nothing listens on now (bound to port 0, then released).
int free_loopback_port();
