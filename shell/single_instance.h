#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrik {

class AppSettings;
class FrameShell;
class SingleInstance;

// The window's command line: `zentrik [FILE]`, FILE a configuration file to open once the
// window is up, or `zentrik --version`. "--" ends the options, for a file whose name begins
// with a dash.
struct WindowCommandLine {
    bool version = false;
    std::string file;   // empty: none
    std::string error;  // a usage error; the other members are then unset
};
WindowCommandLine ParseWindowCommandLine(const std::vector<std::string>& args);

// The settings file this run will use: the one chosen before the start, else the default.
std::string RunSettingsPath(const AppSettings& settings);

// The name the one window of a settings file goes by (its lock, its channel): "zentrik-" and
// 16 hexadecimal digits from the file's full path. Windows and tests with separate settings
// files have separate names. `foldCase` for systems whose file names ignore case.
std::string InstanceName(std::string_view settingsPath, bool foldCase);

// Where the lock and the socket of the one window live on POSIX systems: $XDG_RUNTIME_DIR,
// which is the user's alone, when it is an absolute path; else a folder "zentrik-<uid>" in
// $TMPDIR (when absolute) or /tmp, which `mustBePrivate` says the caller makes and checks: a
// folder of that user's, writable by nobody else. With a trailing '/'.
struct InstanceFolder {
    std::string path;
    bool mustBePrivate = false;
};
InstanceFolder PosixInstanceFolder(std::string_view runtimeDir, std::string_view tmpDir,
                                   unsigned uid);

// What a later start hands to the running window: its command line's arguments and the
// folder it was started in, against which a relative file name is taken.
std::string HandOverMessage(const std::vector<std::string>& args, std::string_view workingFolder);
// The file a later start's message asks the window to open, with its full path; empty for none
// (the window only comes to the front). Nothing when the message is not one or its command
// line is not the window's.
std::optional<std::string> HandOverFile(std::string_view message);
// No message is longer (a path and a few arguments fit many times over).
inline constexpr std::size_t kMaxHandOverBytes = 64 * 1024;

// The window system's side of one window per settings file: a lock held while the program
// runs, and a channel on which the lock's holder hears later starts.
class InstanceChannel {
  public:
    enum class Claim {
        Ours,        // this process holds the name now, and listens on it
        Held,        // another process holds it
        Unavailable  // neither can be told (no folder for the lock, no channel)
    };
    enum class Sent {
        Delivered,     // the holder confirmed the message
        NotListening,  // nobody listens (yet, or any more)
        NoAnswer       // the holder took the connection but did not confirm in time
    };

    virtual ~InstanceChannel() = default;
    // Takes `name` for this process unless another holds it; once taken, every message from a
    // later start goes to receiver.Receive on the window's thread, from its event loop (a
    // box's too), and the window comes to the front when that says so.
    virtual Claim TryClaim(const std::string& name, SingleInstance& receiver) = 0;
    virtual Sent Send(const std::string& name, std::string_view message) = 0;
    // A short wait before the next try.
    virtual void Pause() = 0;
    // receiver.Run() from the window's event loop, once the current call has returned.
    virtual void PostRun() = 0;
};

// One window per settings file. Before the start-up a start either takes the settings file's
// name or hands its command line to the window that holds it and ends. The window that runs
// opens, once its start-up is over (settings, scan, document, form, window shown), the file
// of its own command line and then those later starts hand it, one at a time, as File > Open
// Configuration opens a chosen file: each when no box is up, so that an open never stacks its
// boxes on another's; one that arrives while a box is up waits until the box has gone.
class SingleInstance {
  public:
    enum class Start {
        Run,         // this process starts the window (it holds the name, or none can be had)
        HandedOver,  // the running window took the command line: this process ends
        NoAnswer     // a window holds the name but does not answer
    };
    // Tries at claiming or handing over before a start gives up.
    static constexpr int kTries = 50;

    explicit SingleInstance(InstanceChannel& channel) : m_channel(channel) {}
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    Start Begin(const std::string& settingsPath, bool foldCase,
                const std::vector<std::string>& args, const std::string& workingFolder);
    // The start-up is over: `startFile` (the command line's, empty for none) is opened first.
    void Attach(FrameShell& shell, const std::string& startFile);
    // A message on the channel; true when it came from a later start (the window then comes
    // to the front), false for anything else, which is ignored.
    bool Receive(std::string_view message);
    // Opens the files waiting, while nothing stands in the way.
    void Run();

  private:
    InstanceChannel& m_channel;
    FrameShell* m_shell = nullptr;
    std::deque<std::string> m_files;
    bool m_running = false;
};

}  // namespace zentrik
