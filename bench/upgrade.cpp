// Firmware upgrade through zentrikctl against zentrik-sim over a pseudo-terminal, next to a
// bare two-process pseudo-terminal ping-pong of the same number of two-byte units, measured
// in the same run.
//
//   bench_upgrade [--paced] [--ctl PATH] [--sim PATH]
//
// Unpaced, the upgrade's transfer time is compared with the ping-pong (our stack's overhead
// over the bare pty round trip). With --paced the simulator paces its line at 19200 baud and
// the transfer is compared with the 32.0 s wire floor (15360 x 4 bytes x 10 bits / 19200),
// and with a ping-pong whose echo follows the simulator's schedule (what the pty and the
// timer wake-ups cost without our stack). The paced run takes about 70 s.
// Per-round-trip times come from zentrikctl's unit send times (ZENTRIK_CTL_UNIT_TIMES): the
// time from one unit's send to the next is one full round trip through both processes.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "link/link_frame.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kUnits = 15360;
constexpr double kWireFloorS = kUnits * 4 * 10 / 19200.0;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

struct Stats {
    double p50Us = 0;
    double p99Us = 0;
};

Stats Percentiles(std::vector<double> us) {
    Stats s;
    if (us.empty()) {
        return s;
    }
    std::sort(us.begin(), us.end());
    auto at = [&](double q) {
        return us[std::min(us.size() - 1, static_cast<std::size_t>(q * (us.size() - 1) + 0.5))];
    };
    s.p50Us = at(0.50);
    s.p99Us = at(0.99);
    return s;
}

// Waits for a child up to `limitS` seconds, then kills it. Returns its exit status or -1.
int Reap(pid_t pid, double limitS) {
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd fd{pidfd, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(limitS * 1000)) <= 0) {
            kill(pid, SIGKILL);
        }
        close(pidfd);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// ---- bare ping-pong ------------------------------------------------------------------------

// Adds nanoseconds to a monotonic time.
timespec After(timespec t, long long ns) {
    ns += t.tv_nsec;
    t.tv_sec += static_cast<time_t>(ns / 1000000000);
    t.tv_nsec = static_cast<long>(ns % 1000000000);
    return t;
}

// The parent writes two bytes on the slave, waits with poll and reads the two bytes that a
// child echoes on the master. Paced, the child echoes on the simulator's schedule at 19200
// baud: the unit arrives 2 byte times after it was read, and each echo byte is written when
// its last bit would have left the line (3 and 4 byte times), sleeping in between. Returns
// the total time and the per-round-trip times.
bool PingPong(bool paced, double& totalS, std::vector<double>& roundTripsUs) {
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        return false;
    }
    termios tio{};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);

    const pid_t child = fork();
    if (child == 0) {
        close(slave);
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);  // as the simulator does while pacing
        constexpr long long kByteNs = 10LL * 1000000000 / 19200;
        unsigned char buffer[64];
        for (;;) {
            pollfd fd{master, POLLIN, 0};
            if (poll(&fd, 1, 10000) <= 0) {
                _exit(0);
            }
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n <= 0) {
                _exit(0);
            }
            if (!paced) {
                if (write(master, buffer, static_cast<std::size_t>(n)) != n) {
                    _exit(0);
                }
                continue;
            }
            timespec readAt{};
            clock_gettime(CLOCK_MONOTONIC, &readAt);
            for (ssize_t i = 0; i < n; ++i) {
                const timespec due = After(readAt, kByteNs * (n + 1 + i));
                clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr);
                if (write(master, buffer + i, 1) != 1) {
                    _exit(0);
                }
            }
        }
    }
    close(master);
    roundTripsUs.clear();
    roundTripsUs.reserve(kUnits);
    bool ok = child > 0;
    const Clock::time_point start = Clock::now();
    for (int i = 0; ok && i < kUnits; ++i) {
        const Clock::time_point t0 = Clock::now();
        const unsigned char unit[2] = {static_cast<unsigned char>(i >> 8),
                                       static_cast<unsigned char>(i)};
        ok = write(slave, unit, 2) == 2;
        int got = 0;
        while (ok && got < 2) {
            pollfd fd{slave, POLLIN, 0};
            unsigned char echo[2];
            ok = poll(&fd, 1, 5000) == 1;
            const ssize_t n = ok ? read(slave, echo, static_cast<std::size_t>(2 - got)) : -1;
            ok = n > 0;
            got += ok ? static_cast<int>(n) : 0;
        }
        roundTripsUs.push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    totalS = Seconds(Clock::now() - start);
    close(slave);
    if (child > 0) {
        kill(child, SIGKILL);
        Reap(child, 5);
    }
    return ok;
}

