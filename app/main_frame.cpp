#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/banner_bar.h"
#include "app/controller_tool_bar.h"
#include "app/notice_dlg.h"
#include "app/quarnel_doc.h"
#include "app/resources.h"
#include "app/status_panes.h"
#include "editor/quarnel_view.h"
#include "link/link_texts.h"
#include "link/serial/device_name.h"
#include "link/serial/open_failure_help.h"

namespace texts = zentrik::app_texts;
using zentrik::MessageAnswer;
using zentrik::MessageButtons;
using zentrik::MessageIcon;
using zentrik::RequestType;

namespace {

// The port's notification, carried from its event thread to the frame.
class PortEvent : public QEvent {
  public:
    static QEvent::Type Kind() {
        static const auto kind = static_cast<QEvent::Type>(QEvent::registerEventType());
        return kind;
    }
    explicit PortEvent(std::uintptr_t wParam) : QEvent(Kind()), m_wParam(wParam) {}
    std::uintptr_t WParam() const { return m_wParam; }

  private:
    std::uintptr_t m_wParam;
};

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What a box answers when the window closes while it is up, or would be shown after that:
// the answer that stops, never the one that goes on.
MessageAnswer SafeAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::AbortRetryIgnore:
            return MessageAnswer::Abort;
        case MessageButtons::YesNo:
            return MessageAnswer::No;
        case MessageButtons::Ok:
            break;
    }
    return MessageAnswer::Ok;
}

// The property of a message box button that holds its answer.
constexpr const char* kAnswerProperty = "zentrikAnswer";

}  // namespace

CMainFrame::CMainFrame(CQuarnelDoc& doc, zentrik::AppSettings& settings,
                       std::unique_ptr<zentrik::BridgeList> bridges)
    : m_doc(doc),
      m_settings(settings),
      m_scanner(std::move(bridges)),
      m_link(*this, m_port, settings, this),
      m_upgrade(m_link, *this),
      m_progress(this) {
    EnsureResources();
    setObjectName("mainFrame");
    // The title never carries a document name.
    setWindowTitle(texts::kAppTitle);
    setWindowIcon(QIcon(texts::kIconImage));

    m_replyTimer.setSingleShot(true);
    m_replyTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_replyTimer, &QTimer::timeout, this, [this] {
        m_link.OnReplyTimer();
        UpdateCommandUI();
    });

    m_statusRefresh.setSingleShot(true);
    m_statusRefresh.setTimerType(Qt::CoarseTimer);
    connect(&m_statusRefresh, &QTimer::timeout, this, &CMainFrame::RefreshStatusPanes);
}

CMainFrame::~CMainFrame() {
    m_replyTimer.stop();
    m_settings.SaveSettings();
    // Joins the port's event thread before the port goes; nothing is posted after this.
    m_link.ClosePort();
}

// ---- creation --------------------------------------------------------------------------------

void CMainFrame::Create() {
    CreateCommands();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateClientArea();
    m_settings.LoadSettings();
    m_link.ScanForConnection(m_scanner, m_settings);
    StartDeviceWatcher();
    UpdateCommandUI();
}

void CMainFrame::CreateCommands() {
    const auto make = [this](const texts::CommandText& command) {
        auto* action = new QAction(command.caption, this);
        action->setObjectName(QString("command%1").arg(command.id));
        action->setProperty("commandId", command.id);
        action->setStatusTip(command.prompt);
        action->setToolTip(command.tip);
        if (command.buttonText != nullptr) {
            action->setIconText(command.buttonText);
        }
        m_commands.push_back(action);
        return action;
    };
    connect(make(texts::kExit), &QAction::triggered, this, &QWidget::close);
    QAction* toolBar = make(texts::kViewToolBar);
    toolBar->setCheckable(true);
    connect(toolBar, &QAction::triggered, this, &CMainFrame::OnToggleToolBar);
    QAction* statusBarToggle = make(texts::kViewStatusBar);
    statusBarToggle->setCheckable(true);
    connect(statusBarToggle, &QAction::triggered, this, &CMainFrame::OnToggleStatusBar);
    connect(make(texts::kUpload), &QAction::triggered, this,
            [this] { OnQueue(RequestType::UploadConfig); });
    connect(make(texts::kDownload), &QAction::triggered, this,
            [this] { OnQueue(RequestType::DownloadConfig); });
    connect(make(texts::kControllerInfo), &QAction::triggered, this,
            [this] { OnQueue(RequestType::ControllerInfo); });
    connect(make(texts::kUpgradeFirmware), &QAction::triggered, this,
            &CMainFrame::OnUpgradeFirmware);
    connect(make(texts::kScan), &QAction::triggered, this, &CMainFrame::OnScanForConnection);
    make(texts::kAbout);       // handled by the application object
    make(texts::kConnection);  // an indicator: no effect

    const auto images = [](const char* name) {
        QIcon icon;
        icon.addFile(QString(":/images/%1.svg").arg(name), QSize(), QIcon::Normal);
        icon.addFile(QString(":/images/%1-disabled.svg").arg(name), QSize(), QIcon::Disabled);
        return icon;
    };
    Command(texts::kIdConnection)->setIcon(images("connection"));
    Command(texts::kIdUpload)->setIcon(images("upload"));
    Command(texts::kIdDownload)->setIcon(images("download"));
    Command(texts::kIdControllerInfo)->setIcon(images("info"));
    // Menu items show no toolbar images.
    for (QAction* action : m_commands) {
        action->setIconVisibleInMenu(false);
    }
}

