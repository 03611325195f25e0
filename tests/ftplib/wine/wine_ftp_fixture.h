// A test of SkiffS.dll under Wine: a real FTP server through the broker, and a local folder in the
// Windows temporary folder, calling the library as a program would.
#pragma once

#include <memory>
#include <string>

#include "brokered_ftp_server.h"
#include "wine_local_fixture.h"

namespace tessel::test {

class WineFtpTest : public WineLocalTest {
protected:
    void SetUp() override {
        WineLocalTest::SetUp();
        server_ = std::make_unique<BrokeredFtpServer>(ServerOptions());
    }
    void TearDown() override {
        server_.reset();
        WineLocalTest::TearDown();
    }
    virtual BrokeredServerOptions ServerOptions() const { return {}; }

    int Send(const std::string& local, const std::string& remote, int mode = kBinary, int conversion = 0,
             const char* password = nullptr) {
        return CSkiffClient().Skiff_SendD("127.0.0.1", server_->options().user.c_str(),
                                          password ? password : server_->options().password.c_str(), server_->port(),
                                          mode, local.c_str(), remote.c_str(), 1, conversion);
    }
    int Get(const std::string& remote, const std::string& local, int mode = kBinary, int conversion = 0) {
        return CSkiffClient().Skiff_GetD("127.0.0.1", server_->options().user.c_str(),
                                         server_->options().password.c_str(), server_->port(), mode, remote.c_str(),
                                         local.c_str(), 1, conversion);
    }
    int ServerCount(const std::string& prefix) const {
        int count = 0;
        for (const std::string& line : server_->Commands()) count += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return count;
    }

    std::unique_ptr<BrokeredFtpServer> server_;
};

// Cancels the transfer for 127.0.0.1 when it goes out of scope: declared after the future of a transfer
// running in another thread, it ends that transfer before the future waits for it.
struct CancelOnExit {
    ~CancelOnExit() { Skiff_Cancel("127.0.0.1"); }
};

}  // namespace tessel::test
