#include "scripted_device.h"

namespace tessel::sim {

ScriptedDevice::ScriptedDevice(SimNetwork& network, std::uint64_t seed) : network_(network), random_(seed) {
    network_.attach(*this);
}

bool ScriptedDevice::chance(double probability) {
    const bool fault = probability > 0 && std::uniform_real_distribution<double>(0, 1)(random_) < probability;
    faultsInjected_ += fault ? 1 : 0;
    return fault;
}

bool ScriptedDevice::isRestarting() const {
    return restartedAt_ >= 0 && network_.scheduler().now() < restartedAt_ + restartTime;
}

bool ScriptedDevice::acceptsConnection() {
    if (down || isRestarting()) return false;
    if (refusalsInRow_ < faults.maxRefusalsInRow && chance(faults.refuseConnect)) {
        ++refusalsInRow_;
        return false;
    }
    refusalsInRow_ = 0;
    return true;
}

void ScriptedDevice::onConnected(int link) {
    ++connections;
    sessions_[link] = Session{};
    if (!banner.empty()) reply(link, banner);
}

void ScriptedDevice::onClientClosed(int link) {
    ++closedByClient;
    sessions_.erase(link);
}

void ScriptedDevice::onData(int link, std::string_view bytes) {
    const auto found = sessions_.find(link);
    if (found == sessions_.end()) return;
    for (const char byte : bytes) {
        if (byte != '\r' && byte != '\n') {
            found->second.line += byte;
            continue;
        }
        const std::string line = std::move(found->second.line);
        found->second.line.clear();
        onLine(link, line);
        if (!sessions_.contains(link)) return;
    }
}

void ScriptedDevice::onLine(int link, const std::string& line) {
    Session& session = sessions_[link];
    switch (session.phase) {
    case Phase::LoginId:
        session.user = line;
        session.phase = Phase::Password;
        reply(link, line + "\r\nPassword: ");
        return;
    case Phase::Password:
        if (session.user == loginId && line == password) {
            ++logins;
            session.phase = Phase::Console;
            reply(link, prompt);
        } else {
            ++rejectedLogins;
            session.phase = Phase::LoginId;
            reply(link, "\r\nLogin incorrect\r\nlogin: ");
        }
        return;
    case Phase::Console:
        commands.push_back(line);
        if (line == "reboot") {
            restart(link);
            return;
        }
        std::vector<std::string> blocks;
        if (commandReplies) blocks = commandReplies(line);
        if (blocks.empty()) {
            answerCommand(link, line);
            return;
        }
        for (std::string& block : blocks) reply(link, std::move(block));
        return;
    }
}

void ScriptedDevice::answerCommand(int link, const std::string& command) {
    const std::string done = "value = 0x0 = 0" + prompt;
    if (command == "exec \"B:\\GetSysVer.wcr\"") {
        reply(link, command + "\r\n");
        reply(link, "  " + firmwareVersion + "  " + done);
    } else if (command == "sysup \"B:\\kbteva.bin\"") {
        reply(link, command + "\r\n");
        reply(link, "Update the firmware with B:\\kbteva.bin? [y/n]");
    } else if (command == "y") {
        reply(link, "y\r\n");
        for (int i = 1; i <= expansionBlocks; ++i) reply(link, "Expanding...\r\n", i * expansionInterval);
        reply(link, sysupFails ? "sysup: error 5" + prompt : done, (expansionBlocks + 1) * expansionInterval);
    } else if (command == "exec \"C:\\www\\lockoff.wcr\"" || command == "exec \"B:\\m_AutoScript.wcr\"") {
        reply(link, command + "\r\n");
        reply(link, done);
    } else {
        reply(link, command + prompt);
    }
}

void ScriptedDevice::restart(int link) {
    reply(link, "reboot\r\n");
    sessions_.erase(link);
    heldBack_.erase(link);
    network_.dropClient(link, false, 10);
    restartedAt_ = network_.scheduler().now();
}

void ScriptedDevice::reply(int link, std::string text, Millis after) {
    if (chance(faults.wrongReply)) {
        static const char* const kWrongReplies[] = {"value = 0x1 = 1\r\n> ", "undefined symbol\r\n> ",
                                                    "error: device busy\r\n> ", "Login: "};
        text = kWrongReplies[std::uniform_int_distribution<int>(0, 3)(random_)];
    }
    if (const auto held = heldBack_.find(link); held != heldBack_.end()) {
        text = held->second + text;
        heldBack_.erase(held);
    }
    if (chance(faults.merge)) {
        heldBack_[link] = std::move(text);
        return;
    }
    if (chance(faults.silence)) return;
    const bool dropSilently = chance(faults.drop);
    if (dropSilently || chance(faults.dropWithRead)) {
        sessions_.erase(link);
        network_.dropClient(link, !dropSilently);
        return;
    }
    if (chance(faults.garble) && !text.empty()) {
        std::uniform_int_distribution<std::size_t> position(0, text.size() - 1);
        // Letters only: noise must not forge the prompt the login looks for.
        std::uniform_int_distribution<int> letter('a', 'z');
        for (int i = 0; i < 3; ++i) text[position(random_)] = static_cast<char>(letter(random_));
    }
    Millis delay = after;
    if (chance(faults.delay)) delay += std::uniform_int_distribution<Millis>(0, faults.maxDelay)(random_);
    if (text.size() > 1 && chance(faults.split)) {
        const std::size_t cut = std::uniform_int_distribution<std::size_t>(1, text.size() - 1)(random_);
        network_.sendToClient(link, text.substr(0, cut), delay);
        network_.sendToClient(link, text.substr(cut), delay);
        return;
    }
    network_.sendToClient(link, std::move(text), delay);
}

}  // namespace tessel::sim
