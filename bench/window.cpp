// The window's benchmarks against zentrik-sim (offscreen unless QT_QPA_PLATFORM or a display
// says otherwise):
//   bench_window start    cold start to the first painted frame of the main window: a fresh
//                         process each time, median of 10
//   bench_window upgrade  a whole firmware transfer through the window next to zentrikctl's,
//                         unpaced simulator, same run, medians of 3
//   bench_window idle     CPU time used by an open window in 10 s of nothing, and its
//                         resident memory
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "link/link_frame.h"
#include "link/serial/device_name.h"
#include "shell/shell_texts.h"
#include "ui/qt/main_frame.h"
#include "ui/qt/quarnel_app.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kBinary = ZENTRIK_BINARY_DIR;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string TempDir() {
    char pattern[] = "/tmp/zentrik-bench-XXXXXX";
    return mkdtemp(pattern) ? pattern : "/tmp";
}

// A child with its stdin on a pipe (closing it ends the simulator) and stdout readable.
struct Child {
    pid_t pid = -1;
    int in = -1;
    int out = -1;

    static Child Start(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
        Child child;
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
            return child;
        }
        child.pid = fork();
        if (child.pid == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            for (const std::string& e : env) {
                putenv(const_cast<char*>(e.c_str()));
            }
            std::vector<char*> raw;
            for (const std::string& a : argv) {
                raw.push_back(const_cast<char*>(a.c_str()));
            }
            raw.push_back(nullptr);
            execv(raw[0], raw.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        child.in = in[1];
        child.out = out[0];
        return child;
    }
    std::string Line() {
        std::string line;
        char c;
        while (read(out, &c, 1) == 1 && c != '\n') {
            line.push_back(c);
        }
        return line;
    }
    void Stop() {
        if (in >= 0) {
            close(in);
            in = -1;
        }
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
            pid = -1;
        }
        if (out >= 0) {
            close(out);
            out = -1;
        }
    }
};

Child StartSimulator() {
    Child sim = Child::Start({kBinary + "/tools/zentrik-sim"}, {});
    return sim;
}

void PreparePlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

// ---- child modes: the program's own start-up, reporting the first paint ---------------------

class FirstPaint : public QObject {
  public:
    explicit FirstPaint(bool quit) : m_quit(quit) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            std::printf("painted\n");
            std::fflush(stdout);
            if (m_quit) {
                QTimer::singleShot(0, qApp, [] { QApplication::exit(0); });
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool m_quit;
    bool m_done = false;
};

int RunChild(int argc, char** argv, bool quitAtPaint) {
    PreparePlatform();
    QApplication application(argc, argv);
    CQuarnelApp app;
    app.Settings().SetPath(std::string(std::getenv("BENCH_INI")));
    FirstPaint paint(quitAtPaint);
    qApp->installEventFilter(&paint);
    app.InitInstance();
    if (!quitAtPaint) {
        // Ends when the parent closes our stdin.
        auto* stdinWatch = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
        QObject::connect(stdinWatch, &QSocketNotifier::activated, qApp,
                         [] { QApplication::exit(0); });
    }
    const int result = QApplication::exec();
    app.ExitInstance();
    return result;
}

// ---- start ----------------------------------------------------------------------------------

int BenchStart(const char* self) {
    Child sim = StartSimulator();
    const std::string device = sim.Line();
    const std::string dir = TempDir();
    std::vector<double> ms;
    for (int run = 0; run < 10; ++run) {
        const std::string ini = dir + "/run" + std::to_string(run) + ".ini";
        const auto start = Clock::now();
        Child child =
            Child::Start({self, "child-start"}, {"ZENTRIK_PORT=" + device, "BENCH_INI=" + ini});
        const std::string line = child.Line();
        const double elapsed =
            std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        int status = 0;
        waitpid(child.pid, &status, 0);
        child.pid = -1;
        child.Stop();
        if (line != "painted") {
            std::fprintf(stderr, "run %d: no first paint\n", run);
            sim.Stop();
            return 1;
        }
        ms.push_back(elapsed);
    }
    sim.Stop();
    std::printf("cold start to first painted frame (%s): median %.1f ms, min %.1f, max %.1f\n",
                qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "X display", Median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
    return 0;
}

// ---- upgrade --------------------------------------------------------------------------------

std::string WriteFirmware(const std::string& dir) {
    std::vector<std::uint8_t> file(30724);
    for (std::size_t i = 0; i < 30720; ++i) {
        file[i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
    file[0] = 0x02;
    file[1] = 0x00;
    file[2] = 0x0A;
    const std::uint32_t crc = zentrik::Crc32(file.data(), 30720);
    for (int b = 0; b < 4; ++b) {
        file[30720 + b] = static_cast<std::uint8_t>(crc >> (24 - 8 * b));
    }
    const std::string path = dir + "/bench.eep";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    return path;
}

// Answers the upgrade's questions and file dialog; times the progress dialog's transfer.
class UpgradeDriver : public QObject {
  public:
    UpgradeDriver(std::string file) : m_file(std::move(file)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isModal()) {
            QTimer::singleShot(0, this, [this] { Answer(); });
        }
        return QObject::eventFilter(watched, event);
    }
    double transferMs = -1;
    bool succeeded = false;

  private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == "&Yes" || b->text() == "OK") {
                    b->click();
                    return;
                }
            }
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            files->selectFile(QString::fromStdString(m_file));
            static_cast<QDialog*>(files)->accept();
        } else if (auto* progress = qobject_cast<CUpgradeProgressDlg*>(modal)) {
            // The first unit went out just before the dialog's loop began.
            const auto start = m_shownAt;
            QObject::connect(
                progress, &CUpgradeProgressDlg::transferEnded, progress,
                [this, progress, start] {
                    transferMs =
                        std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                    succeeded =
                        progress->TextLine()->text().startsWith("The update was successful");
                    QTimer::singleShot(0, progress, [progress] { progress->OkButton()->click(); });
                },
                Qt::SingleShotConnection);
        }
    }

  public:
    Clock::time_point m_shownAt;

  private:
    std::string m_file;
};

