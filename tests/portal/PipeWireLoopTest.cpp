// PipeWire hands each frame to the program's loop from a data thread of its own: the frame must wait for the
// program's thread, which the loop's file descriptor wakes, and never be taken in by PipeWire's thread beside the
// readings of the picture.

#include "platform/portal/PipeWireCapture.h"

#include <gtest/gtest.h>
#include <pipewire/pipewire.h>

#include <poll.h>

#include <thread>

namespace {
int recordThread(spa_loop*, bool, std::uint32_t, const void*, std::size_t, void* ranIn) {
    *static_cast<std::thread::id*>(ranIn) = std::this_thread::get_id();
    return 0;
}
} // namespace

TEST(PipeWireLoopTest, WorkHandedOverByAnotherThreadWakesTheLoopAndRunsInItsOwnThread) {
    PipeWireLoop loop;
    std::thread::id ranIn;
    std::thread([&] { pw_loop_invoke(loop.loop(), recordThread, 0, nullptr, 0, false, &ranIn); }).join();
    EXPECT_EQ(ranIn, std::thread::id());

    pollfd woken{loop.fileDescriptor(), POLLIN, 0};
    EXPECT_EQ(::poll(&woken, 1, 5000), 1);
    loop.iterate(0);

    EXPECT_EQ(ranIn, std::this_thread::get_id());
}