QAction* CMainFrame::Command(int id) const {
    for (QAction* action : m_commands) {
        if (action->property("commandId").toInt() == id) {
            return action;
        }
    }
    return nullptr;
}

void CMainFrame::CreateMenus() {
    const auto menu = [this](const char* title) {
        QMenu* m = menuBar()->addMenu(title);
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
        m_menus.push_back(m);
        return m;
    };
    QMenu* file = menu(texts::kMenuFile);
    file->setObjectName("menuFile");
    file->addAction(Command(texts::kIdAppExit));
    QMenu* view = menu(texts::kMenuView);
    view->setObjectName("menuView");
    view->addAction(Command(texts::kIdViewToolBar));
    view->addAction(Command(texts::kIdViewStatusBar));
    QMenu* controller = menu(texts::kMenuController);
    controller->setObjectName("menuController");
    controller->addAction(Command(texts::kIdUpload));
    controller->addAction(Command(texts::kIdDownload));
    controller->addAction(Command(texts::kIdControllerInfo));
    controller->addSeparator();
    controller->addAction(Command(texts::kIdUpgradeFirmware));
    controller->addAction(Command(texts::kIdScan));
    QMenu* help = menu(texts::kMenuHelp);
    help->setObjectName("menuHelp");
    help->addAction(Command(texts::kIdAppAbout));
}

void CMainFrame::CreateToolBar() {
    m_toolBar = new CControllerToolBar(this);
    m_toolBar->addAction(Command(texts::kIdConnection));
    m_toolBar->addAction(Command(texts::kIdUpload));
    m_toolBar->addAction(Command(texts::kIdDownload));
    m_toolBar->addAction(Command(texts::kIdControllerInfo));
    m_toolBar->EqualiseButtons();
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    connect(m_toolBar, &QToolBar::visibilityChanged, this, &CMainFrame::UpdateCommandUI);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("statusBar");
    m_statusPanes = new StatusPanes(bar);
    bar->addWidget(m_statusPanes, 1);
    m_statusPane = m_statusPanes->Status();
    m_statisticsPane = m_statusPanes->Statistics();
    m_statusText = texts::kIdleText;
    m_statusPanes->SetTexts(m_statusText, QString());
}

void CMainFrame::CreateClientArea() {
    m_banner = new CBannerBar;
    m_view = new CQuarnelView(m_doc.Document(), m_settings);
    m_view->setObjectName("quarnelView");
    m_doc.AddView(m_view);
    CQuarnelDoc* doc = &m_doc;
    CQuarnelView* view = m_view;
    connect(m_view, &QObject::destroyed, &m_doc, [doc, view] { doc->RemoveView(view); });

    // A window narrower or lower than the form scrolls it instead of clipping it.
    m_viewArea = new QScrollArea;
    m_viewArea->setObjectName("viewArea");
    m_viewArea->setWidgetResizable(true);
    m_viewArea->setFrameShape(QFrame::NoFrame);
    // The area itself is no Tab stop: it shows no focus, only the form's controls do.
    m_viewArea->setFocusPolicy(Qt::NoFocus);
    m_viewArea->setWidget(m_view);

    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_viewArea, 1);
    layout->addWidget(m_banner);
    setCentralWidget(client);
}

void CMainFrame::StartDeviceWatcher() {
    if (!m_watcher.Start()) {
        return;  // no udev: scans still happen at start-up and on the user's command
    }
    m_watcherNotifier = new QSocketNotifier(m_watcher.Fd(), QSocketNotifier::Read, this);
    connect(m_watcherNotifier, &QSocketNotifier::activated, this,
            [this](QSocketDescriptor, QSocketNotifier::Type) {
                // A burst of changes (a bridge brings a USB device and a tty) is one scan.
                const std::vector<zentrik::DeviceChange> changes = m_watcher.Drain();
                if (!changes.empty()) {
                    OnDeviceChange(changes.back() == zentrik::DeviceChange::Arrival
                                       ? kDeviceArrival
                                       : kDeviceRemoveComplete);
                }
            });
}

