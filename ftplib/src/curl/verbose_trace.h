// The FTP conversation on standard error, for SKIFFS_VERBOSE.
#pragma once

#include <curl/curl.h>

#include <cstddef>

namespace skiffs {

// Writes one piece of libcurl's conversation, prefixed "> " (sent), "< " (received) or "* " (libcurl's own
// remarks). The argument of a PASS command is written as asterisks: the password never reaches a log.
void TraceConversation(curl_infotype type, const char* data, std::size_t size);

// A CURLOPT_DEBUGFUNCTION that only traces.
int TraceDebug(CURL* handle, curl_infotype type, char* data, std::size_t size, void* user);

}  // namespace skiffs
