#include "link/serial/serial_line.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "link/serial/serial_io_record_posix.h"
#include "support/pty_pair.h"

namespace zentrik {
namespace {

class SerialLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.Ok());
        ASSERT_EQ(m_line.Open(m_pty.SlavePath().c_str()), kErrorSuccess);
    }

    // Waits (bounded) until the port has received bytes.
    void WaitForInput() { ASSERT_EQ(m_line.WaitForEvent(nullptr, 2000), kErrorSuccess); }

    test::PtyPair m_pty;
    CSerialLine m_line;
};

TEST_F(SerialLineTest, OpenAppliesDefaultsAndReopens) {
    EXPECT_TRUE(m_line.IsOpen());
    EXPECT_EQ(m_line.GetBaudRate(), 19200);
    EXPECT_EQ(m_line.GetDataBits(), 8);
    EXPECT_EQ(m_line.GetParity(), kParityNone);
    EXPECT_EQ(m_line.GetStopBits(), kStopBitsOne);
    EXPECT_EQ(m_line.GetFlowControl(), kFlowOff);
    EXPECT_EQ(m_line.GetEventMask(), kDefaultEventMask);

    EXPECT_EQ(m_line.Close(), kErrorSuccess);
    EXPECT_FALSE(m_line.IsOpen());
    EXPECT_EQ(m_line.Close(), kErrorSuccess);
    // The exclusive hold is released on close.
    ASSERT_EQ(m_line.Open(m_pty.SlavePath().c_str()), kErrorSuccess);
    EXPECT_EQ(m_line.Write("ok", 2), kErrorSuccess);
    EXPECT_EQ(m_pty.ReadMaster(2, 2000), "ok");
}

TEST_F(SerialLineTest, SecondOpenOfSameObjectFailsAndKeepsPort) {
    EXPECT_EQ(m_line.Open(m_pty.SlavePath().c_str()), kErrorAlreadyInitialized);
    EXPECT_EQ(m_line.LastError(), kErrorAlreadyInitialized);
    EXPECT_TRUE(m_line.IsOpen());
    EXPECT_EQ(m_line.Write("x", 1), kErrorSuccess);
    EXPECT_EQ(m_pty.ReadMaster(1, 2000), "x");
}

