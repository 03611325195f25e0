#pragma once

namespace tessel::devsim {

// Run in a child process between its fork and its exec: the child is sent SIGTERM when the simulator ends,
// however it ends, so that no FTP server outlives its device.
void EndWithParent();

}  // namespace tessel::devsim
