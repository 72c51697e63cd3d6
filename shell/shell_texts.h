#pragma once

// Fixed texts, captions, command ids and the web-site address of the application shell.

namespace zentrik::shell_texts {

inline constexpr const char* kAppTitle = "Halvorn Zentrik";
inline constexpr const char* kMakerName = "Halvorn";
inline constexpr const char* kIdleText = "Ready";
inline constexpr const char* kStatisticsFormat =
    "Queued:%i  Sent:%i  Good:%i  CRC Errors:%i  Timeouts:%i";

// The maker's web site (a placeholder under the reserved example domain until the real
// address is known).
inline constexpr const char* kWebSiteAddress = "https://halvorn.example/";

// Command ids, shared by menu items and toolbar buttons.
inline constexpr int kIdAppExit = 57665;
inline constexpr int kIdViewToolBar = 32779;
inline constexpr int kIdViewStatusBar = 59393;
inline constexpr int kIdUpload = 32772;
inline constexpr int kIdDownload = 32773;
inline constexpr int kIdControllerInfo = 32774;
inline constexpr int kIdUpgradeFirmware = 32775;
inline constexpr int kIdConnection = 32776;
inline constexpr int kIdScan = 32780;
inline constexpr int kIdAppAbout = 57664;
// Configuration files, the comparison with the controller, the port choice and the two
// optional steps around uploads and upgrades.
inline constexpr int kIdOpenConfiguration = 32781;
inline constexpr int kIdSaveConfigurationAs = 32782;
inline constexpr int kIdCompare = 32783;
inline constexpr int kIdVerifyUpload = 32784;
inline constexpr int kIdBackupBeforeUpgrade = 32785;
inline constexpr int kIdPortAutomatic = 32786;
// The setup sheet.
inline constexpr int kIdExportSetupSheet = 32910;
// The Port submenu's devices, in the order the system lists them.
inline constexpr int kIdPortFirst = 32800;
inline constexpr int kIdPortLast = 32899;
// The Edit menu: the form's Undo and Redo, and the curve commands.
inline constexpr int kIdEditUndo = 32901;
inline constexpr int kIdEditRedo = 32902;
inline constexpr int kIdScalePoints = 32903;
inline constexpr int kIdAddToPoints = 32904;
inline constexpr int kIdInterpolatePoints = 32905;
inline constexpr int kIdCopyCurve = 32906;
inline constexpr int kIdCopyAllSettings = 32907;

// Menus.
inline constexpr const char* kMenuFile = "&File";
inline constexpr const char* kMenuEdit = "&Edit";
inline constexpr const char* kMenuView = "&View";
inline constexpr const char* kMenuController = "&Controller";
inline constexpr const char* kMenuHelp = "&Help";
inline constexpr const char* kMenuPort = "&Port";

// One command: its menu caption, status-bar prompt, tool tip and (for toolbar buttons) the
// text under the image.
struct CommandText {
    int id;
    const char* caption;
    const char* prompt;
    const char* tip;
    const char* buttonText;
};

inline constexpr CommandText kExit{
    kIdAppExit, "E&xit", "Quit the application; prompts to save documents", "Exit", nullptr};
inline constexpr CommandText kViewToolBar{kIdViewToolBar, "&Controller Toolbar",
                                          "Show or Hide the Controller Toolbar",
                                          "Toggle Controller Toolbar", nullptr};
inline constexpr CommandText kViewStatusBar{
    kIdViewStatusBar, "&Status Bar", "Show or hide the status bar", "Toggle StatusBar", nullptr};
inline constexpr CommandText kUpload{kIdUpload, "&Upload Config To Controller",
                                     "Upload Config to Controller", "Upload", "Upload"};
inline constexpr CommandText kDownload{kIdDownload, "&Download Config From Controller",
                                       "Download Config From Controller", "Download", "Download"};
inline constexpr CommandText kControllerInfo{kIdControllerInfo, "Get Controller &Info",
                                             "Get the Controller Version Info", "Controller Info",
                                             "Controller Info"};
inline constexpr CommandText kUpgradeFirmware{kIdUpgradeFirmware, "&Upgrade Firmware",
                                              "Update the Controller Firmware",
                                              "Upgrade Controller Firmware", nullptr};
inline constexpr CommandText kScan{kIdScan, "Scan For Connection",
                                   "Scan for a Connected Controller", "Scan ", nullptr};
inline constexpr CommandText kAbout{kIdAppAbout, "&About Halvorn Zentrik...",
                                    "Display About Window", "About", nullptr};
inline constexpr CommandText kOpenConfiguration{
    kIdOpenConfiguration, "&Open Configuration...",
    "Open a configuration file in place of this computer's configuration", "Open Configuration",
    nullptr};
inline constexpr CommandText kSaveConfigurationAs{
    kIdSaveConfigurationAs, "&Save Configuration As...",
    "Save this computer's configuration to a file", "Save Configuration As", nullptr};
inline constexpr CommandText kExportSetupSheet{
    kIdExportSetupSheet, "&Export Setup Sheet...",
    "Save this computer's configuration as a page to print, with both stages' curves",
    "Export Setup Sheet", nullptr};
inline constexpr CommandText kCompare{kIdCompare, "&Compare With Controller",
                                      "Compare this computer's configuration with the controller's",
                                      "Compare With Controller", nullptr};
inline constexpr CommandText kVerifyUpload{
    kIdVerifyUpload, "&Verify After Upload",
    "Read the configuration back after an upload and check that the controller holds it",
    "Verify After Upload", nullptr};
inline constexpr CommandText kBackupBeforeUpgrade{
    kIdBackupBeforeUpgrade, "&Back Up Before Upgrade",
    "Save the controller's configuration to a file before its firmware is upgraded",
    "Back Up Before Upgrade", nullptr};
inline constexpr CommandText kPortAutomatic{
    kIdPortAutomatic, "&Automatic", "Find the controller's port by itself", "Automatic", nullptr};
inline constexpr CommandText kEditUndo{kIdEditUndo, "&Undo", "Undo the last change of the curve",
                                       "Undo", nullptr};
inline constexpr CommandText kEditRedo{kIdEditRedo, "&Redo", "Redo the change undone last", "Redo",
                                       nullptr};
inline constexpr CommandText kScalePoints{
    kIdScalePoints, "&Scale Points...",
    "Multiply the selected points, or all points, by a factor in percent", "Scale Points", nullptr};
inline constexpr CommandText kAddToPoints{
    kIdAddToPoints, "A&dd to Points...",
    "Add a number of percent to the selected points, or to all points", "Add to Points", nullptr};
inline constexpr CommandText kInterpolatePoints{
    kIdInterpolatePoints, "&Interpolate Points",
    "Put the points between the first and the last selected point on a straight line",
    "Interpolate Points", nullptr};
inline constexpr CommandText kCopyCurve{kIdCopyCurve, "Copy &Curve to the Other Stage",
                                        "Copy this stage's curve to the other stage",
                                        "Copy Curve to the Other Stage", nullptr};
inline constexpr CommandText kCopyAllSettings{kIdCopyAllSettings,
                                              "Copy &All Settings to the Other Stage",
                                              "Copy every setting of this stage to the other stage",
                                              "Copy All Settings to the Other Stage", nullptr};
inline constexpr CommandText kConnection{kIdConnection, "Disconnected",
                                         "Displays the Controller Connection Status",
                                         "Controller Connection", "Disconnected"};

// Keyboard shortcuts of commands: Ctrl (and Shift) with a letter.
struct CommandKey {
    int id;
    bool shift;
    char letter;
};
inline constexpr CommandKey kCommandKeys[] = {
    {kIdOpenConfiguration, false, 'O'},
    {kIdSaveConfigurationAs, true, 'S'},
};
// Undo and Redo: shown in the Edit menu, but a field being typed in keeps them for its own
// text (Ctrl+Shift+Z is Redo too).
inline constexpr CommandKey kEditKeys[] = {
    {kIdEditUndo, false, 'Z'},
    {kIdEditRedo, false, 'Y'},
};

// The curve commands' number prompts and status texts.
inline constexpr const char* kScaleCaption = "Scale Points";
inline constexpr const char* kScaleLabel = "Multiply the points by (percent, 0 to 1000):";
inline constexpr const char* kScaleInitial = "100";
inline constexpr const char* kAddCaption = "Add to Points";
inline constexpr const char* kAddLabel = "Add to the points (percent, -100 to 100):";
inline constexpr const char* kAddInitial = "0";
inline constexpr const char* kNotANumber = "That is not a number: type one, such as 110 or -5.";
inline constexpr const char* kCurveCopiedFormat = "Curve copied to %s";
inline constexpr const char* kSettingsCopiedFormat = "All settings copied to %s";

// Port submenu: a device's item (printf format: device, then its identity, then the mark),
// the USB identity (vendor and product id, then the serial number) and the controller's mark.
inline constexpr const char* kPortItemFormat = "%s%s%s";
inline constexpr const char* kPortIdentityFormat = "  %04X:%04X";
inline constexpr const char* kPortControllerMark = "  (controller)";
inline constexpr const char* kPortDialogTitle = "Port";

// Configuration files.
inline constexpr const char* kOpenConfigurationTitle = "Open Configuration";
inline constexpr const char* kSaveConfigurationTitle = "Save Configuration As";
inline constexpr const char* kStatusOpenedFormat = "Configuration opened from %s";
inline constexpr const char* kStatusSavedFormat = "Configuration saved to %s";
inline constexpr const char* kConfigFileNameFormat = "zentrik-%s.zcfg";
// A configuration file that lacks settings: below what it lacks, the question, and its buttons.
inline constexpr const char* kOpenAnywayQuestion =
    "Open it anyway, with the default values for the missing settings?";
inline constexpr const char* kOpenAnywayButton = "Open Anyway";
inline constexpr const char* kCancelButton = "Cancel";

// The setup sheet.
inline constexpr const char* kExportSheetTitle = "Export Setup Sheet";
inline constexpr const char* kSheetFilterName = "Web Page (*.html)";
inline constexpr const char* kSheetPattern = "*.html";
inline constexpr const char* kSheetFileNameFormat = "zentrik-sheet-%s.html";
inline constexpr const char* kStatusSheetSavedFormat = "Setup sheet saved to %s";
inline constexpr const char* kSheetNotSavedFormat = "The setup sheet could not be saved to %s.";

// The comparison with the controller.
inline constexpr const char* kCompareCaption = "Compare With Controller";
inline constexpr const char* kUseControllersButton = "&Use Controller's";
inline constexpr const char* kUploadThisButton = "&Upload This";
inline constexpr const char* kCloseButton = "Close";
// Only the ticked rows taken (printf format: how many).
inline constexpr const char* kStatusSomeTakenFormat = "%d of the controller's settings taken";
inline constexpr const char* kStatusNoneTicked = "No setting was ticked; nothing was changed";

// The connection indicator's two texts.
inline constexpr const char* kConnected = "Connected";
inline constexpr const char* kDisconnected = "Disconnected";

inline constexpr const char* kToolBarCaption = "Controller Toolbar";

// Message box buttons with the mnemonics a keyboard user answers with.
inline constexpr const char* kAbortButton = "&Abort";
inline constexpr const char* kRetryButton = "&Retry";
inline constexpr const char* kIgnoreButton = "&Ignore";
inline constexpr const char* kYesButton = "&Yes";
inline constexpr const char* kNoButton = "&No";
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "Cancel";

// Firmware file chooser: the standard open-file title.
inline constexpr const char* kOpenFileTitle = "Open";

// Upgrade progress dialog.
inline constexpr const char* kProgressCaption = "Dialog";
inline constexpr const char* kProgressBeginning = "Beginning Firmware Upgrade.";
inline constexpr const char* kProgressChecking = "Checking Firmware Checksum";
inline constexpr const char* kProgressSendingFormat = "Sending Packet %i of %i";
inline constexpr const char* kProgressSuccess =
    "The update was successful!\n Please turn off the controller for 10 seconds.";

// Timed notice.
inline constexpr const char* kNoticeInitialCaption = "hmm";
inline constexpr const char* kNoticeInitialText = "Info here";
inline constexpr const char* kNoticeButtonFormat = "OK [%i sec]";
inline constexpr int kNoticeSeconds = 15;
inline constexpr int kNoticeTickMs = 1000;
inline constexpr const char* kDownloadedTitle = "Config Downloaded";
inline constexpr const char* kDownloadedText =
    "The config was downloaded from the controller successfully.";
inline constexpr const char* kUploadedTitle = "Config Uploaded";
inline constexpr const char* kUploadedText =
    "The config was uploaded to the controller successfully.";

// About box.
inline constexpr const char* kAboutCaption = "About Halvorn Zentrik";
inline constexpr const char* kVersionPrefix = "Version ";

// The window's command line, and a start that found the window of its settings file running
// but not answering.
inline constexpr const char* kWindowUsage = "usage: zentrik [FILE.zcfg] | zentrik --version";
inline constexpr const char* kWindowNotAnswering =
    "Halvorn Zentrik is already running with the same settings, but it does not answer. Close "
    "it and start the program again.";

}  // namespace zentrik::shell_texts
