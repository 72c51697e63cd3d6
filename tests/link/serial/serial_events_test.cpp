#include <pthread.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/serial/controller_port.h"
#include "link/serial/port_message.h"
#include "support/pty_pair.h"

namespace zentrik {
namespace {

struct Post {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

// Records what the event thread posts, and which thread it is.
class RecordingSink : public PortEventSink {
  public:
    void PostPortEvent(std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) override {
        std::lock_guard<std::mutex> guard(m_lock);
        m_posts.push_back({message, wParam, lParam});
        m_thread = pthread_self();
        m_tid = gettid();
        m_changed.notify_all();
    }

    // Waits (at most timeoutMs) until `count` posts have arrived.
    bool WaitForPosts(std::size_t count, int timeoutMs = 2000) {
        std::unique_lock<std::mutex> guard(m_lock);
        return m_changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                  [&] { return m_posts.size() >= count; });
    }

    std::vector<Post> Posts() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_posts;
    }
    pthread_t Thread() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_thread;
    }
    pid_t Tid() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_tid;
    }

  private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Post> m_posts;
    pthread_t m_thread{};
    pid_t m_tid = 0;
};

// CPU time a live thread of this process has used.
std::int64_t ThreadCpuNs(pthread_t thread) {
    clockid_t clock;
    timespec ts{};
    if (pthread_getcpuclockid(thread, &clock) != 0 || clock_gettime(clock, &ts) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

bool ThreadExists(pid_t tid) {
    struct stat info;
    return stat(("/proc/self/task/" + std::to_string(tid)).c_str(), &info) == 0;
}

// Gives a misbehaving event thread time to post or spin; what is then checked is the
// number of posts and CPU time, never elapsed time.
void Settle() {
    usleep(200000);
}

constexpr std::int64_t kIdleCpuLimitNs = 30'000'000;

class PortEventsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.Ok());
        ASSERT_EQ(m_port.Open(m_pty.SlavePath(), &m_sink, WM_PORT_EVENT, 42, 0, 0), kErrorSuccess);
        ASSERT_TRUE(m_port.EventThreadRunning());
    }

    std::string ReadAll() {
        char buffer[4096];
        std::uint32_t count = 0;
        EXPECT_EQ(m_port.Read(buffer, sizeof buffer, &count), kErrorSuccess);
        return std::string(buffer, count);
    }

    test::PtyPair m_pty;
    RecordingSink m_sink;
    CControllerPort m_port;
};

TEST_F(PortEventsTest, ReceivedBytesArePostedWithParameter) {
    ASSERT_TRUE(m_pty.WriteMaster("xy"));
    ASSERT_TRUE(m_sink.WaitForPosts(1));
    Post post = m_sink.Posts().front();
    EXPECT_EQ(post.message, WM_PORT_EVENT);
    EXPECT_EQ(post.wParam, kEventRxChar);
    EXPECT_EQ(post.lParam, 42);
    EXPECT_NE(m_sink.Tid(), gettid());
    EXPECT_EQ(ReadAll(), "xy");
    // A later notice for bytes already consumed reads nothing.
    EXPECT_EQ(ReadAll(), "");
}

TEST_F(PortEventsTest, UnreadBytesCauseNoEventStorm) {
    const int arrivals = 3;
    for (int i = 0; i < arrivals; ++i) {
        ASSERT_TRUE(m_pty.WriteMaster("b"));
        ASSERT_TRUE(m_sink.WaitForPosts(static_cast<std::size_t>(i) + 1));
    }
    std::int64_t cpuBefore = ThreadCpuNs(m_sink.Thread());
    Settle();  // the bytes stay unread
    EXPECT_EQ(m_sink.Posts().size(), static_cast<std::size_t>(arrivals));
    EXPECT_LT(ThreadCpuNs(m_sink.Thread()) - cpuBefore, kIdleCpuLimitNs);
    // Unread data does not hide a new arrival.
    ASSERT_TRUE(m_pty.WriteMaster("c"));
    EXPECT_TRUE(m_sink.WaitForPosts(arrivals + 1));
    EXPECT_EQ(ReadAll(), "bbbc");
}

TEST_F(PortEventsTest, CloseReturnsAfterTheThreadEnded) {
    ASSERT_TRUE(m_pty.WriteMaster("q"));
    ASSERT_TRUE(m_sink.WaitForPosts(1));
    pid_t tid = m_sink.Tid();
    ASSERT_TRUE(ThreadExists(tid));
    EXPECT_EQ(m_port.Close(), kErrorSuccess);
    EXPECT_FALSE(ThreadExists(tid));
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_FALSE(m_port.EventThreadRunning());
    // Nothing is posted for a closed port, and it reopens cleanly.
    ASSERT_TRUE(m_pty.WriteMaster("r"));
    EXPECT_FALSE(m_sink.WaitForPosts(2, 100));
    ASSERT_EQ(m_port.Open(m_pty.SlavePath(), &m_sink, WM_PORT_EVENT, 0, 0, 0), kErrorSuccess);
    ASSERT_TRUE(m_pty.WriteMaster("s"));
    EXPECT_TRUE(m_sink.WaitForPosts(2));
}

