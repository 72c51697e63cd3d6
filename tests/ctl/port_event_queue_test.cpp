#include <gtest/gtest.h>

#include <thread>

#include "ctl/port_event_queue.h"

namespace zentrik {
namespace {

// Generous bound for waits that should end on a post long before it.
constexpr auto kBound = std::chrono::seconds(10);

TEST(PortEventQueue, DeliversEveryPostFromAnotherThreadInOrder) {
    PortEventQueue queue;
    ASSERT_TRUE(queue.Ok());
    constexpr int kPosts = 5000;
    std::thread poster([&] {
        for (int i = 0; i < kPosts; ++i) {
            queue.PostPortEvent(WM_PORT_EVENT, static_cast<std::uintptr_t>(i), 0);
        }
    });
    std::vector<std::uintptr_t> got;
    const auto giveUp = LoopClock::now() + kBound;
    while (got.size() < kPosts && LoopClock::now() < giveUp) {
        queue.Wait(giveUp, got);
    }
    poster.join();
    ASSERT_EQ(got.size(), static_cast<std::size_t>(kPosts));
    for (int i = 0; i < kPosts; ++i) {
        ASSERT_EQ(got[static_cast<std::size_t>(i)], static_cast<std::uintptr_t>(i));
    }
    // Nothing left over, and no stale signal that would hand out anything more.
    std::vector<std::uintptr_t> rest;
    queue.Wait(std::nullopt, rest);
    EXPECT_TRUE(rest.empty());
}

TEST(PortEventQueue, OtherMessagesAreDropped) {
    PortEventQueue queue;
    queue.PostPortEvent(WM_PORT_EVENT + 1, 1, 0);
    queue.PostPortEvent(WM_PORT_EVENT, 0x81, 0);
    std::vector<std::uintptr_t> got;
    queue.Wait(LoopClock::now() + kBound, got);
    EXPECT_EQ(got, std::vector<std::uintptr_t>{0x81});
}

TEST(PortEventQueue, AWaitingLoopWakesForAPost) {
    PortEventQueue queue;
    std::vector<std::uintptr_t> got;
    std::thread poster([&] { queue.PostPortEvent(WM_PORT_EVENT, 1, 0); });
    const auto giveUp = LoopClock::now() + kBound;
    while (got.empty() && LoopClock::now() < giveUp) {
        queue.Wait(giveUp, got);
    }
    poster.join();
    EXPECT_EQ(got, std::vector<std::uintptr_t>{1});
}

TEST(PortEventQueue, WithNothingPendingAWaitWithoutDeadlineReturnsEmpty) {
    PortEventQueue queue;
    std::vector<std::uintptr_t> got;
    queue.Wait(std::nullopt, got);
    queue.Wait(LoopClock::now() - std::chrono::seconds(1), got);
    EXPECT_TRUE(got.empty());
}

}  // namespace
}  // namespace zentrik
