// Downloads whose reply is for something other than the document, the verify after an upload
// that rests on them, and the port the user chose.
#include <gtest/gtest.h>

#include <cstring>

#include "editor/config_compare.h"
#include "link/controller_link.h"
#include "link/discovery/port_scanner.h"
#include "link/link_texts.h"
#include "support/link_rig.h"
#include "support/sample_config.h"

namespace zentrik {
namespace {

using test::FakeController;
using test::LinkRig;
namespace texts = link_texts;

bool SameDocument(const ConfigDocument& a, const ConfigDocument& b) {
    return std::memcmp(&a.record, &b.record, sizeof a.record) == 0 &&
           a.displayPressures == b.displayPressures;
}

bool HasStatus(const LinkRig& rig, const char* text) {
    return std::find(rig.host.status.begin(), rig.host.status.end(), text) != rig.host.status.end();
}

// The controller's configuration: the sample, in bar.
ConfigDocument ControllerSample() {
    ConfigDocument doc = test::SampleConfigDocument();
    SetMAP_In_bar(doc.record, true);
    for (double& p : doc.displayPressures) {
        p *= kPsiToBar;
    }
    return doc;
}

TEST(DownloadPurposes, ACompareDownloadGoesToTheHostAndLeavesTheDocumentAlone) {
    LinkRig rig;
    FakeController controller{rig.port};
    const ConfigDocument stored = ControllerSample();
    controller.configImage = ToWireImage(stored);
    rig.host.document = test::SampleConfigDocument();
    const ConfigDocument before = rig.host.document;

    // Behind a request in flight it waits its turn; a document download behind it waits
    // until the host is done with the compared configuration.
    rig.link.QueueRequest(RequestType::ControllerInfo);
    rig.link.QueueDownload(TransferPurpose::Compare);
    rig.link.QueueRequest(RequestType::DownloadConfig);
    EXPECT_EQ(rig.SentTypes(), std::vector<std::uint8_t>{3});
    std::vector<std::uint8_t> sentDuringDelivery;
    rig.host.duringDownload = [&](TransferPurpose) { sentDuringDelivery = rig.SentTypes(); };
    rig.RunUntilIdle();

    ASSERT_EQ(rig.host.downloads.size(), 1u);
    EXPECT_EQ(rig.host.downloads[0].first, TransferPurpose::Compare);
    ConfigDocument expected;
    FromWireImage(expected, ToWireImage(stored).data());
    EXPECT_TRUE(SameDocument(rig.host.downloads[0].second, expected));
    EXPECT_TRUE(MAP_In_bar(rig.host.downloads[0].second.record));
    EXPECT_EQ(sentDuringDelivery, (std::vector<std::uint8_t>{3, 1}));
    EXPECT_TRUE(HasStatus(rig, texts::kStatusConfigReceived));
    // Only the document download refreshed the form and showed its notice.
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{3, 1, 1}));
    EXPECT_EQ(rig.host.refreshHints, std::vector<int>{1});
    EXPECT_EQ(rig.host.notices, std::vector<NoticeKind>{NoticeKind::Downloaded});
    EXPECT_FALSE(SameDocument(rig.host.document, before));
    EXPECT_TRUE(SameDocument(rig.host.document, expected));
    // Both downloads told the host what the controller holds.
    ASSERT_EQ(rig.host.held.size(), 2u);
    EXPECT_EQ(rig.host.held[0].first, HeldEvent::Compare);
    EXPECT_EQ(rig.host.held[1].first, HeldEvent::Download);
    EXPECT_TRUE(SameDocument(rig.host.held[0].second, expected));
    EXPECT_TRUE(SameDocument(rig.host.held[1].second, expected));
}

