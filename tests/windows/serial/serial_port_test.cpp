// The Win32 serial port and its event thread against a controller on a COM port: the
// end-to-end run maps the port named by ZENTRIK_TEST_COM_PORT to the simulator.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "link/link_frame.h"
#include "link/serial/port_event_sink.h"
#include "link/serial/serial_wnd.h"

namespace zentrik {
namespace {

using namespace std::chrono_literals;

std::string TestPort() {
    const char* port = std::getenv("ZENTRIK_TEST_COM_PORT");
    return port != nullptr ? port : "";
}

// The port's messages, handed to the test's thread as a window's queue would.
class MessageQueue : public PortEventSink {
  public:
    void PostPortEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) override {
        std::lock_guard<std::mutex> guard(m_lock);
        if (message == WM_PORT_EVENT) {
            m_messages.push_back(wParam);
            ++m_posted;
        }
        m_ready.notify_one();
    }
    bool Next(std::uintptr_t& wParam, std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> guard(m_lock);
        if (!m_ready.wait_for(guard, timeout, [this] { return !m_messages.empty(); })) {
            return false;
        }
        wParam = m_messages.front();
        m_messages.pop_front();
        return true;
    }
    int Posted() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_posted;
    }

  private:
    std::mutex m_lock;
    std::condition_variable m_ready;
    std::deque<std::uintptr_t> m_messages;
    int m_posted = 0;
};

class Win32SerialPort : public ::testing::Test {
  protected:
    void SetUp() override {
        m_device = TestPort();
        ASSERT_FALSE(m_device.empty()) << "ZENTRIK_TEST_COM_PORT names no port";
        ASSERT_EQ(m_port.Open(m_device.c_str(), &m_messages, WM_PORT_EVENT, 0), kErrorSuccess);
        // The link's settings.
        m_port.SetLineFormat(19200, 8, kParityNone, kStopBitsOne);
        m_port.SetFlowControl(kFlowOff);
        m_port.SetEventMask(kDefaultEventMask);
        m_port.SetReadMode(kReadNonBlocking);
        m_port.Purge();
    }

    // One controller-information exchange as the link makes it: every message reads what
    // is waiting, until the reply is complete. False when the messages stop coming.
    bool Exchange(std::vector<std::uint8_t>& reply) {
        const LinkFrame request = LinkFrame::Request(RequestType::ControllerInfo);
        if (m_port.Write(request.data(), static_cast<std::uint32_t>(request.size())) !=
            kErrorSuccess) {
            return false;
        }
        const std::size_t expected = 4 + ReplyBodyLength(3);
        reply.clear();
        while (reply.size() < expected) {
            std::uintptr_t wParam = 0;
            if (!m_messages.Next(wParam, 3s)) {
                return false;
            }
            if ((wParam & kEventRxChar) == 0) {
                continue;
            }
            std::uint8_t buffer[4096];
            std::uint32_t count = 0;
            EXPECT_EQ(m_port.Read(buffer, sizeof buffer, &count), kErrorSuccess);
            reply.insert(reply.end(), buffer, buffer + count);
        }
        return reply.size() == expected;
    }

    std::string m_device;
    MessageQueue m_messages;
    CSerialWnd m_port;
};

TEST_F(Win32SerialPort, SettingsReadBackAndBadKindsChangeNothing) {
    EXPECT_EQ(m_port.GetBaudRate(), 19200);
    EXPECT_EQ(m_port.GetDataBits(), 8);
    EXPECT_EQ(m_port.GetParity(), kParityNone);
    EXPECT_EQ(m_port.GetStopBits(), kStopBitsOne);
    EXPECT_EQ(m_port.GetFlowControl(), kFlowOff);
    EXPECT_EQ(m_port.GetEventMask(), kDefaultEventMask);
    EXPECT_EQ(m_port.SetFlowControl(3), kErrorInvalidArg);
    EXPECT_EQ(m_port.SetReadMode(2), kErrorInvalidArg);
    EXPECT_EQ(m_port.GetFlowControl(), kFlowOff);
    EXPECT_EQ(m_port.Open(m_device.c_str()), kErrorAlreadyInitialized);
    EXPECT_TRUE(m_port.IsOpen());
}

TEST_F(Win32SerialPort, NonBlockingReadOfAnEmptyQueueReturnsAtOnce) {
    std::uint8_t buffer[4096];
    std::uint32_t count = 99;
    EXPECT_EQ(m_port.Read(buffer, sizeof buffer, &count, nullptr, 2000), kErrorSuccess);
    EXPECT_EQ(count, 0u);
}

TEST_F(Win32SerialPort, EveryReplyByteIsReported) {
    // Replies arrive in pieces while the thread is between two waits; a byte that is not
    // reported leaves a reply unfinished and the exchange stalls.
    for (int i = 0; i < 500; ++i) {
        std::vector<std::uint8_t> reply;
        ASSERT_TRUE(Exchange(reply))
            << "exchange " << i << " stalled after " << reply.size() << " bytes";
        EXPECT_TRUE(IsGoodReplyBody(reply.data() + 4, reply.size() - 4)) << "exchange " << i;
    }
}

TEST_F(Win32SerialPort, CloseEndsTheThreadAndItsMessages) {
    const LinkFrame request = LinkFrame::Request(RequestType::ControllerInfo);
    m_port.Write(request.data(), static_cast<std::uint32_t>(request.size()));
    EXPECT_EQ(m_port.Close(), kErrorSuccess);
    const int posted = m_messages.Posted();
    Sleep(300);  // the reply arrives at a closed port
    EXPECT_EQ(m_messages.Posted(), posted);
    std::uint8_t buffer[16];
    std::uint32_t count = 5;
    EXPECT_EQ(m_port.Read(buffer, sizeof buffer, &count), kErrorInvalidHandle);
    EXPECT_EQ(count, 0u);
    // And it opens again.
    EXPECT_EQ(m_port.Open(m_device.c_str(), &m_messages, WM_PORT_EVENT, 0), kErrorSuccess);
}

TEST(Win32SerialPortMissing, OpenFailsAndLeavesThePortClosed) {
    CSerialWnd port;
    MessageQueue messages;
    EXPECT_NE(port.Open("\\\\.\\COM99", &messages, WM_PORT_EVENT, 0), kErrorSuccess);
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
}  // namespace zentrik
