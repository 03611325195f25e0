#include "cli/version_text.h"

#include <curl/curl.h>

#include "version/tessel_version.h"

namespace tessel::cli {

std::string VersionText() {
    const std::string version(kTesselVersion);
    return "tessel-cli " + version + "\nSkiffS " + version + "\nlibcurl " + curl_version_info(CURLVERSION_NOW)->version +
           "\n";
}

}  // namespace tessel::cli
