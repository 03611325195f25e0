#pragma once

#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "sim_network.h"

namespace tessel::sim {

// Faults the device can show, each drawn per occasion with its probability from one seeded generator.
struct DeviceFaults {
    double refuseConnect = 0;  // a connect attempt is refused although the device is up
    double silence = 0;        // a reply is never sent
    double drop = 0;           // instead of replying, the device drops the connection without a word
    double dropWithRead = 0;   // instead of replying, the device drops it and the client reads 0 bytes
    double split = 0;          // a reply arrives as two blocks
    double garble = 0;         // some bytes of a reply are replaced by letters
    double delay = 0;          // a reply comes late, up to maxDelay
    double merge = 0;          // a reply waits and arrives in one block with the next one
    double wrongReply = 0;     // a reply is replaced by another answer of the device (an error, a value other than 0)
    Millis maxDelay = 90000;
    // After this many refusals in a row the next connect is accepted, so that a run always ends.
    int maxRefusalsInRow = 20;
};

// The device's console as the updater relies on it: a banner on connect, the login ID and password
// prompts, "Login incorrect" or the prompt, replies to commands, and "reboot", after which the device drops
// the connection and refuses new ones until it has restarted.
class ScriptedDevice final : public SimPeer {
public:
    ScriptedDevice(SimNetwork& network, std::uint64_t seed = 1);

    bool acceptsConnection() override;
    // Faults that have struck so far: refusals, silences, drops, garbled, late and split replies.
    long faultsInjected() const { return faultsInjected_; }
    void onConnected(int link) override;
    void onData(int link, std::string_view bytes) override;
    void onClientClosed(int link) override;

    // Sends a block to the client as the device would, with the faults applied, after the given time.
    void reply(int link, std::string text, Millis after = 0);
    bool isRestarting() const;

    std::string loginId = "admin";
    std::string password = "secret";
    std::string banner = "\r\nlogin: ";
    std::string prompt = "\r\n> ";
    Millis restartTime = 8000;
    // Replies to a command after login; unset or empty: the device's own answer (answerCommand).
    std::function<std::vector<std::string>(const std::string& command)> commandReplies;
    // What the version script reports.
    std::string firmwareVersion = "01.07.02";
    // Progress blocks while sysup expands the image, one per interval, before its result.
    int expansionBlocks = 2;
    Millis expansionInterval = 1000;
    bool sysupFails = false;
    DeviceFaults faults;
    // When set, every connect attempt is refused.
    bool down = false;

    std::vector<std::string> commands;
    int logins = 0;
    int rejectedLogins = 0;
    int connections = 0;
    int closedByClient = 0;

private:
    enum class Phase { LoginId, Password, Console };
    struct Session {
        Phase phase = Phase::LoginId;
        std::string user;
        std::string line;
    };

    void onLine(int link, const std::string& line);
    // The echo of a command in one block, then its result; any other command: the echo and the prompt.
    void answerCommand(int link, const std::string& command);
    void restart(int link);
    // Whether the fault of that probability strikes now; every one that does is counted.
    bool chance(double probability);

    SimNetwork& network_;
    std::mt19937_64 random_;
    std::map<int, Session> sessions_;
    Millis restartedAt_ = -1;
    int refusalsInRow_ = 0;
    long faultsInjected_ = 0;
    // Replies held back to arrive with the next one, by link.
    std::map<int, std::string> heldBack_;
};

}  // namespace tessel::sim