void CMainFrame::InitialUpdate() {
    m_view->OnInitialUpdate();
    // Fit the frame around the form, within the screen; a smaller screen scrolls the form.
    const QSize form = m_view->sizeHint();
    int width = std::max(form.width(), m_toolBar->sizeHint().width());
    int height = form.height() + m_banner->sizeHint().height();
    height += menuBar()->sizeHint().height();
    if (!m_toolBar->isHidden()) {
        height += m_toolBar->sizeHint().height();
    }
    if (!statusBar()->isHidden()) {
        height += statusBar()->sizeHint().height();
    }
    if (const QScreen* screen = this->screen()) {
        const QSize available = screen->availableSize();
        width = std::min(width, available.width());
        height = std::min(height, available.height());
    }
    resize(width, height);
}

// ---- commands --------------------------------------------------------------------------------

void CMainFrame::CommitPendingInput() {
    if (m_view != nullptr) {
        m_view->CommitPendingEdit();
    }
}

void CMainFrame::OnQueue(RequestType type) {
    if (!m_link.CommandsEnabled()) {
        return;  // a shortcut or a stale click while the command is disabled
    }
    CommitPendingInput();
    m_link.QueueRequest(type);
    UpdateCommandUI();
}

void CMainFrame::OnUpgradeFirmware() {
    if (!m_link.CommandsEnabled()) {
        return;
    }
    CommitPendingInput();
    m_upgrade.Run();
    UpdateCommandUI();
}

void CMainFrame::OnScanForConnection() {
    CommitPendingInput();
    m_link.ScanForConnection(m_scanner, m_settings);
    UpdateCommandUI();
}

void CMainFrame::OnToggleToolBar() {
    m_toolBar->setVisible(m_toolBar->isHidden());
    UpdateCommandUI();
}

void CMainFrame::OnToggleStatusBar() {
    statusBar()->setVisible(statusBar()->isHidden());
    UpdateCommandUI();
}

void CMainFrame::UpdateCommandUI() {
    const bool open = m_link.IsPortOpen();
    const bool commands = m_link.CommandsEnabled();
    for (const int id : {texts::kIdUpload, texts::kIdDownload, texts::kIdControllerInfo,
                         texts::kIdUpgradeFirmware}) {
        Command(id)->setEnabled(commands);
    }
    QAction* connection = Command(texts::kIdConnection);
    connection->setEnabled(open);
    const char* state = open ? texts::kConnected : texts::kDisconnected;
    connection->setText(state);
    connection->setIconText(state);
    Command(texts::kIdViewToolBar)->setChecked(!m_toolBar->isHidden());
    Command(texts::kIdViewStatusBar)->setChecked(!statusBar()->isHidden());
    if (m_progress.IsTransferring()) {
        ScheduleStatusRefresh();
    } else {
        RefreshStatusPanes();
    }
}

QString CMainFrame::StatisticsText() const {
    const zentrik::LinkCounters& c = m_link.Counters();
    return QString::asprintf(texts::kStatisticsFormat, static_cast<int>(m_link.QueueLength()),
                             c.sentCount, c.goodCount, c.crcErrorCount, c.timeoutCount);
}

void CMainFrame::RefreshStatusPanes() {
    m_statusRefresh.stop();
    m_statusPanes->SetTexts(m_statusText, StatisticsText());
    m_sinceStatusRefresh.start();
}

void CMainFrame::ScheduleStatusRefresh() {
    if (m_statusRefresh.isActive()) {
        return;
    }
    const qint64 elapsed =
        m_sinceStatusRefresh.isValid() ? m_sinceStatusRefresh.elapsed() : kRepaintMs;
    if (elapsed >= kRepaintMs) {
        RefreshStatusPanes();
    } else {
        m_statusRefresh.start(static_cast<int>(kRepaintMs - elapsed));
    }
}

// ---- device changes --------------------------------------------------------------------------

void CMainFrame::OnDeviceChange(unsigned eventType) {
    if (eventType != kDeviceArrival && eventType != kDeviceRemoveComplete) {
        return;
    }
    // A change that comes while a box of an earlier one is up is followed once that one has
    // finished, with a fresh scan.
    if (m_inDeviceChange) {
        m_deviceChangeAgain = true;
        return;
    }
    m_inDeviceChange = true;
    do {
        m_deviceChangeAgain = false;
        FollowDeviceChange();
    } while (m_deviceChangeAgain && !m_closed);
    m_inDeviceChange = false;
    UpdateCommandUI();
}

