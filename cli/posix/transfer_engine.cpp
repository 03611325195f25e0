#include <curl/curl.h>

#include "cli/transfer_engine.h"

namespace tessel::cli {

std::string TransferEngineVersion() { return std::string("libcurl ") + curl_version_info(CURLVERSION_NOW)->version; }

}  // namespace tessel::cli