double WindowUpgradeMs(const std::string& device, const std::string& dir, const std::string& fw) {
    ::setenv(zentrik::kPortOverrideVariable, device.c_str(), 1);
    CQuarnelApp app;
    const std::string ini = dir + "/window.ini";
    std::ofstream(ini) << "[Zentrik Settings]\nTimeout=500\n";
    app.Settings().SetPath(ini);
    UpgradeDriver driver(fw);
    qApp->installEventFilter(&driver);
    app.InitInstance();
    CMainFrame& frame = *app.MainFrame();
    // The transfer starts when the flash permission arrives; time from its first unit.
    auto* watch = new QObject(&frame);
    struct ShowWatch : QObject {
        UpgradeDriver* driver;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Show) {
                driver->m_shownAt = Clock::now();
            }
            return false;
        }
    };
    auto* showWatch = new ShowWatch;
    showWatch->driver = &driver;
    showWatch->setParent(watch);
    frame.ProgressDialog().installEventFilter(showWatch);
    frame.Command(zentrik::shell_texts::kIdUpgradeFirmware)->trigger();
    while (driver.transferMs < 0 || frame.Link().upgradeInProgress() ||
           frame.ProgressDialog().isVisible()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    qApp->removeEventFilter(&driver);
    frame.close();
    app.ExitInstance();
    return driver.succeeded ? driver.transferMs : -1;
}

double CtlUpgradeMs(const std::string& device, const std::string& dir, const std::string& fw) {
    const std::string ini = dir + "/ctl.ini";
    std::ofstream(ini) << "[Zentrik Settings]\nTimeout=500\n";
    const std::string times = dir + "/times.txt";
    Child ctl = Child::Start(
        {kBinary + "/tools/zentrikctl", "--port", device, "--ini", ini, "--yes", "upgrade", fw},
        {std::string("ZENTRIK_CTL_UNIT_TIMES=") + times});
    int status = 0;
    waitpid(ctl.pid, &status, 0);
    ctl.pid = -1;
    ctl.Stop();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    std::ifstream in(times);
    long long ns = 0, last = 0;
    while (in >> ns) {
        last = ns;
    }
    return static_cast<double>(last) / 1e6;  // first unit to the checksum's echo
}

int BenchUpgrade(int argc, char** argv) {
    PreparePlatform();
    QApplication application(argc, argv);
    Child sim = StartSimulator();
    const std::string device = sim.Line();
    const std::string dir = TempDir();
    const std::string fw = WriteFirmware(dir);
    std::vector<double> window, ctl;
    for (int run = 0; run < 3; ++run) {
        const double w = WindowUpgradeMs(device, dir, fw);
        const double c = CtlUpgradeMs(device, dir, fw);
        if (w < 0 || c < 0) {
            std::fprintf(stderr, "run %d failed (window %.1f, ctl %.1f)\n", run, w, c);
            sim.Stop();
            return 1;
        }
        window.push_back(w);
        ctl.push_back(c);
    }
    sim.Stop();
    const double wm = Median(window), cm = Median(ctl);
    std::printf(
        "firmware transfer, unpaced simulator: window median %.0f ms, zentrikctl median "
        "%.0f ms, ratio %.2f\n",
        wm, cm, wm / cm);
    return 0;
}

// ---- idle -----------------------------------------------------------------------------------

double CpuMs(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const auto close = text.rfind(')');
    std::vector<std::string> fields;
    std::string field;
    for (std::size_t i = close + 2; i < text.size(); ++i) {
        if (text[i] == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field.push_back(text[i]);
        }
    }
    // utime and stime are the 14th and 15th fields (11th and 12th after the state).
    const double ticks = std::stod(fields[11]) + std::stod(fields[12]);
    return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::string Rss(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return line.substr(6);
        }
    }
    return "?";
}

int BenchIdle(const char* self) {
    Child sim = StartSimulator();
    const std::string device = sim.Line();
    const std::string dir = TempDir();
    Child child = Child::Start({self, "child-idle"},
                               {"ZENTRIK_PORT=" + device, "BENCH_INI=" + dir + "/idle.ini"});
    if (child.Line() != "painted") {
        std::fprintf(stderr, "no first paint\n");
        child.Stop();
        sim.Stop();
        return 1;
    }
    sleep(1);  // let start-up settle
    const double before = CpuMs(child.pid);
    const std::string rss = Rss(child.pid);
    sleep(10);
    const double after = CpuMs(child.pid);
    std::printf(
        "idle window, 10 s: %.0f ms CPU (clock-tick resolution %.0f ms); resident "
        "memory after start:%s\n",
        after - before, 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK)), rss.c_str());
    close(child.in);
    child.in = -1;
    waitpid(child.pid, nullptr, 0);
    child.pid = -1;
    child.Stop();
    sim.Stop();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "child-start") {
        return RunChild(argc, argv, true);
    }
    if (mode == "child-idle") {
        return RunChild(argc, argv, false);
    }
    if (mode == "start") {
        return BenchStart(argv[0]);
    }
    if (mode == "upgrade") {
        return BenchUpgrade(argc, argv);
    }
    if (mode == "idle") {
        return BenchIdle(argv[0]);
    }
    std::fprintf(stderr, "usage: bench_window start|upgrade|idle\n");
    return 2;
}