TEST(DownloadPurposes, AFailedCompareDownloadHasTheRetriesAndBoxesOfAnyRequest) {
    LinkRig rig;
    FakeController controller{rig.port};
    controller.answerFrames = false;
    rig.link.QueueDownload(TransferPurpose::Compare);
    rig.link.QueueRequest(RequestType::ControllerInfo);
    rig.host.answers = {MessageAnswer::Retry, MessageAnswer::Ignore};
    // The info request after the ignored download is answered.
    rig.host.duringBox = [&](const test::BoxRecord&) {
        controller.answerFrames = rig.host.answers.size() == 1;
    };
    rig.RunUntilIdle();
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{1, 1, 1, 1, 1, 1, 3}));
    ASSERT_EQ(rig.host.boxes.size(), 3u);
    EXPECT_EQ(rig.host.boxes[0].caption, texts::kTimeoutCaption);
    EXPECT_EQ(rig.host.boxes[2].caption, texts::kControllerInfoCaption);
    EXPECT_TRUE(rig.host.downloads.empty());
    EXPECT_EQ(rig.link.QueueLength(), 0u);
}

// ---- verify after upload --------------------------------------------------------------------

struct VerifyRig : LinkRig {
    FakeController controller{port};
    VerifyRig() {
        settings.VerifyUpload = true;
        link.SetDifferenceLister(DifferenceLines);
    }
};

TEST(VerifyAfterUpload, TheNoticeComesOnlyOnceTheControllerIsSeenToHoldTheUpload) {
    for (const bool bar : {false, true}) {
        SCOPED_TRACE(bar ? "bar" : "psi");
        VerifyRig rig;
        // In bar the pressures carry every decimal of the unit conversion.
        rig.host.document = bar ? ControllerSample() : test::SampleConfigDocument();
        const ConfigDocument document = rig.host.document;
        rig.link.QueueRequest(RequestType::UploadConfig);
        rig.link.QueueRequest(RequestType::ControllerInfo);
        std::vector<std::uint8_t> sentAtNotice;
        rig.host.duringNotice = [&](NoticeKind) { sentAtNotice = rig.SentTypes(); };
        rig.RunUntilIdle();

        // The read-back goes before what was queued behind the upload.
        EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{2, 1, 3}));
        EXPECT_EQ(rig.host.notices, std::vector<NoticeKind>{NoticeKind::Uploaded});
        EXPECT_EQ(sentAtNotice, (std::vector<std::uint8_t>{2, 1}));
        EXPECT_TRUE(HasStatus(rig, texts::kStatusVerifying));
        EXPECT_TRUE(HasStatus(rig, texts::kStatusUploaded));
        EXPECT_EQ(rig.host.boxes.size(), 1u) << "only the info box";
        EXPECT_TRUE(SameDocument(rig.host.document, document));
        EXPECT_TRUE(rig.host.refreshHints.empty());
        EXPECT_TRUE(rig.host.downloads.empty());
        ASSERT_EQ(rig.host.held.size(), 1u) << "the upload, once it was read back";
        EXPECT_EQ(rig.host.held[0].first, HeldEvent::Upload);
    }
}

TEST(VerifyAfterUpload, AControllerHoldingSomethingElseGetsAWarningListingItAndNoNotice) {
    for (const bool lister : {true, false}) {
        VerifyRig rig;
        if (!lister) {
            rig.link.SetDifferenceLister(nullptr);
        }
        rig.host.document = test::SampleConfigDocument();
        rig.controller.storeFaultAt = 8;  // stage 1 RPM_Max, high byte on the wire
        rig.link.QueueRequest(RequestType::UploadConfig);
        rig.RunUntilIdle();

        EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{2, 1}));
        EXPECT_TRUE(rig.host.notices.empty());
        ASSERT_EQ(rig.host.boxes.size(), 1u);
        const test::BoxRecord& box = rig.host.boxes[0];
        EXPECT_EQ(box.caption, "Verify Failed");
        EXPECT_EQ(box.icon, MessageIcon::Exclamation);
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
        EXPECT_EQ(box.text, lister ? std::string(texts::kVerifyFailedText) +
                                         "\n\nStage 1 RPM Cutoff: 6500 here, 6756 on the "
                                         "controller"
                                   : std::string(texts::kVerifyFailedText));
        EXPECT_EQ(rig.host.LastStatus(), texts::kStatusVerifyFailed);
        // What the read-back found is what the controller holds.
        ASSERT_EQ(rig.host.held.size(), 1u);
        EXPECT_EQ(rig.host.held[0].first, HeldEvent::Verify);
        EXPECT_EQ(rig.host.held[0].second.record.stage[0].RPM_Max, 6756);
        EXPECT_EQ(rig.link.QueueLength(), 0u);
        EXPECT_FALSE(rig.link.requestInFlight());
    }
}

