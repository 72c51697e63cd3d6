// CSerialLine over a termios descriptor. The descriptor is non-blocking; waiting is done
// with poll, bounded by the caller's time-out.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <iterator>

#include "link/serial/serial_io_record_posix.h"
#include "link/serial/serial_line.h"

namespace zentrik {
namespace {

constexpr cc_t kXon = 0x11;
constexpr cc_t kXoff = 0x13;

struct BaudEntry {
    std::uint32_t baud;
    speed_t speed;
};

constexpr BaudEntry kBaudTable[] = {
    {50, B50},         {75, B75},         {110, B110},        {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},        {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},      {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},  {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}};

bool SpeedOf(std::uint32_t baud, speed_t& speed) {
    for (const BaudEntry& entry : kBaudTable) {
        if (entry.baud == baud) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

std::uint32_t BaudOf(speed_t speed) {
    for (const BaudEntry& entry : kBaudTable) {
        if (entry.speed == speed) {
            return entry.baud;
        }
    }
    return 0;
}

int Descriptor(NativeHandle handle) {
    return static_cast<int>(handle);
}

std::int32_t GetTermios(int fd, termios& tio) {
    return tcgetattr(fd, &tio) == 0 ? kErrorSuccess : errno;
}

std::int32_t SetTermios(int fd, const termios& tio) {
    while (tcsetattr(fd, TCSANOW, &tio) != 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return kErrorSuccess;
}

// Applies `wanted` and checks that the driver kept the bits under the masks and the speed:
// tcsetattr succeeds when any part of a change took. A refused change is undone.
std::int32_t SetTermiosChecked(int fd, const termios& old, const termios& wanted,
                               tcflag_t cflagMask, tcflag_t iflagMask) {
    if (std::int32_t error = SetTermios(fd, wanted)) {
        return error;
    }
    termios got{};
    if (std::int32_t error = GetTermios(fd, got)) {
        return error;
    }
    if ((got.c_cflag & cflagMask) != (wanted.c_cflag & cflagMask) ||
        (got.c_iflag & iflagMask) != (wanted.c_iflag & iflagMask) ||
        cfgetospeed(&got) != cfgetospeed(&wanted)) {
        SetTermios(fd, old);
        return EINVAL;
    }
    return kErrorSuccess;
}

// Time left of a caller's time-out, in the form poll takes (-1 waits without limit).
class Deadline {
  public:
    explicit Deadline(std::uint32_t timeoutMs)
        : m_infinite(timeoutMs == kInfiniteTimeout),
          m_end(std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs)) {}

    int RemainingMs() const {
        if (m_infinite) {
            return -1;
        }
        auto left =
            std::chrono::ceil<std::chrono::milliseconds>(m_end - std::chrono::steady_clock::now());
        return left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }

    bool Infinite() const { return m_infinite; }

  private:
    bool m_infinite;
    std::chrono::steady_clock::time_point m_end;
};

// Waits until fd reports one of `events` (or a hang-up). Returns 0, kErrorTimeout or errno.
std::int32_t WaitReady(int fd, short events, const Deadline& deadline, short* revents = nullptr) {
    for (;;) {
        pollfd pfd{fd, events, 0};
        int n = poll(&pfd, 1, deadline.RemainingMs());
        if (n > 0) {
            if (revents) {
                *revents = pfd.revents;
            }
            return kErrorSuccess;
        }
        if (n == 0) {
            return kErrorTimeout;
        }
        if (errno != EINTR) {
            return errno;
        }
    }
}

void Complete(SerialIoRecord* record, std::uint32_t transferred) {
    if (record) {
        record->transferred = transferred;
        record->completed = true;
    }
}

}  // namespace

std::int32_t CSerialLine::OsOpen(const char* deviceName) {
    int fd = ::open(deviceName, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    // TIOCEXCL keeps other openers out (except privileged ones); the advisory lock also
    // covers those and other descriptors of this process.
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        std::int32_t error = errno;
        ::close(fd);
        return error;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        std::int32_t error = (errno == EWOULDBLOCK) ? EBUSY : errno;
        ::close(fd);
        return error;
    }
    if (ioctl(fd, TIOCEXCL) != 0) {
        std::int32_t error = errno;
        ::close(fd);
        return error;
    }
    // Raw 8N1 at 19200, the receiver on and modem lines ignored.
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    tio.c_cc[VSTART] = kXon;
    tio.c_cc[VSTOP] = kXoff;
    cfsetispeed(&tio, B19200);
    cfsetospeed(&tio, B19200);
    if (std::int32_t error = SetTermios(fd, tio)) {
        ioctl(fd, TIOCNXCL);
        ::close(fd);
        return error;
    }
    m_port = fd;
    return kErrorSuccess;
}

// No driver queue sizes to ask for: the tty layer's buffers are fixed.
std::int32_t CSerialLine::OsSetQueueSizes(std::uint32_t, std::uint32_t) {
    return kErrorSuccess;
}

// The raw 19200 8N1 state that OsOpen set is this platform's default configuration.
void CSerialLine::OsApplyDefaultConfig(const char*) {}

void CSerialLine::OsClose() {
    int fd = Descriptor(m_port);
    ioctl(fd, TIOCNXCL);  // TIOCEXCL outlives the descriptor otherwise
    flock(fd, LOCK_UN);
    ::close(fd);
    m_port = kNoHandle;
}

std::int32_t CSerialLine::OsGetLineState(LineState& state) {
    termios tio{};
    if (std::int32_t error = GetTermios(Descriptor(m_port), tio)) {
        return error;
    }
    state.baudRate = BaudOf(cfgetospeed(&tio));
    switch (tio.c_cflag & CSIZE) {
        case CS5:
            state.dataBits = 5;
            break;
        case CS6:
            state.dataBits = 6;
            break;
        case CS7:
            state.dataBits = 7;
            break;
        default:
            state.dataBits = 8;
            break;
    }
    state.parity = kParityNone;
    if ((tio.c_cflag & PARENB) && (tio.c_iflag & INPCK)) {
        bool odd = tio.c_cflag & PARODD;
        if (tio.c_cflag & CMSPAR) {
            state.parity = odd ? kParityMark : kParitySpace;
        } else {
            state.parity = odd ? kParityOdd : kParityEven;
        }
    }
    // Two stop bits with five data bits is one and a half on the wire.
    if (tio.c_cflag & CSTOPB) {
        state.stopBits = state.dataBits == 5 ? kStopBitsOneAndHalf : kStopBitsTwo;
    } else {
        state.stopBits = kStopBitsOne;
    }
    if (tio.c_cflag & CRTSCTS) {
        state.flowControl = kFlowHardware;
    } else if ((tio.c_iflag & IXON) && (tio.c_iflag & IXOFF)) {
        state.flowControl = kFlowSoftware;
    } else {
        state.flowControl = kFlowOff;
    }
    state.eventCharacter = 0;
    return kErrorSuccess;
}

std::int32_t CSerialLine::OsSetLineFormat(std::uint32_t baudRate, std::uint8_t dataBits,
                                          std::uint8_t parity, std::uint8_t stopBits) {
    speed_t speed = B0;
    if (!SpeedOf(baudRate, speed)) {
        return EINVAL;
    }
    tcflag_t size = 0;
    switch (dataBits) {
        case 5:
            size = CS5;
            break;
        case 6:
            size = CS6;
            break;
        case 7:
            size = CS7;
            break;
        case 8:
            size = CS8;
            break;
        default:
            return EINVAL;
    }
    tcflag_t parityFlags = 0;
    switch (parity) {
        case kParityNone:
            break;
        case kParityOdd:
            parityFlags = PARENB | PARODD;
            break;
        case kParityEven:
            parityFlags = PARENB;
            break;
        case kParityMark:
            parityFlags = PARENB | PARODD | CMSPAR;
            break;
        case kParitySpace:
            parityFlags = PARENB | CMSPAR;
            break;
        default:
            return EINVAL;
    }
    // termios has one "more than one stop bit" flag: 1.5 exists only with 5 data bits,
    // 2 only with more.
    bool extraStop = false;
    switch (stopBits) {
        case kStopBitsOne:
            break;
        case kStopBitsOneAndHalf:
            if (dataBits != 5) {
                return EINVAL;
            }
            extraStop = true;
            break;
        case kStopBitsTwo:
            if (dataBits == 5) {
                return EINVAL;
            }
            extraStop = true;
            break;
        default:
            return EINVAL;
    }
    int fd = Descriptor(m_port);
    termios tio{};
    if (std::int32_t error = GetTermios(fd, tio)) {
        return error;
    }
    const termios old = tio;
    const tcflag_t formatBits = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;
    tio.c_cflag &= ~formatBits;
    tio.c_cflag |= size | parityFlags | (extraStop ? CSTOPB : 0);
    if (parity != kParityNone) {
        tio.c_iflag |= INPCK;
    } else {
        tio.c_iflag &= ~static_cast<tcflag_t>(INPCK);
    }
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    // Pseudo-terminals, for one, only do 8 bits without parity.
    return SetTermiosChecked(fd, old, tio, formatBits, INPCK);
}

// A tty reports no event character without reading the data, which only the owner does.
std::int32_t CSerialLine::OsSetEventCharacter(char) {
    return EOPNOTSUPP;
}

// The mask is applied by the event thread when it reports; nothing to tell the driver.
std::int32_t CSerialLine::OsSetEventMask(std::uint32_t) {
    return kErrorSuccess;
}

std::int32_t CSerialLine::OsSetFlowControl(int kind) {
    int fd = Descriptor(m_port);
    termios tio{};
    if (std::int32_t error = GetTermios(fd, tio)) {
        return error;
    }
    const termios old = tio;
    tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (kind == kFlowHardware) {
        tio.c_cflag |= CRTSCTS;
    } else if (kind == kFlowSoftware) {
        tio.c_iflag |= IXON | IXOFF;
        tio.c_cc[VSTART] = kXon;
        tio.c_cc[VSTOP] = kXoff;
    }
    std::int32_t error = SetTermiosChecked(fd, old, tio, CRTSCTS, IXON | IXOFF);
    if (error == kErrorSuccess) {
        // DTR and RTS follow the kind, as on Windows: raised for hardware handshaking,
        // dropped otherwise (a tty raises both when it opens). Devices without modem lines,
        // such as pseudo-terminals, refuse the request; that is no failure of the setting.
        int lines = TIOCM_DTR | TIOCM_RTS;
        ioctl(fd, kind == kFlowHardware ? TIOCMBIS : TIOCMBIC, &lines);
    }
    return error;
}

// The read mode lives in VMIN (0 non-blocking, 1 blocking); the descriptor itself stays
// non-blocking and Read waits with poll.
std::int32_t CSerialLine::OsSetReadMode(int kind) {
    int fd = Descriptor(m_port);
    termios tio{};
    if (std::int32_t error = GetTermios(fd, tio)) {
        return error;
    }
    tio.c_cc[VMIN] = kind == kReadBlocking ? 1 : 0;
    tio.c_cc[VTIME] = 0;
    return SetTermios(fd, tio);
}

std::int32_t CSerialLine::OsWaitForEvent(SerialIoRecord* record, std::uint32_t timeoutMs) {
    std::uint32_t mask = m_eventMask;
    short events = (mask & kEventRxChar) ? POLLIN : 0;
    short revents = 0;
    if (std::int32_t error = WaitReady(Descriptor(m_port), events, Deadline(timeoutMs), &revents)) {
        return error;
    }
    std::uint32_t bits = 0;
    if (revents & POLLIN) {
        bits |= kEventRxChar;
    }
    if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
        bits |= kEventError;
    }
    m_eventBits |= bits;
    if (record) {
        record->eventBits = bits;
        record->completed = true;
    }
    return kErrorSuccess;
}

std::int32_t CSerialLine::OsWrite(const void* data, std::uint32_t length, std::uint32_t& written,
                                  SerialIoRecord* record, std::uint32_t timeoutMs) {
    int fd = Descriptor(m_port);
    const auto* bytes = static_cast<const unsigned char*>(data);
    Deadline deadline(timeoutMs);
    while (written < length) {
        ssize_t n = ::write(fd, bytes + written, length - written);
        if (n > 0) {
            written += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            return errno;
        }
        if (std::int32_t error = WaitReady(fd, POLLOUT, deadline)) {
            return error;
        }
    }
    // "Written" means sent on: wait for the transmitter unless the caller set a limit,
    // which tcdrain could not honour.
    if (deadline.Infinite()) {
        while (tcdrain(fd) != 0) {
            if (errno != EINTR) {
                return errno;
            }
        }
    }
    Complete(record, written);
    return kErrorSuccess;
}

std::int32_t CSerialLine::OsRead(void* buffer, std::uint32_t capacity, std::uint32_t& read,
                                 SerialIoRecord* record, std::uint32_t timeoutMs) {
    int fd = Descriptor(m_port);
    termios tio{};
    if (std::int32_t error = GetTermios(fd, tio)) {
        return error;
    }
    bool blocking = tio.c_cc[VMIN] != 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    Deadline deadline(timeoutMs);
    while (read < capacity) {
        ssize_t n = ::read(fd, bytes + read, capacity - read);
        if (n > 0) {
            read += static_cast<std::uint32_t>(n);
            // A tty read returns everything that has arrived; without waiting, another read
            // would only find nothing.
            if (!blocking) {
                break;
            }
            continue;
        }
        if (n == 0) {
            // With VMIN 0 an empty tty reads 0; so does one that is hung up (device gone).
            short revents = 0;
            WaitReady(fd, POLLIN, Deadline(0), &revents);
            if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
                return EIO;
            }
        } else if (errno == EINTR) {
            continue;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return errno;
        }
        if (!blocking) {
            break;
        }
        // Bytes already read stay counted in `read`, so a time-out loses nothing.
        if (std::int32_t error = WaitReady(fd, POLLIN, deadline)) {
            return error;
        }
    }
    Complete(record, read);
    return kErrorSuccess;
}

std::int32_t CSerialLine::OsPurge() {
    return tcflush(Descriptor(m_port), TCIOFLUSH) == 0 ? kErrorSuccess : errno;
}

}  // namespace zentrik
