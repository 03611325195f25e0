// One FTP session (one control connection) of a call, on libcurl. Every request after the login
// reuses the connection, and each starts from the login directory.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "job_record.h"

namespace skiffs {

class FtpSession {
public:
    // Hands out the next bytes of an upload into buf (at most max); 0 ends the file.
    using Source = std::function<std::size_t(char* buf, std::size_t max)>;
    // Takes the next bytes of a download; false stops the transfer.
    using Sink = std::function<bool(const char* data, std::size_t size)>;

    enum class Outcome { Done, Failed, StoppedBySink };

    explicit FtpSession(const JobRecord& record);
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    // Connects and logs in. False when the server cannot be reached, refuses the login or is silent.
    bool Connect();

    // Enters dir, relative to the login directory unless it starts with "/" ("" is the login
    // directory). The next request goes back to the login directory first.
    bool EnterDirectory(std::string_view dir);

    // Stores the source's bytes under path, in the record's transfer type.
    Outcome Store(std::string_view path, const Source& source);

    // Retrieves path into the sink.
    Outcome Retrieve(std::string_view path, const Sink& sink);

    // The listing (LIST) of dir, relative to the login directory ("" is the login directory).
    std::optional<std::string> List(std::string_view dir);

private:
    Outcome Retrieve(std::string_view path, long fileMethod, const Sink& sink);
    // Resets the handle for the next request on the same connection.
    void Prepare(std::string_view path, long fileMethod);

    void* curl_;
    std::string base_;
    std::string user_;
    std::string password_;
    bool ascii_;
    bool passive_;
    long timeoutSeconds_;
};

}  // namespace skiffs
