// One window per settings file: the command line, what a later start hands over, who runs, and
// when the window opens what it was handed.
#include "shell/single_instance.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>

#include "config/config_file.h"
#include "fake_skin.h"
#include "shell/frame_shell.h"
#include "support/sample_config.h"
#include "support/switchable_bridges.h"
#include "support/test_paths.h"

namespace zentrik::test {
namespace {

using Claim = InstanceChannel::Claim;
using Sent = InstanceChannel::Sent;
using Start = SingleInstance::Start;

// A channel whose answers come from a script (the last one repeats) and whose posted runs
// wait until the test's "event loop" runs them.
struct FakeChannel : InstanceChannel {
    std::deque<Claim> claims{Claim::Ours};
    std::deque<Sent> sends{Sent::Delivered};
    std::vector<std::string> messages;
    int pauses = 0;
    int posted = 0;
    SingleInstance* receiver = nullptr;

    template <typename T>
    static T Next(std::deque<T>& script) {
        const T next = script.front();
        if (script.size() > 1) {
            script.pop_front();
        }
        return next;
    }
    Claim TryClaim(const std::string&, SingleInstance& r) override {
        receiver = &r;
        return Next(claims);
    }
    Sent Send(const std::string&, std::string_view message) override {
        messages.emplace_back(message);
        return Next(sends);
    }
    void Pause() override { ++pauses; }
    void PostRun() override { ++posted; }
    void RunPosted() {
        for (; posted > 0; --posted) {
            receiver->Run();
        }
    }
};

TEST(SingleInstance, CommandLinesNamesAndMessages) {
    EXPECT_EQ(ParseWindowCommandLine({"tune.zcfg"}).file, "tune.zcfg");
    EXPECT_TRUE(ParseWindowCommandLine({"--version"}).version);
    EXPECT_EQ(ParseWindowCommandLine({"--", "-odd.zcfg"}).file, "-odd.zcfg");
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"-x"}, {"a.zcfg", "b.zcfg"}, {"--version", "a.zcfg"}}) {
        EXPECT_FALSE(ParseWindowCommandLine(wrong).error.empty()) << wrong[0];
    }

    // One name per settings file; case matters only where file names have it.
    const std::string name = InstanceName("/home/me/.config/zentrik/Zentrik.ini", false);
    EXPECT_EQ(name.size(), std::strlen("zentrik-") + 16);
    EXPECT_EQ(name, InstanceName("/home/me/.config/zentrik/Zentrik.ini", false));
    EXPECT_NE(name, InstanceName("/home/me/portable/Zentrik.ini", false));
    EXPECT_NE(name, InstanceName("/home/me/.config/zentrik/zentrik.ini", false));
    EXPECT_EQ(InstanceName("C:\\Zentrik\\Zentrik.ini", true),
              InstanceName("c:\\zentrik\\ZENTRIK.INI", true));

    // Without a runtime folder, a private one of the user's in the temporary folder.
    EXPECT_EQ(PosixInstanceFolder("/run/user/1000", "/var/tmp", 1000).path, "/run/user/1000/");
    const InstanceFolder fallback = PosixInstanceFolder("", "", 1000);
    EXPECT_EQ(fallback.path, "/tmp/zentrik-1000/");
    EXPECT_TRUE(fallback.mustBePrivate);
    EXPECT_EQ(PosixInstanceFolder("relative", "/var/tmp/", 7).path, "/var/tmp/zentrik-7/");

    // A relative file is the later start's, from the folder it was started in.
    EXPECT_EQ(HandOverFile(HandOverMessage({"tune.zcfg"}, "/home/me")), "/home/me/tune.zcfg");
    EXPECT_EQ(HandOverFile(HandOverMessage({"/srv/a.zcfg"}, "/home/me")), "/srv/a.zcfg");
    EXPECT_EQ(HandOverFile(HandOverMessage({"tune.zcfg"}, "C:\\Users\\me")),
              "C:\\Users\\me\\tune.zcfg");
    EXPECT_EQ(HandOverFile(HandOverMessage({"D:\\a.zcfg"}, "C:\\Users\\me")), "D:\\a.zcfg");
    EXPECT_EQ(HandOverFile(HandOverMessage({}, "/home/me")), "");
    // Anything else is no message: a stranger's, a bad command line, one far too long.
    EXPECT_FALSE(HandOverFile(std::string("hello\0/home\0a.zcfg", 18)));
    EXPECT_FALSE(HandOverFile(HandOverMessage({"-x"}, "/home/me")));
    EXPECT_FALSE(HandOverFile(HandOverMessage({std::string(kMaxHandOverBytes, 'a')}, "/")));
}

