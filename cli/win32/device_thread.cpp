#include "cli/device_thread.h"

#include <process.h>
#include <windows.h>

#include <cerrno>
#include <system_error>

namespace tessel::cli {
namespace {

unsigned __stdcall RunWork(void* argument) {
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(argument));
    (*work)();
    return 0;
}

}  // namespace

struct DeviceThread::Handle {
    HANDLE thread = nullptr;
    bool joined = false;
};

// Windows delivers Ctrl+C on a thread of its own: the device's thread needs no signal mask.
DeviceThread::DeviceThread(std::function<void()> work) : handle_(std::make_unique<Handle>()) {
    auto argument = std::make_unique<std::function<void()>>(std::move(work));
    // The C runtime's thread start, with the stack's reserve (not its commit) set to kStackBytes.
    const std::uintptr_t thread = ::_beginthreadex(nullptr, static_cast<unsigned>(kStackBytes), RunWork,
                                                   argument.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == 0) throw std::system_error(errno, std::generic_category(), "no thread for the device");
    argument.release();
    handle_->thread = reinterpret_cast<HANDLE>(thread);
}

DeviceThread::~DeviceThread() {
    if (handle_->thread != nullptr) ::CloseHandle(handle_->thread);
}

void DeviceThread::join() {
    if (handle_->joined) return;
    ::WaitForSingleObject(handle_->thread, INFINITE);
    handle_->joined = true;
}

}  // namespace tessel::cli
