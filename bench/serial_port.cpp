// Serial port layer over a pseudo-terminal:
//  (a) CPU time of the event thread while a byte arrives every 100 ms for 10 s;
//  (b) round trips of 15360 two-byte units through CControllerPort with an echo peer on
//      the master side: write 2 bytes, wait for the posted event, read 2 bytes;
//  (c) the same round trips against the controller simulator (zentrik-sim, another process)
//      after it has granted flash permission, so each unit is echoed as in an upgrade.
// Usage: bench_serial_port [seconds for (a), default 10] [round trips, default 15360]
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <pty.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/link_frame.h"
#include "link/serial/controller_port.h"

using namespace zentrik;
using Clock = std::chrono::steady_clock;

namespace {

// Wakes the waiting thread for every post, like the frame's message queue would.
class WaitingSink : public PortEventSink {
  public:
    void PostPortEvent(std::uint32_t, std::uintptr_t, std::intptr_t) override {
        std::lock_guard<std::mutex> guard(m_lock);
        ++m_posts;
        m_thread = pthread_self();
        m_haveThread = true;
        m_changed.notify_one();
    }

    // Waits for a post after `seen`; returns the new post count (seen when timed out).
    std::uint64_t WaitAfter(std::uint64_t seen, int timeoutMs) {
        std::unique_lock<std::mutex> guard(m_lock);
        m_changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                           [&] { return m_posts > seen; });
        return m_posts;
    }

    std::uint64_t Posts() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_posts;
    }

    // CPU time of the posting (event) thread so far, in ns; -1 before its first post.
    std::int64_t EventThreadCpuNs() {
        std::lock_guard<std::mutex> guard(m_lock);
        clockid_t clock;
        timespec ts{};
        if (!m_haveThread || pthread_getcpuclockid(m_thread, &clock) != 0 ||
            clock_gettime(clock, &ts) != 0) {
            return -1;
        }
        return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }

  private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::uint64_t m_posts = 0;
    pthread_t m_thread{};
    bool m_haveThread = false;
};

struct Pty {
    int master = -1;
    int slaveHolder = -1;
    std::string slavePath;

    bool Open() {
        char name[256] = {};
        if (openpty(&master, &slaveHolder, name, nullptr, nullptr) != 0) {
            return false;
        }
        termios tio{};
        tcgetattr(slaveHolder, &tio);
        cfmakeraw(&tio);
        tcsetattr(slaveHolder, TCSANOW, &tio);
        slavePath = name;
        return true;
    }
    ~Pty() {
        if (master >= 0) {
            close(master);
        }
        if (slaveHolder >= 0) {
            close(slaveHolder);
        }
    }
};

// The line settings the link applies after opening.
void ApplyLinkSettings(CControllerPort& port) {
    port.SetLineFormat(19200, 8, kParityNone, kStopBitsOne);
    port.SetFlowControl(kFlowOff);
    port.SetEventMask(kDefaultEventMask);
    port.SetReadMode(kReadNonBlocking);
    port.Purge();
}

double Ms(std::int64_t ns) {
    return static_cast<double>(ns) / 1e6;
}