void CMainFrame::FollowDeviceChange() {
    const bool found = m_scanner.FindController(m_settings);
    if (!found) {
        m_link.ClosePort();
        return;
    }
    // A port that still reaches the controller is left alone: reopening it would cut off
    // whatever is under way (a firmware transfer above all) for no reason. During an upgrade
    // only the controller's bridge going away touches the port.
    if (m_link.IsPortOpen() && !m_port.IsStale()) {
        if (m_link.upgradeInProgress() ||
            zentrik::ControllerDeviceName(m_settings.CommPort) == m_port.DeviceName()) {
            return;
        }
    }
    m_link.OpenControllerPort();
}

// ---- port notifications ----------------------------------------------------------------------

void CMainFrame::PostPortEvent(std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t /*lParam*/) {
    if (message != zentrik::WM_PORT_EVENT) {
        return;
    }
    m_port.NoteEvent(wParam);
    QCoreApplication::postEvent(this, new PortEvent(wParam));
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == PortEvent::Kind()) {
        m_link.OnPortEvent(static_cast<PortEvent*>(event)->WParam());
        // The device behind the port is gone: its handle can never work again. Closed at
        // once, so the indicator says so and a returning controller gets a fresh open.
        if (m_port.HungUp() && m_link.IsPortOpen()) {
            m_link.ClosePort();
        }
        UpdateCommandUI();
        return true;
    }
    return QMainWindow::event(event);
}

// ---- closing ---------------------------------------------------------------------------------

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_modals.empty()) {
        // Boxes and the notice are ended with the answer that stops; the progress dialog
        // can't be, so the window closes once the transfer has ended and its result has
        // been acknowledged.
        event->ignore();
        m_closePending = true;
        for (auto it = m_modals.rbegin(); it != m_modals.rend(); ++it) {
            if (it->dialog && it->endForClose) {
                it->endForClose();
            }
        }
        return;
    }
    m_closed = true;
    m_closePending = true;
    m_replyTimer.stop();
    CommitPendingInput();
    m_doc.OnCloseDocument();
    event->accept();
}

int CMainFrame::RunModal(QDialog& dialog, std::function<void()> endForClose) {
    m_modals.push_back({&dialog, std::move(endForClose)});
    const int result = dialog.exec();
    m_modals.pop_back();
    AfterModal();
    return result;
}