TEST_F(PortEventsTest, TimedStopForgetsTheThreadSafely) {
    EXPECT_EQ(m_port.StopEventThread(0), kErrorSuccess);
    EXPECT_FALSE(m_port.EventThreadRunning());
    ASSERT_TRUE(m_pty.WriteMaster("late"));
    // The stop event stays set: a restarted thread ends at once and reports nothing.
    EXPECT_EQ(m_port.StartEventThread(), kErrorSuccess);
    EXPECT_EQ(m_port.StopEventThread(0), kErrorSuccess);
    EXPECT_FALSE(m_sink.WaitForPosts(1, 100));
    // The port itself still works.
    EXPECT_EQ(ReadAll(), "late");
}

TEST(PortEventsLifetime, DestroyingRightAfterTimedStopIsSafe) {
    test::PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    RecordingSink sink;
    for (int i = 0; i < 20; ++i) {
        auto port = std::make_unique<CControllerPort>();
        ASSERT_EQ(port->Open(pty.SlavePath(), &sink, WM_PORT_EVENT, 0, 0, 0), kErrorSuccess);
        ASSERT_TRUE(pty.WriteMaster("x"));
        port->StopEventThread(0);
        port.reset();  // joins the forgotten thread before anything is freed
    }
    CControllerPort port;
    EXPECT_EQ(port.Open(pty.SlavePath(), &sink, WM_PORT_EVENT, 0, 0, 0), kErrorSuccess);
}

TEST_F(PortEventsTest, HangUpIsReportedOnceWithoutSpinning) {
    m_pty.CloseMaster();
    ASSERT_TRUE(m_sink.WaitForPosts(1));
    std::int64_t cpuBefore = ThreadCpuNs(m_sink.Thread());
    ASSERT_GE(cpuBefore, 0);
    Settle();
    std::vector<Post> posts = m_sink.Posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].wParam & 0xFFFF, kEventError);
    EXPECT_LT(ThreadCpuNs(m_sink.Thread()) - cpuBefore, kIdleCpuLimitNs);
    EXPECT_TRUE(m_port.EventThreadRunning());
    EXPECT_EQ(m_port.Close(), kErrorSuccess);
}

TEST(PortEventsMessage, IdZeroPostsTheRegisteredDefault) {
    test::PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    RecordingSink sink;
    CSerialWnd port;
    ASSERT_EQ(port.Open(pty.SlavePath().c_str(), &sink, 0, -5), kErrorSuccess);
    EXPECT_EQ(port.Message(), RegisterPortMessage(kDefaultPortMessageName));
    ASSERT_TRUE(pty.WriteMaster("m"));
    ASSERT_TRUE(sink.WaitForPosts(1));
    EXPECT_EQ(sink.Posts()[0].message, RegisterPortMessage("CSerialWnd_DefaultComMsg"));
    EXPECT_GE(sink.Posts()[0].message, kFirstRegisteredMessage);
    EXPECT_EQ(sink.Posts()[0].lParam, -5);
}

TEST(PortEventsMessage, NullSinkAndFailedOpen) {
    test::PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    CControllerPort port;
    EXPECT_EQ(port.Open("/dev/zentrik-no-such-port", nullptr, WM_PORT_EVENT, 0, 0, 0), ENOENT);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.EventThreadRunning());
    ASSERT_EQ(port.Open(pty.SlavePath(), nullptr, WM_PORT_EVENT, 0, 0, 0), kErrorSuccess);
    EXPECT_EQ(port.Open(pty.SlavePath(), nullptr, WM_PORT_EVENT, 0, 0, 0),
              kErrorAlreadyInitialized);
    EXPECT_TRUE(port.EventThreadRunning());
    ASSERT_TRUE(pty.WriteMaster("n"));
    char c = 0;
    std::uint32_t count = 0;
    ASSERT_EQ(port.WaitForEvent(nullptr, 2000), kErrorSuccess);
    EXPECT_EQ(port.Read(&c, 1, &count), kErrorSuccess);
    EXPECT_EQ(c, 'n');
}

TEST(PortEventsPack, LineErrorsGoToTheHighWord) {
    EXPECT_EQ(CSerialWnd::PackEvent(kEventRxChar | kEventError, kLineErrorFrame),
              (std::uintptr_t{kLineErrorFrame} << 16) | 0x0081u);
    EXPECT_EQ(CSerialWnd::PackEvent(0x12345, 0xABCDE), 0xBCDE2345u);
}

TEST(PortMessageRegistry, SameNameSameIdDistinctNamesDistinctIds) {
    std::uint32_t a = RegisterPortMessage("zentrik-test-a");
    std::uint32_t b = RegisterPortMessage("zentrik-test-b");
    EXPECT_GE(a, kFirstRegisteredMessage);
    EXPECT_GE(b, kFirstRegisteredMessage);
    EXPECT_NE(a, b);
    EXPECT_EQ(RegisterPortMessage(std::string("zentrik-test-a")), a);
    EXPECT_EQ(DefaultPortMessage(), RegisterPortMessage(kDefaultPortMessageName));
    EXPECT_EQ(RegisterPortMessage(""), 0u);
}

}  // namespace
}  // namespace zentrik
