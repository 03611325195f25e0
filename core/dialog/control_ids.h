#pragma once

namespace tessel {

// Controls of the main dialog, by the ids the window template gives them.
enum ControlId : int {
    kCloseButton = 1,
    kAddressEdit = 1000,
    kLoginIdEdit = 1001,
    kPasswordEdit = 1002,
    kFtpPortEdit = 1003,
    kFirmwareButton = 1004,
    kScriptButton = 1005,
    kFirmwareVersionEdit = 1006,
    kScriptVersionEdit = 1007,
    kStatusLine = 1008,
    kDetailLine = 1009,
};

}  // namespace tessel