void CMainFrame::AfterModal() {
    UpdateCommandUI();
    if (m_closePending && !m_closed && m_modals.empty()) {
        // Out of the link's call first: the close runs from the event loop.
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

// ---- LinkHost --------------------------------------------------------------------------------

void CMainFrame::SetStatusText(std::string_view text) {
    m_statusText = FromView(text);
    if (m_progress.IsTransferring()) {
        ScheduleStatusRefresh();
    } else {
        RefreshStatusPanes();
    }
}

std::unique_ptr<QMessageBox> CMainFrame::CreateMessageBox(const QString& text,
                                                          const QString& caption, MessageIcon icon,
                                                          MessageButtons buttons) {
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
        case MessageIcon::Exclamation:
            qtIcon = QMessageBox::Warning;
            break;
        case MessageIcon::Question:
            qtIcon = QMessageBox::Question;
            break;
        case MessageIcon::Information:
            qtIcon = QMessageBox::Information;
            break;
        case MessageIcon::None:
            break;
    }
    auto box = std::make_unique<QMessageBox>(qtIcon, caption, text, QMessageBox::NoButton, this);
    // The buttons in the order the tool has always shown them, whatever the desktop's own
    // button order; with no reject button, Escape and the close box answer nothing, except
    // for a box with a single OK button.
    const auto add = [&box](const char* label, MessageAnswer answer) {
        QPushButton* button = box->addButton(label, QMessageBox::ActionRole);
        button->setProperty(kAnswerProperty, static_cast<int>(answer));
        return button;
    };
    switch (buttons) {
        case MessageButtons::AbortRetryIgnore:
            // With mnemonics, so that Alt+A, Alt+R and Alt+I answer.
            box->setDefaultButton(add(texts::kAbortButton, MessageAnswer::Abort));
            add(texts::kRetryButton, MessageAnswer::Retry);
            add(texts::kIgnoreButton, MessageAnswer::Ignore);
            break;
        case MessageButtons::YesNo:
            box->setDefaultButton(add(texts::kYesButton, MessageAnswer::Yes));
            add(texts::kNoButton, MessageAnswer::No);
            break;
        case MessageButtons::Ok:
            box->setDefaultButton(add(texts::kOk, MessageAnswer::Ok));
            break;
    }
    return box;
}

MessageAnswer CMainFrame::ShowMessageBox(std::string_view text, std::string_view caption,
                                         MessageIcon icon, MessageButtons buttons) {
    if (m_closePending) {
        return SafeAnswer(buttons);  // the window is closing: nothing more is asked
    }
    std::unique_ptr<QMessageBox> box =
        CreateMessageBox(FromView(text), FromView(caption), icon, buttons);
    return RunBox(*box, buttons);
}

void CMainFrame::ShowPortUnavailable(std::string_view text, const std::string& device, int error) {
    if (m_closePending) {
        return;
    }
    std::unique_ptr<QMessageBox> box =
        CreateMessageBox(FromView(text), zentrik::link_texts::kPortUnavailableCaption,
                         MessageIcon::Exclamation, MessageButtons::Ok);
    box->setObjectName("portUnavailableBox");
    // Why, and what to do about it, below the text.
    const std::string help = zentrik::OpenFailureHelp(error, device);
    if (!help.empty()) {
        box->setInformativeText(QString::fromStdString(help));
    }
    RunBox(*box, MessageButtons::Ok);
}

MessageAnswer CMainFrame::RunBox(QMessageBox& box, MessageButtons buttons) {
    QMessageBox* raw = &box;
    const MessageAnswer safe = SafeAnswer(buttons);
    RunModal(box, [raw, safe] {
        for (QAbstractButton* button : raw->buttons()) {
            if (button->property(kAnswerProperty).toInt() == static_cast<int>(safe)) {
                button->click();
                return;
            }
        }
        raw->reject();
    });
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr || !clicked->property(kAnswerProperty).isValid()) {
        return safe;
    }
    return static_cast<MessageAnswer>(clicked->property(kAnswerProperty).toInt());
}

void CMainFrame::ShowNotice(zentrik::NoticeKind kind) {
    if (m_closePending) {
        return;
    }
    CNoticeDlg notice(this);
    notice.SetTickInterval(m_noticeTickMs);
    CNoticeDlg* raw = &notice;
    m_modals.push_back({&notice, [raw] { raw->reject(); }});
    notice.ShowNotice(static_cast<int>(kind));
    m_modals.pop_back();
    AfterModal();
}

void CMainFrame::RunUpgrade(int total, zentrik::FirmwareUnitSource& source) {
    if (m_closePending) {
        // The window is closing: no transfer is begun that could not be finished.
        m_link.SetUpgradeInProgress(false);
        m_link.ResetReceiver();
        return;
    }
    m_progress.setModal(true);
    m_modals.push_back({&m_progress, nullptr});
    UpdateCommandUI();
    m_progress.RunUpgrade(total, source);
    m_modals.pop_back();
    AfterModal();
}

void CMainFrame::ShowStep(int step) {
    m_progress.ShowStep(step);
}

void CMainFrame::FinishWithText(std::string_view text) {
    m_progress.FinishWithText(FromView(text));
    RefreshStatusPanes();
}

void CMainFrame::FinishWithSuccess() {
    m_progress.FinishWithSuccess();
    RefreshStatusPanes();
}

std::optional<std::string> CMainFrame::ChooseFileToOpen(std::string_view filterName,
                                                        std::string_view /*pattern*/) {
    if (m_closePending) {
        return std::nullopt;
    }
    // The filter's name carries its pattern in parentheses.
    QFileDialog dialog(this, texts::kOpenFileTitle, QString(), FromView(filterName));
    dialog.setObjectName("firmwareFileDialog");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    QFileDialog* raw = &dialog;
    if (RunModal(dialog, [raw] { raw->reject(); }) != QDialog::Accepted || m_closePending) {
        return std::nullopt;
    }
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) {
        return std::nullopt;
    }
    return files.front().toStdString();
}

void CMainFrame::StartReplyTimer(unsigned milliseconds) {
    m_replyTimer.start(static_cast<int>(milliseconds));
}

void CMainFrame::StopReplyTimer() {
    m_replyTimer.stop();
}

zentrik::ConfigDocument& CMainFrame::Document() {
    return m_doc.Document();
}

void CMainFrame::RefreshViews(int hint) {
    m_doc.UpdateAllViews(hint);
}

std::string CMainFrame::ApplicationTitle() {
    return texts::kAppTitle;
}
