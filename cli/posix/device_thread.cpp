#include "cli/device_thread.h"

#include <pthread.h>
#include <signal.h>

#include <memory>
#include <system_error>

namespace tessel::cli {
namespace {

extern "C" void* RunWork(void* argument) {
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(argument));
    (*work)();
    return nullptr;
}

}  // namespace

struct DeviceThread::Handle {
    pthread_t thread{};
    bool joined = false;
};

DeviceThread::DeviceThread(std::function<void()> work) : handle_(std::make_unique<Handle>()) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kStackBytes);
    auto argument = std::make_unique<std::function<void()>>(std::move(work));
    // The thread, and every thread it starts, takes no signals: the stop signals reach the runner's loop, and
    // no blocking call of a device's run fails with EINTR.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    const int error = pthread_create(&handle_->thread, &attributes, RunWork, argument.get());
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    pthread_attr_destroy(&attributes);
    if (error != 0) throw std::system_error(error, std::generic_category(), "no thread for the device");
    argument.release();
}

DeviceThread::~DeviceThread() = default;

void DeviceThread::join() {
    if (handle_->joined) return;
    pthread_join(handle_->thread, nullptr);
    handle_->joined = true;
}

}  // namespace tessel::cli