int CpuOfEventThreadWithSlowArrivals(int seconds) {
    Pty pty;
    WaitingSink sink;
    CControllerPort port;
    if (!pty.Open() || port.Open(pty.slavePath, &sink, WM_PORT_EVENT, 0, 0, 0) != 0) {
        std::fprintf(stderr, "cannot open a pseudo-terminal port\n");
        return 1;
    }
    std::atomic<bool> writing{true};
    const int arrivals = seconds * 10;
    std::thread device([&] {
        for (int i = 0; i < arrivals; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            unsigned char byte = static_cast<unsigned char>(i);
            if (write(pty.master, &byte, 1) != 1) {
                break;
            }
        }
        writing = false;
    });
    // The owner's side: read on every post, as the link does.
    std::uint64_t seen = 0;
    std::uint64_t bytes = 0;
    while (writing || bytes < static_cast<std::uint64_t>(arrivals)) {
        seen = sink.WaitAfter(seen, 200);
        unsigned char buffer[4096];
        std::uint32_t count = 0;
        port.Read(buffer, sizeof buffer, &count);
        bytes += count;
        if (!writing && count == 0 && sink.Posts() == seen) {
            break;
        }
    }
    device.join();
    std::int64_t cpu = sink.EventThreadCpuNs();
    port.Close();
    std::printf(
        "(a) %d s, one byte every 100 ms: %llu bytes, %llu notifications, event thread "
        "CPU %.3f ms (%.1f us per notification)\n",
        seconds, static_cast<unsigned long long>(bytes),
        static_cast<unsigned long long>(sink.Posts()), Ms(cpu),
        sink.Posts() ? static_cast<double>(cpu) / 1e3 / static_cast<double>(sink.Posts()) : 0.0);
    return 0;
}

struct RoundTripStats {
    int units = 0;
    double totalS = 0;
    std::vector<double> samplesUs;
    int failures = 0;
    std::int64_t eventThreadCpuNs = 0;

    void Print(const char* label) const {
        std::vector<double> sorted = samplesUs;
        std::sort(sorted.begin(), sorted.end());
        double sum = 0;
        for (double sample : samplesUs) {
            sum += sample;
        }
        auto percentile = [&](double p) {
            return sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(
                                                          p * static_cast<double>(sorted.size())))];
        };
        std::printf(
            "%s: %d round trips of 2 bytes: total %.3f s, mean %.1f us, p50 %.1f us, "
            "p99 %.1f us, max %.1f us, %d wrong or missing echoes, event thread CPU "
            "%.1f us per round trip\n",
            label, units, totalS, sum / static_cast<double>(samplesUs.size()), percentile(0.50),
            percentile(0.99), sorted.back(), failures,
            static_cast<double>(eventThreadCpuNs) / 1e3 / (units > 1 ? units - 1 : 1));
    }
};

// Writes `units` two-byte units and waits for each echo through the posted events.
RoundTripStats TimeRoundTrips(CControllerPort& port, WaitingSink& sink, int units) {
    RoundTripStats stats;
    stats.units = units;
    std::vector<double>& samplesUs = stats.samplesUs;
    int& failures = stats.failures;
    samplesUs.reserve(static_cast<std::size_t>(units));
    std::uint64_t seen = sink.Posts();
    std::int64_t cpuBefore = -1;
    auto start = Clock::now();
    for (int i = 0; i < units; ++i) {
        unsigned char unit[2] = {static_cast<unsigned char>(i >> 8), static_cast<unsigned char>(i)};
        auto t0 = Clock::now();
        port.Write(unit, 2);
        unsigned char echoed[2];
        std::uint32_t got = 0;
        while (got < 2) {
            std::uint64_t now = sink.WaitAfter(seen, 1000);
            if (now == seen) {
                break;
            }
            seen = now;
            std::uint32_t count = 0;
            port.Read(echoed + got, 2 - got, &count);
            got += count;
        }
        auto t1 = Clock::now();
        if (got != 2 || echoed[0] != unit[0] || echoed[1] != unit[1]) {
            ++failures;
        }
        samplesUs.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        if (i == 0) {
            cpuBefore = sink.EventThreadCpuNs();
        }
    }
    stats.totalS = std::chrono::duration<double>(Clock::now() - start).count();
    stats.eventThreadCpuNs = sink.EventThreadCpuNs() - cpuBefore;
    return stats;
}

// The simulator as a child process: its first stdout line is the device path; it serves
// until its stdin closes.
struct Simulator {
    pid_t pid = -1;
    int stdinWrite = -1;
    std::string devicePath;