// ---- the upgrade ---------------------------------------------------------------------------

struct Simulator {
    pid_t pid = -1;
    int in = -1;
    int out = -1;
    std::string device;

    bool Start(const std::string& path, const std::vector<std::string>& extra) {
        int inPipe[2];
        int outPipe[2];
        if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0) {
            return false;
        }
        std::vector<std::string> args = {path, "--version", "0102"};
        args.insert(args.end(), extra.begin(), extra.end());
        pid = fork();
        if (pid == 0) {
            dup2(inPipe[0], 0);
            dup2(outPipe[1], 1);
            std::vector<char*> argv;
            for (std::string& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(inPipe[0]);
        close(outPipe[1]);
        in = inPipe[1];
        out = outPipe[0];
        // The first line is the device path.
        for (;;) {
            pollfd fd{out, POLLIN, 0};
            char c = 0;
            if (poll(&fd, 1, 5000) != 1 || read(out, &c, 1) != 1) {
                return false;
            }
            if (c == '\n') {
                return !device.empty();
            }
            device.push_back(c);
        }
    }
    ~Simulator() {
        if (in >= 0) {
            close(in);  // end of input ends the simulator
        }
        if (pid > 0) {
            Reap(pid, 5);
        }
        if (out >= 0) {
            close(out);
        }
    }
};

std::string WriteFirmware(const std::string& dir) {
    std::vector<std::uint8_t> file(30724);
    for (std::size_t i = 0; i < 30720; ++i) {
        file[i] = static_cast<std::uint8_t>(i * 131 + (i >> 9));
    }
    file[0] = 0x02;
    file[1] = 0x00;
    file[2] = 0x0A;
    const std::uint32_t crc = zentrik::Crc32(file.data(), 30720);
    for (int b = 0; b < 4; ++b) {
        file[30720 + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(crc >> (24 - 8 * b));
    }
    const std::string path = dir + "/bench.eep";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    return path;
}

struct UpgradeRun {
    int exitCode = -1;
    double processS = 0;   // zentrikctl from start to exit
    double transferS = 0;  // first unit sent to the checksum's echo
    std::vector<double> roundTripsUs;
};

bool RunUpgrade(const std::string& ctl, const std::string& sim, bool paced, UpgradeRun& run) {
    char pattern[] = "/tmp/zentrik-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return false;
    }
    const std::string dir = pattern;
    const std::string firmware = WriteFirmware(dir);
    const std::string ini = dir + "/bench.ini";
    // A generous Timeout, so that a scheduling hiccup does not end the upgrade.
    std::ofstream(ini) << "[Zentrik Settings]\nTimeout=500\n";
    const std::string times = dir + "/times.txt";

    Simulator simulator;
    std::vector<std::string> extra;
    if (paced) {
        extra = {"--baud", "19200"};
    }
    if (!simulator.Start(sim, extra)) {
        std::fprintf(stderr, "cannot start %s\n", sim.c_str());
        return false;
    }
    const std::string env = std::string("ZENTRIK_CTL_UNIT_TIMES=") + times;
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int devNull = open("/dev/null", O_RDWR);
        dup2(devNull, 0);
        dup2(devNull, 2);
        putenv(const_cast<char*>(env.c_str()));
        execl(ctl.c_str(), ctl.c_str(), "--port", simulator.device.c_str(), "--ini", ini.c_str(),
              "--yes", "upgrade", firmware.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    run.exitCode = Reap(pid, paced ? 120 : 60);
    run.processS = Seconds(Clock::now() - start);

    std::ifstream in(times);
    std::vector<long long> stamps;
    for (long long t; in >> t;) {
        stamps.push_back(t);
    }
    for (std::size_t i = 1; i < stamps.size(); ++i) {
        run.roundTripsUs.push_back(static_cast<double>(stamps[i] - stamps[i - 1]) / 1e3);
    }
    if (stamps.size() > 1) {
        run.transferS = static_cast<double>(stamps.back() - stamps.front()) / 1e9;
    }
    std::remove(times.c_str());
    std::remove(firmware.c_str());
    std::remove(ini.c_str());
    rmdir(dir.c_str());
    return true;
}

}  // namespace

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int main(int argc, char** argv) {
    bool paced = false;
    int runs = 0;
    std::string ctl = std::string(ZENTRIK_BINARY_DIR) + "/tools/zentrikctl";
    std::string sim = std::string(ZENTRIK_BINARY_DIR) + "/tools/zentrik-sim";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--paced") {
            paced = true;
        } else if (arg == "--runs" && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
        } else if (arg == "--ctl" && i + 1 < argc) {
            ctl = argv[++i];
        } else if (arg == "--sim" && i + 1 < argc) {
            sim = argv[++i];
        } else {
            runs = -1;
            break;
        }
    }
    if (runs < 0) {
        std::fprintf(stderr, "usage: %s [--paced] [--runs N] [--ctl PATH] [--sim PATH]\n", argv[0]);
        return 2;
    }
    // Scheduling on a shared machine moves single runs by tens of percent, so unpaced runs
    // alternate ping-pong and upgrade several times and compare medians.
    if (runs == 0) {
        runs = paced ? 1 : 5;
    }

    std::vector<double> pingTotals;
    std::vector<double> transferTotals;
    for (int r = 0; r < runs; ++r) {
        double pingTotal = 0;
        std::vector<double> pingUs;
        if (!PingPong(paced, pingTotal, pingUs)) {
            std::fprintf(stderr, "the ping-pong over a pseudo-terminal failed\n");
            return 1;
        }
        const Stats ping = Percentiles(pingUs);
        std::printf(
            "run %d: bare pty ping-pong%s: %d units in %.3f s, %.0f round trips/s, p50 %.1f us, "
            "p99 %.1f us\n",
            r + 1, paced ? " (echo paced at 19200 baud)" : "", kUnits, pingTotal,
            kUnits / pingTotal, ping.p50Us, ping.p99Us);

        UpgradeRun run;
        if (!RunUpgrade(ctl, sim, paced, run) || run.exitCode != 0 ||
            run.roundTripsUs.size() != static_cast<std::size_t>(kUnits + 1)) {
            std::fprintf(stderr, "the upgrade failed (exit %d, %zu round trips timed)\n",
                         run.exitCode, run.roundTripsUs.size());
            return 1;
        }
        const Stats up = Percentiles(run.roundTripsUs);
        const double trips = static_cast<double>(run.roundTripsUs.size());
        std::printf(
            "run %d: upgrade%s: zentrikctl ran %.3f s; transfer of %d units + checksum %.3f s, "
            "%.0f round trips/s, p50 %.1f us, p99 %.1f us\n",
            r + 1, paced ? " (sim paced at 19200 baud)" : "", run.processS, kUnits, run.transferS,
            trips / run.transferS, up.p50Us, up.p99Us);
        pingTotals.push_back(pingTotal);
        transferTotals.push_back(run.transferS);
    }

    const double ping = Median(pingTotals);
    const double transfer = Median(transferTotals);
    if (paced) {
        std::printf("median transfer / wire floor %.1f s: %.4f (target <= 1.03)\n", kWireFloorS,
                    transfer / kWireFloorS);
        std::printf("median paced ping-pong / wire floor: %.4f; transfer / paced ping-pong: %.4f\n",
                    ping / kWireFloorS, transfer / ping);
    } else {
        std::printf(
            "median of %d runs: ping-pong %.3f s, upgrade transfer %.3f s, ratio %.2f "
            "(target <= 1.5)\n",
            runs, ping, transfer, transfer / ping);
    }
    return 0;
}
