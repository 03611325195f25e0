#include "devsim/posix/parent_death.h"

#include <sys/prctl.h>

#include <csignal>

namespace tessel::devsim {

void EndWithParent() { prctl(PR_SET_PDEATHSIG, SIGTERM); }

}  // namespace tessel::devsim