    bool Start(const std::string& program) {
        int in[2];
        int out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
            return false;
        }
        pid = fork();
        if (pid == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        stdinWrite = in[1];
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n') {
            devicePath.push_back(c);
        }
        close(out[0]);
        return pid > 0 && !devicePath.empty();
    }

    ~Simulator() {
        if (stdinWrite >= 0) {
            close(stdinWrite);
        }
        if (pid > 0) {
            int status = 0;
            waitpid(pid, &status, 0);
        }
    }
};

// Reads `length` bytes through the posted events, waiting at most `timeoutMs` per event.
bool ReadExactly(CControllerPort& port, WaitingSink& sink, std::uint64_t& seen,
                 unsigned char* buffer, std::uint32_t length, int timeoutMs) {
    std::uint32_t got = 0;
    while (got < length) {
        std::uint32_t count = 0;
        port.Read(buffer + got, length - got, &count);
        got += count;
        if (got == length) {
            break;
        }
        std::uint64_t now = sink.WaitAfter(seen, timeoutMs);
        if (now == seen) {
            return false;
        }
        seen = now;
    }
    return true;
}

int RoundTripsWithSimulator(int units) {
    Simulator sim;
    if (!sim.Start(std::string(ZENTRIK_BINARY_DIR) + "/tools/zentrik-sim")) {
        std::fprintf(stderr, "cannot start the simulator\n");
        return 1;
    }
    WaitingSink sink;
    CControllerPort port;
    if (port.Open(sim.devicePath, &sink, WM_PORT_EVENT, 0, 0, 0) != 0) {
        std::fprintf(stderr, "cannot open %s\n", sim.devicePath.c_str());
        return 1;
    }
    ApplyLinkSettings(port);

    const LinkFrame request = LinkFrame::Request(RequestType::FlashPermission);
    std::uint64_t seen = sink.Posts();
    port.Write(request.data(), static_cast<std::uint32_t>(request.size()));
    unsigned char grant[8];
    const LinkFrame expected = LinkFrame::Reply(238, 0);
    if (!ReadExactly(port, sink, seen, grant, sizeof grant, 2000) ||
        !std::equal(grant, grant + 8, expected.bytes().begin())) {
        std::fprintf(stderr, "the simulator did not grant flash permission\n");
        return 1;
    }
    RoundTripStats stats = TimeRoundTrips(port, sink, units);
    port.Close();
    stats.Print("(c) zentrik-sim");
    return stats.failures == 0 ? 0 : 1;
}

int RoundTrips(int units) {
    Pty pty;
    WaitingSink sink;
    CControllerPort port;
    if (!pty.Open() || port.Open(pty.slavePath, &sink, WM_PORT_EVENT, 0, 0, 0) != 0) {
        std::fprintf(stderr, "cannot open a pseudo-terminal port\n");
        return 1;
    }
    ApplyLinkSettings(port);

    // Echo peer: sends back whatever the port writes.
    int stop = eventfd(0, EFD_CLOEXEC);
    std::thread echo([&] {
        pollfd fds[2] = {{pty.master, POLLIN, 0}, {stop, POLLIN, 0}};
        for (;;) {
            if (poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN)) {
                return;
            }
            unsigned char buffer[256];
            ssize_t n = read(pty.master, buffer, sizeof buffer);
            if (n > 0 && write(pty.master, buffer, static_cast<std::size_t>(n)) != n) {
                return;
            }
        }
    });

    RoundTripStats stats = TimeRoundTrips(port, sink, units);
    std::uint64_t one = 1;
    if (write(stop, &one, sizeof one) < 0) {
        std::perror("eventfd");
    }
    echo.join();
    close(stop);
    port.Close();
    stats.Print("(b) in-process echo");
    return stats.failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    int units = argc > 2 ? std::atoi(argv[2]) : 15360;
    if (seconds <= 0 || units <= 0) {
        std::fprintf(stderr, "usage: %s [seconds] [round trips]\n", argv[0]);
        return 2;
    }
    int result = CpuOfEventThreadWithSlowArrivals(seconds);
    result |= RoundTrips(units);
    return RoundTripsWithSimulator(units) | result;
}
