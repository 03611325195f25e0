#include "platform/skiffs/skiffs_uploader.h"

#include "SkiffS/SkiffS.h"

namespace tessel {

// The texts go as they are: the library checks their limits itself (a host longer than it takes is its
// argument error), so nothing is cut here.
int SkiffsUploader::sendFile(const UploadRequest& request) {
    return CSkiffClient().Skiff_SendD(request.host.c_str(), request.user.c_str(), request.password.c_str(),
                                      request.port, request.transferMode, request.localPath.c_str(),
                                      request.remotePath.c_str(), request.passive, request.codeConversion);
}

}  // namespace tessel