TEST(VerifyAfterUpload, AReadBackGivenUpAfterTheUploadWasAcknowledgedSaysJustThat) {
    for (const MessageAnswer answer : {MessageAnswer::Abort, MessageAnswer::Ignore}) {
        VerifyRig rig;
        rig.host.document = test::SampleConfigDocument();
        rig.link.QueueRequest(RequestType::UploadConfig);
        rig.controller.answerFrames = false;  // the upload's reply is on its way; then silence
        rig.host.answers = {answer};
        rig.RunUntilIdle();

        EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{2, 1, 1, 1}));
        EXPECT_TRUE(rig.host.notices.empty());
        ASSERT_EQ(rig.host.boxes.size(), 2u);
        EXPECT_EQ(rig.host.boxes[0].caption, "Timeout Error");
        const test::BoxRecord& box = rig.host.boxes[1];
        EXPECT_EQ(box.caption, "Upload Not Verified");
        EXPECT_EQ(box.text,
                  "The controller acknowledged the configuration, but reading it back failed: the "
                  "message timed out. It probably holds the new configuration; choose Compare "
                  "With Controller to check.");
        EXPECT_EQ(rig.host.LastStatus(), texts::kStatusUploadUnverified);
    }
}

TEST(UploadGuard, AnUploadItRefusesWhenItsTurnComesIsDroppedUnsent) {
    LinkRig rig;
    FakeController controller{rig.port};
    bool allowed = true;
    rig.link.SetUploadGuard([&](const ConfigDocument&) { return allowed; });
    rig.link.QueueRequest(RequestType::ControllerInfo);
    rig.link.QueueRequest(RequestType::UploadConfig);
    rig.link.QueueRequest(RequestType::DownloadConfig);
    allowed = false;  // the document was replaced while the upload waited
    rig.RunUntilIdle();
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{3, 1}));
    ASSERT_EQ(rig.host.boxes.size(), 2u);  // why the upload went unsent, and the info
    EXPECT_EQ(rig.host.boxes[0].caption, "Upload Stopped");
}

// ---- the port the user chose ------------------------------------------------------------------

// A bridge list that counts how often discovery looked at it.
class CountingBridgeList : public BridgeList {
  public:
    int* looks;
    explicit CountingBridgeList(int* counter) : looks(counter) {}
    std::uint32_t Count() override {
        ++*looks;
        return 0;
    }
    bool Open(std::uint32_t, BridgeHandle*) override { return false; }
    bool VendorId(BridgeHandle, std::uint16_t*) override { return false; }
    bool ProductId(BridgeHandle, std::uint16_t*) override { return false; }
    void SerialNumber(BridgeHandle, char*, std::uint8_t*) override {}
    void Close(BridgeHandle) override {}
    int PortNumber(std::uint16_t, std::uint16_t, std::string_view) override { return -1; }
};

TEST(PortChoice, AChosenDeviceIsOpenedWithoutDiscoveryAndNamedWhenItFails) {
    LinkRig rig;
    int looks = 0;
    CPortScanner scanner(std::make_unique<CountingBridgeList>(&looks));

    // Automatic: discovery is asked, and finds nothing here.
    EXPECT_FALSE(rig.link.ScanForConnection(scanner, rig.settings));
    EXPECT_EQ(looks, 1);
    EXPECT_EQ(rig.port.openCalls, 0);

    rig.settings.PortDevice = "/dev/ttyS7";
    EXPECT_TRUE(rig.link.ScanForConnection(scanner, rig.settings));
    EXPECT_EQ(looks, 1);
    EXPECT_EQ(rig.port.openedDevice, "/dev/ttyS7");
    EXPECT_EQ(rig.settings.CommPort, 3) << "no port number is stored for a chosen device";

    rig.port.openResult = 2;
    EXPECT_FALSE(rig.link.OpenControllerPort());
    EXPECT_EQ(rig.host.portBoxDevice, "/dev/ttyS7");
    ASSERT_FALSE(rig.host.boxes.empty());
    EXPECT_EQ(rig.host.boxes.back().text,
              "/dev/ttyS7 is not available. Please choose a different serial port.");
}

}  // namespace
}  // namespace zentrik
