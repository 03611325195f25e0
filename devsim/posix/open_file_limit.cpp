#include "devsim/posix/open_file_limit.h"

#include <sys/resource.h>

#include <cerrno>
#include <cstring>

namespace tessel::devsim {

bool RaiseOpenFileLimit(std::string& error) {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (limit.rlim_cur == limit.rlim_max) return true;
    limit.rlim_cur = limit.rlim_max;
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace tessel::devsim
