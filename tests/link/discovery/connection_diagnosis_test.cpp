#include "link/discovery/connection_diagnosis.h"

#include <gtest/gtest.h>

#include "link/discovery/diagnosis_texts.h"

namespace zentrik {
namespace {

namespace texts = diagnosis_texts;

UsbBridge Bridge(std::uint16_t vendor, std::uint16_t product, std::string serial,
                 std::string port) {
    UsbBridge bridge;
    bridge.vendorId = vendor;
    bridge.productId = product;
    bridge.serial = std::move(serial);
    bridge.devicePath = port;
    bridge.displayName = std::move(port);
    return bridge;
}

// The Windows probe's unserved bridge (a problem code) and the Linux probe's (no tty).
UsbBridge Unserved(int problemCode, std::string interfaceDriver = {}) {
    UsbBridge bridge = Bridge(0x10C4, 0xEA60, "030A000000000001", "");
    bridge.driverWorking = false;
    bridge.problemCode = problemCode;
    bridge.interfaceDriver = std::move(interfaceDriver);
    return bridge;
}

ConnectionFacts Failed(std::vector<UsbBridge> bridges, std::string device, OpenFailureKind kind,
                       bool named = false) {
    ConnectionFacts facts;
    facts.bridges = std::move(bridges);
    facts.device = device;
    facts.deviceNamed = named;
    facts.openFailure.kind = kind;
    facts.openFailure.devicePath = std::move(device);
    return facts;
}

const UsbBridge kOther = Bridge(0x0403, 0x6001, "A900XYZ", "/dev/ttyUSB0");
const UsbBridge kController = Bridge(0x10C4, 0xEA60, "030A000000000001", "/dev/ttyUSB1");

TEST(ConnectionDiagnosis, BridgesAreJudgedInOrderBeforeAnyPort) {
    ConnectionDiagnosis d = DiagnoseConnection(Failed({}, "", OpenFailureKind::None));
    EXPECT_EQ(d.which, ConnectionCase::NoBridge);
    EXPECT_EQ(d.text, texts::kNoBridge);
    EXPECT_EQ(d.pane, "No controller plugged in");

    // A driver problem outranks a bridge that is not the controller.
    d = DiagnoseConnection(Failed({kOther, Unserved(28)}, "", OpenFailureKind::None));
    EXPECT_EQ(d.which, ConnectionCase::DriverMissing);
    EXPECT_NE(d.text.find("(10C4:EA60, serial number 030A000000000001) is plugged in, but "
                          "Windows reports problem code 28 (its drivers are not installed)."),
              std::string::npos)
        << d.text;
    d = DiagnoseConnection(Failed({Unserved(0, "usbfs")}, "", OpenFailureKind::None));
    EXPECT_NE(d.text.find("no cp210x driver is bound to it (its interface has the \"usbfs\" "
                          "driver).\nThe driver comes with the Linux kernel"),
              std::string::npos)
        << d.text;

    // The controller's ids with another serial number are not the controller.
    UsbBridge foreign = Bridge(0x10C4, 0xEA60, "0001", "");
    d = DiagnoseConnection(Failed({kOther, foreign}, "", OpenFailureKind::None));
    EXPECT_EQ(d.which, ConnectionCase::NotController);
    EXPECT_NE(d.text.find("\n    0403:6001, serial number A900XYZ on /dev/ttyUSB0\n    "
                          "10C4:EA60, serial number 0001\n"),
              std::string::npos)
        << d.text;

    // A device the user named is the controller unless it is not there.
    ConnectionFacts named = Failed({}, "/dev/pts/3", OpenFailureKind::None, true);
    named.answer = LinkAnswer::Silent;
    EXPECT_EQ(DiagnoseConnection(named).text, texts::kNoAnswer);
    EXPECT_EQ(DiagnoseConnection(Failed({}, "/dev/pts/3", OpenFailureKind::Gone, true)).which,
              ConnectionCase::NoBridge);
    EXPECT_EQ(
        DiagnoseConnection(Failed({kController}, "/dev/pts/3", OpenFailureKind::Gone, true)).which,
        ConnectionCase::PortFailed);
}

TEST(ConnectionDiagnosis, PortThatWillNotOpenSaysWhyAndWhoHoldsIt) {
    ConnectionFacts busy = Failed({kController}, "/dev/ttyUSB1", OpenFailureKind::Busy);
    busy.holders = {"minicom (process 41)", "cat (process 42)"};
    ConnectionDiagnosis d = DiagnoseConnection(busy);
    EXPECT_EQ(d.which, ConnectionCase::PortBusy);
    EXPECT_EQ(d.text.substr(0, 48), "/dev/ttyUSB1 is in use by another program, for e");
    EXPECT_NE(d.text.find("\nThe program holding it: minicom (process 41), cat (process 42)."),
              std::string::npos)
        << d.text;

    ConnectionFacts denied =
        Failed({kController}, "/dev/ttyUSB1", OpenFailureKind::PermissionDenied);
    denied.openFailure.deviceGroup = "dialout";
    denied.openFailure.userName = "ann";
    d = DiagnoseConnection(denied);
    EXPECT_EQ(d.which, ConnectionCase::PortDenied);
    EXPECT_EQ(d.text, OpenFailureHelpText(denied.openFailure));
    EXPECT_EQ(d.pane, "No permission for the controller port");
}

TEST(ConnectionDiagnosis, OpenPortIsJudgedByTheAnswer) {
    ConnectionFacts facts = Failed({kController}, "/dev/ttyUSB1", OpenFailureKind::None);
    facts.answer = LinkAnswer::Silent;
    EXPECT_EQ(DiagnoseConnection(facts).which, ConnectionCase::NotAnswering);
    EXPECT_EQ(DiagnoseConnection(facts).pane, "Controller does not answer");
    facts.answer = LinkAnswer::Answered;
    facts.controllerInfo = "Serial Number:030A000000000001\nFirmware Version:0100";
    const ConnectionDiagnosis d = DiagnoseConnection(facts);
    EXPECT_EQ(d.which, ConnectionCase::Connected);
    EXPECT_EQ(d.text, "Connected to the controller on /dev/ttyUSB1.\n" + facts.controllerInfo);
    EXPECT_EQ(d.pane, "");
}

}  // namespace
}  // namespace zentrik
