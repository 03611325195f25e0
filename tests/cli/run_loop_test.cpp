// A device's event loop and the stop that reaches it from another thread.
#include "cli/run_loop.h"

#include <gtest/gtest.h>

#include <asio/io_context.hpp>
#include <asio/post.hpp>
#include <asio/steady_timer.hpp>
#include <chrono>
#include <thread>

#include "cli/run_stop.h"
#include "platform/asio/asio_event_pump.h"
#include "recording_uploader.h"

namespace tessel::cli {
namespace {

// Runs the loop; false when it had to be ended by a bound of the test's own.
bool RunBounded(RunLoop& loop) {
    bool bounded = false;
    asio::steady_timer bound(loop.context(), std::chrono::seconds(10));
    bound.async_wait([&](const std::error_code& error) {
        if (error) return;
        bounded = true;
        loop.quit();
    });
    loop.run();
    bound.cancel();
    return !bounded;
}

TEST(RunLoopTest, QuitFromAHandlerEndsTheRunOnceThatHandlerReturnsAndALaterRunWaitsAgain) {
    RunLoop loop;
    AsioEventPump pump(loop.context());
    int handled = 0;
    asio::post(loop.context(), [&] {
        loop.quit();
        // A dispatch inside the handler still runs what waits; the quit holds.
        pump.dispatchPendingEvents();
        ++handled;
    });
    asio::post(loop.context(), [&] { ++handled; });
    ASSERT_TRUE(RunBounded(loop));
    EXPECT_EQ(handled, 2);

    asio::steady_timer timer(loop.context(), std::chrono::milliseconds(20));
    timer.async_wait([&](const std::error_code&) {
        ++handled;
        loop.quit();
    });
    ASSERT_TRUE(RunBounded(loop));
    EXPECT_EQ(handled, 3);
}

TEST(RunStopTest, AStopFromAnotherThreadEndsTheRunningLoopAndCancelsTheUploads) {
    RunLoop loop;
    sim::RecordingUploader uploader;
    RunStop stop;
    stop.attach(uploader, loop);
    // Nothing else would ever end this run.
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        stop.stop();
    });
    EXPECT_TRUE(RunBounded(loop));
    stopper.join();
    EXPECT_TRUE(uploader.cancelled);
    EXPECT_EQ(uploader.sendFile({}), sim::RecordingUploader::kCancelledResult);
    // Every later run of the stopped loop returns at once.
    EXPECT_TRUE(RunBounded(loop));
    stop.detach();
}

TEST(RunStopTest, AStopBeforeTheRunStartsReachesTheUploaderAndLoopWhenTheyAttach) {
    RunLoop loop;
    sim::RecordingUploader uploader;
    RunStop stop;
    stop.stop();
    stop.attach(uploader, loop);
    EXPECT_TRUE(uploader.cancelled);
    EXPECT_TRUE(RunBounded(loop));
    stop.detach();
}

}  // namespace
}  // namespace tessel::cli
