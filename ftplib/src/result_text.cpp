// The texts of the transfer calls' codes.
#include "SkiffS/SkiffS.h"

extern "C" const char* Skiff_ResultText(int code) {
    switch (code) {
    case SKIFF_OK: return "transfer finished, or ended early by a cancel";
    case SKIFF_INVALID_ARGUMENT: return "invalid argument";
    case SKIFF_NO_CONNECTION: return "no connection: the server cannot be reached, refused the login or did not answer";
    case SKIFF_LOCAL_FILE_ERROR: return "the local file cannot be opened";
    case SKIFF_REMOTE_ERROR:
        return "remote side: the remote directory or file is not there, or the server failed or stalled in the "
               "transfer";
    case SKIFF_TEMP_COPY_ERROR: return "the temporary copy of the file cannot be made or read";
    case SKIFF_NO_MEMORY: return "no memory for the calling thread's job record";
    case SKIFF_HOST_BUSY: return "a transfer for the same host is already running";
    case SKIFF_NO_JOB_ENTRY: return "no job entry: too many transfers are running";
    default: return "unknown result code";
    }
}