TEST(SingleInstance, AStartRunsHandsOverOrSaysTheRunningWindowDoesNotAnswer) {
    const auto begin = [](FakeChannel& channel) {
        SingleInstance single(channel);
        return single.Begin("/home/me/Zentrik.ini", false, {"tune.zcfg"}, "/home/me");
    };
    FakeChannel first;
    EXPECT_EQ(begin(first), Start::Run);
    EXPECT_TRUE(first.messages.empty());
    FakeChannel alone;
    alone.claims = {Claim::Unavailable};  // no lock to be had: runs as it always has
    EXPECT_EQ(begin(alone), Start::Run);

    FakeChannel second;
    second.claims = {Claim::Held};
    EXPECT_EQ(begin(second), Start::HandedOver);
    ASSERT_EQ(second.messages.size(), 1u);
    EXPECT_EQ(HandOverFile(second.messages[0]), "/home/me/tune.zcfg");

    // The holder not listening yet is waited for; once it has ended, this start runs.
    FakeChannel racing;
    racing.claims = {Claim::Held, Claim::Held, Claim::Ours};
    racing.sends = {Sent::NotListening};
    EXPECT_EQ(begin(racing), Start::Run);
    EXPECT_EQ(racing.pauses, 2);

    FakeChannel hung;
    hung.claims = {Claim::Held};
    hung.sends = {Sent::NoAnswer};
    EXPECT_EQ(begin(hung), Start::NoAnswer);
    EXPECT_EQ(hung.messages.size(), 1u);
    FakeChannel mute;
    mute.claims = {Claim::Held};
    mute.sends = {Sent::NotListening};
    EXPECT_EQ(begin(mute), Start::NoAnswer);
    EXPECT_EQ(mute.pauses, SingleInstance::kTries);
}

// Records Stage 1 RPM Max each time the document is refreshed, as the form would show it.
struct Opened : DocumentView {
    CQuarnelDoc* doc = nullptr;
    std::vector<int> rpms;
    void OnUpdate(int) override { rpms.push_back(doc->Document().record.stage[0].RPM_Max); }
};

class HandedFiles : public ::testing::Test {
  protected:
    HandedFiles() {
        m_settings.SetPath(m_dir + "/Zentrik.ini");
        m_shell = std::make_unique<FrameShell>(m_skin, m_doc, m_settings,
                                               std::make_unique<SwitchableBridges>(m_attached));
        m_skin.shell = m_shell.get();
        m_shell->Create();
        m_doc.OnNewDocument();
        m_opened.doc = &m_doc;
        m_doc.AddView(&m_opened);
        EXPECT_EQ(m_single.Begin(m_settings.Path(), false, {}, m_dir), Start::Run);
    }
    // A configuration file whose Stage 1 RPM Max is `rpm`.
    std::string File(const std::string& name, int rpm) {
        ConfigDocument doc = SampleConfigDocument();
        doc.record.stage[0].RPM_Max = static_cast<std::int16_t>(rpm);
        EXPECT_TRUE(WriteConfigFile(m_dir + "/" + name, doc, false));
        return name;  // relative: found in the later start's folder, m_dir, not this process's
    }
    void HandOver(const std::string& file) {
        EXPECT_TRUE(m_single.Receive(HandOverMessage({file}, m_dir)));
    }

    std::string m_dir = MakeTempDir();
    AppSettings m_settings;
    CQuarnelDoc m_doc{m_settings};
    Opened m_opened;
    std::shared_ptr<bool> m_attached = std::make_shared<bool>(false);
    FakeSkin m_skin;
    std::unique_ptr<FrameShell> m_shell;
    FakeChannel m_channel;
    SingleInstance m_single{m_channel};
};

TEST_F(HandedFiles, TheStartFileThenTheHandedOnesOpenAfterTheStartUpEachOnceNoBoxIsUp) {
    const std::string startFile = m_dir + "/" + File("start.zcfg", 5100);
    HandOver(File("early.zcfg", 5200));  // while this window was still starting up
    m_channel.RunPosted();
    EXPECT_TRUE(m_opened.rpms.empty());

    m_single.Attach(*m_shell, startFile);
    EXPECT_TRUE(m_opened.rpms.empty());  // from the event loop, not inside the start-up
    m_channel.RunPosted();
    EXPECT_EQ(m_opened.rpms, (std::vector<int>{5100, 5200}));

    // Handed over while a box is up: it waits for the box, then opens; a file that is no
    // configuration gives the Open box, after the first box has gone, and changes nothing.
    const std::string late = File("late.zcfg", 5300);
    m_skin.duringBox = [&](const BoxRequest&) {
        if (m_skin.boxes.size() == 1) {
            HandOver("missing.zcfg");
            HandOver(late);
            m_channel.RunPosted();  // the box's event loop
            EXPECT_EQ(m_opened.rpms.size(), 2u);
            EXPECT_EQ(m_skin.boxes.size(), 1u);  // no box opened on top of this one
        }
    };
    m_shell->ShowMessageBox("Busy", "Box", MessageIcon::None, MessageButtons::Ok);
    m_channel.RunPosted();
    ASSERT_EQ(m_skin.boxes.size(), 2u);
    EXPECT_EQ(m_skin.boxes[1].text, "The file does not exist.");
    m_channel.RunPosted();
    EXPECT_EQ(m_opened.rpms, (std::vector<int>{5100, 5200, 5300}));

    // Nothing is opened in a window that is closing.
    HandOver(File("closing.zcfg", 5400));
    EXPECT_TRUE(m_shell->RequestClose());
    m_channel.RunPosted();
    EXPECT_EQ(m_opened.rpms.back(), 5300);
}

}  // namespace
}  // namespace zentrik::test
