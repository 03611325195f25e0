#include <pthread.h>

#include <memory>
#include <system_error>

#include "cli/device_thread.h"

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
    const int error = pthread_create(&handle_->thread, &attributes, RunWork, argument.get());
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
