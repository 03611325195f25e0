#include "cli/version_text.h"

#include "cli/transfer_engine.h"
#include "version/tessel_version.h"

namespace tessel::cli {

std::string VersionText() {
    const std::string version(kTesselVersion);
    return "tessel-cli " + version + "\nSkiffS " + version + "\n" + TransferEngineVersion() + "\n";
}

}  // namespace tessel::cli