TEST_F(SerialLineTest, PortIsExclusiveWhileHeld) {
    CSerialLine other;
    EXPECT_EQ(other.Open(m_pty.SlavePath().c_str()), EBUSY);
    EXPECT_FALSE(other.IsOpen());

    // Another process.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CSerialLine inChild;
        _exit(inChild.Open(m_pty.SlavePath().c_str()) == EBUSY ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    // Once released, the other object gets it, and then holds it against us.
    m_line.Close();
    ASSERT_EQ(other.Open(m_pty.SlavePath().c_str()), kErrorSuccess);
    EXPECT_EQ(m_line.Open(m_pty.SlavePath().c_str()), EBUSY);
    EXPECT_FALSE(m_line.IsOpen());
}

TEST_F(SerialLineTest, PortLockedByAnotherProgramIsBusy) {
    m_line.Close();
    int fd = ::open(m_pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(m_line.Open(m_pty.SlavePath().c_str()), EBUSY);
    ::close(fd);
    EXPECT_EQ(m_line.Open(m_pty.SlavePath().c_str()), kErrorSuccess);
}

TEST(SerialLineOpen, BadDevicesFailWithPlatformErrorAndStayClosed) {
    CSerialLine line;
    EXPECT_EQ(line.Open("/dev/zentrik-no-such-port"), ENOENT);
    EXPECT_FALSE(line.IsOpen());
    EXPECT_EQ(line.Open("/dev/null"), ENOTTY);
    EXPECT_FALSE(line.IsOpen());
    EXPECT_EQ(line.Open(""), kErrorInvalidArg);
    EXPECT_EQ(line.Open(nullptr), kErrorInvalidArg);
    EXPECT_FALSE(line.IsOpen());
}

TEST(SerialLineClosed, EveryOperationFailsWithInvalidHandle) {
    CSerialLine line;
    char buffer[8];
    std::uint32_t count = 99;
    std::vector<std::function<std::int32_t()>> calls = {
        [&] { return line.SetLineFormat(19200, 8, 0, 0); },
        [&] { return line.SetEventCharacter('x', true); },
        [&] { return line.SetEventMask(kDefaultEventMask); },
        [&] { return line.WaitForEvent(nullptr, 0); },
        // The handle test comes before the argument test.
        [&] { return line.SetFlowControl(3); },
        [&] { return line.SetReadMode(2); },
        [&] { return line.Purge(); },
        [&] { return line.WriteString("abc", &count); },
        [&] { return line.Write("abc", 3, &count); },
        [&] { return line.Read(buffer, sizeof buffer, &count); },
    };
    for (std::size_t i = 0; i < calls.size(); ++i) {
        count = 99;
        EXPECT_EQ(calls[i](), kErrorInvalidHandle) << "call " << i;
        EXPECT_EQ(line.LastError(), kErrorInvalidHandle) << "call " << i;
    }
    EXPECT_EQ(count, 0u);  // reads and writes clear the count first

    std::vector<std::function<std::int32_t()>> getters = {
        [&] { return line.GetBaudRate(); },    [&] { return line.GetDataBits(); },
        [&] { return line.GetParity(); },      [&] { return line.GetStopBits(); },
        [&] { return line.GetFlowControl(); },
    };
    for (std::size_t i = 0; i < getters.size(); ++i) {
        EXPECT_EQ(getters[i](), -1) << "getter " << i;
        EXPECT_EQ(line.LastError(), kErrorInvalidHandle) << "getter " << i;
    }
    EXPECT_EQ(line.GetEventMask(), 0u);
    EXPECT_EQ(line.LastError(), kErrorInvalidHandle);
    EXPECT_EQ(line.GetEventCharacter(), 0);
    EXPECT_EQ(line.LastError(), kErrorInvalidHandle);
    EXPECT_EQ(line.Close(), kErrorSuccess);
    EXPECT_EQ(line.LastError(), kErrorSuccess);
}

TEST_F(SerialLineTest, InvalidKindsAreRejectedWithoutChange) {
    ASSERT_EQ(m_line.SetFlowControl(kFlowSoftware), kErrorSuccess);
    EXPECT_EQ(m_line.SetFlowControl(3), kErrorInvalidArg);
    EXPECT_EQ(m_line.SetFlowControl(-1), kErrorInvalidArg);
    EXPECT_EQ(m_line.GetFlowControl(), kFlowSoftware);

    // Blocking mode must survive a rejected change: a read then still waits for its count.
    ASSERT_EQ(m_line.SetReadMode(kReadBlocking), kErrorSuccess);
    EXPECT_EQ(m_line.SetReadMode(2), kErrorInvalidArg);
    EXPECT_EQ(m_line.LastError(), kErrorInvalidArg);
    ASSERT_TRUE(m_pty.WriteMaster("a"));
    char buffer[2];
    std::uint32_t count = 0;
    EXPECT_EQ(m_line.Read(buffer, 2, &count, nullptr, 50), kErrorTimeout);
    EXPECT_EQ(count, 1u);
}

TEST_F(SerialLineTest, GettersReflectWhatWasSet) {
    // What a pseudo-terminal can hold: any speed and stop bits, with 8 bits and no parity.
    const std::uint32_t bauds[] = {9600, 115200, 2400, 19200};
    for (std::uint32_t baud : bauds) {
        std::uint8_t stopBits = baud == 2400 ? kStopBitsTwo : kStopBitsOne;
        ASSERT_EQ(m_line.SetLineFormat(baud, 8, kParityNone, stopBits), kErrorSuccess) << baud;
        EXPECT_EQ(m_line.GetBaudRate(), static_cast<std::int32_t>(baud));
        EXPECT_EQ(m_line.GetDataBits(), 8);
        EXPECT_EQ(m_line.GetParity(), kParityNone);
        EXPECT_EQ(m_line.GetStopBits(), stopBits);
    }
    for (int kind : {kFlowHardware, kFlowSoftware, kFlowOff}) {
        ASSERT_EQ(m_line.SetFlowControl(kind), kErrorSuccess);
        EXPECT_EQ(m_line.GetFlowControl(), kind);
    }
    ASSERT_EQ(m_line.SetEventMask(kEventRxChar), kErrorSuccess);
    EXPECT_EQ(m_line.GetEventMask(), kEventRxChar);
}

TEST_F(SerialLineTest, FormatsRefusedByTheDriverFailAndChangeNothing) {
    ASSERT_EQ(m_line.SetLineFormat(9600, 8, kParityNone, kStopBitsTwo), kErrorSuccess);
    // A pseudo-terminal forces 8 data bits and no parity; claiming success would be a lie.
    EXPECT_EQ(m_line.SetLineFormat(4800, 7, kParityNone, kStopBitsOne), EINVAL);
    EXPECT_EQ(m_line.SetLineFormat(4800, 8, kParityEven, kStopBitsOne), EINVAL);
    // Values no line takes.
    EXPECT_EQ(m_line.SetLineFormat(12345, 8, kParityNone, kStopBitsOne), EINVAL);
    EXPECT_EQ(m_line.SetLineFormat(4800, 9, kParityNone, kStopBitsOne), EINVAL);
    EXPECT_EQ(m_line.SetLineFormat(4800, 8, 5, kStopBitsOne), EINVAL);
    EXPECT_EQ(m_line.SetLineFormat(4800, 8, kParityNone, 3), EINVAL);
    EXPECT_EQ(m_line.SetLineFormat(4800, 8, kParityNone, kStopBitsOneAndHalf), EINVAL);
    EXPECT_EQ(m_line.SetLineFormat(4800, 5, kParityNone, kStopBitsTwo), EINVAL);
    EXPECT_EQ(m_line.LastError(), EINVAL);
    EXPECT_EQ(m_line.GetBaudRate(), 9600);
    EXPECT_EQ(m_line.GetDataBits(), 8);
    EXPECT_EQ(m_line.GetStopBits(), kStopBitsTwo);
}

TEST_F(SerialLineTest, WritesReachThePeer) {
    std::uint32_t written = 0;
    EXPECT_EQ(m_line.WriteString("hello", &written), kErrorSuccess);
    EXPECT_EQ(written, 5u);
    // More than the pty buffers at once: the write must wait for room, not drop bytes.
    std::string big(20000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>(i * 7);
    }
    std::string received;
    std::thread reader([&] { received = m_pty.ReadMaster(5 + big.size(), 5000); });
    EXPECT_EQ(m_line.Write(big.data(), static_cast<std::uint32_t>(big.size()), &written),
              kErrorSuccess);
    reader.join();
    EXPECT_EQ(written, big.size());
    EXPECT_EQ(received, "hello" + big);
}

TEST_F(SerialLineTest, NonBlockingReadReturnsWhatIsThere) {
    char buffer[16];
    std::uint32_t count = 7;
    EXPECT_EQ(m_line.Read(buffer, sizeof buffer, &count), kErrorSuccess);
    EXPECT_EQ(count, 0u);

    ASSERT_TRUE(m_pty.WriteMaster("abc"));
    WaitForInput();
    SerialIoRecord record;
    EXPECT_EQ(m_line.Read(buffer, sizeof buffer, &count, &record), kErrorSuccess);
    EXPECT_EQ(std::string(buffer, count), "abc");
    EXPECT_TRUE(record.completed);
    EXPECT_EQ(record.transferred, 3u);
}

TEST_F(SerialLineTest, BlockingReadWaitsForCountOrTimesOut) {
    ASSERT_EQ(m_line.SetReadMode(kReadBlocking), kErrorSuccess);
    char buffer[8] = {};
    std::uint32_t count = 0;
    std::thread writer([&] {
        m_pty.WriteMaster("12");
        usleep(20000);
        m_pty.WriteMaster("345");
    });
    EXPECT_EQ(m_line.Read(buffer, 5, &count, nullptr, 5000), kErrorSuccess);
    writer.join();
    EXPECT_EQ(std::string(buffer, count), "12345");

    ASSERT_TRUE(m_pty.WriteMaster("xy"));
    EXPECT_EQ(m_line.Read(buffer, 5, &count, nullptr, 50), kErrorTimeout);
    EXPECT_EQ(m_line.LastError(), kErrorTimeout);
    // What did arrive is handed over, not lost.
    EXPECT_EQ(std::string(buffer, count), "xy");
}

TEST_F(SerialLineTest, PurgeDiscardsUnreadInput) {
    ASSERT_TRUE(m_pty.WriteMaster("stale"));
    WaitForInput();
    EXPECT_EQ(m_line.Purge(), kErrorSuccess);
    char buffer[16];
    std::uint32_t count = 0;
    EXPECT_EQ(m_line.Read(buffer, sizeof buffer, &count), kErrorSuccess);
    EXPECT_EQ(count, 0u);
    ASSERT_TRUE(m_pty.WriteMaster("new"));
    WaitForInput();
    EXPECT_EQ(m_line.Read(buffer, sizeof buffer, &count), kErrorSuccess);
    EXPECT_EQ(std::string(buffer, count), "new");
}

TEST_F(SerialLineTest, WaitForEventTimesOutAndTakeEventsMasks) {
    EXPECT_EQ(m_line.WaitForEvent(nullptr, 20), kErrorTimeout);
    ASSERT_TRUE(m_pty.WriteMaster("z"));
    WaitForInput();
    EXPECT_EQ(m_line.TakeEvents(), kEventRxChar);
    EXPECT_EQ(m_line.TakeEvents(), 0u);
    SerialIoRecord record;
    EXPECT_EQ(m_line.WaitForEvent(&record, 2000), kErrorSuccess);
    EXPECT_TRUE(record.completed);
    EXPECT_EQ(record.eventBits, kEventRxChar);
    ASSERT_EQ(m_line.SetEventMask(kEventError), kErrorSuccess);
    EXPECT_EQ(m_line.TakeEvents(), 0u);  // outside the mask
}

TEST_F(SerialLineTest, HungUpDeviceReportsErrors) {
    m_pty.CloseMaster();
    char buffer[4];
    std::uint32_t count = 0;
    EXPECT_NE(m_line.Read(buffer, sizeof buffer, &count), kErrorSuccess);
    EXPECT_EQ(count, 0u);
    EXPECT_NE(m_line.Write("a", 1), kErrorSuccess);
    EXPECT_EQ(m_line.Close(), kErrorSuccess);
}

}  // namespace
}  // namespace zentrik
