#include "ui/qt/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
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
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/connection_status_texts.h"
#include "shell/frame_fit.h"
#include "shell/history_texts.h"
#include "shell/shell_texts.h"
#include "ui/qt/about_dlg.h"
#include "ui/qt/banner_bar.h"
#include "ui/qt/choice_box.h"
#include "ui/qt/compare_dlg.h"
#include "ui/qt/controller_tool_bar.h"
#include "ui/qt/history_dlg.h"
#include "ui/qt/message_box.h"
#include "ui/qt/notice_dlg.h"
#include "ui/qt/number_prompt_dlg.h"
#include "ui/qt/quarnel_view.h"
#include "ui/qt/resources.h"
#include "ui/qt/status_panes.h"

namespace texts = zentrik::shell_texts;
using zentrik::BoxRequest;
using zentrik::FrameBar;
using zentrik::MessageAnswer;
using zentrik::MessageButtons;
using zentrik::MessageIcon;

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

}  // namespace

CMainFrame::CMainFrame(zentrik::CQuarnelDoc& doc, zentrik::AppSettings& settings,
                       std::unique_ptr<zentrik::BridgeList> bridges)
    : m_shell(*this, doc, settings, std::move(bridges)), m_progress(this) {
    EnsureResources();
    setObjectName("mainFrame");
    // The title never carries a document name.
    setWindowTitle(texts::kAppTitle);
    setWindowIcon(QIcon(kIconImage));

    m_replyTimer.setSingleShot(true);
    m_replyTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_replyTimer, &QTimer::timeout, this, [this] { m_shell.OnReplyTimer(); });

    m_statusRefresh.setSingleShot(true);
    m_statusRefresh.setTimerType(Qt::CoarseTimer);
    connect(&m_statusRefresh, &QTimer::timeout, this, &CMainFrame::RefreshStatusPanes);
}

CMainFrame::~CMainFrame() {
    m_replyTimer.stop();
    // Before anything of the window goes: the port's event thread posts to it.
    m_shell.OnDestroy();
}

// ---- creation --------------------------------------------------------------------------------

void CMainFrame::Create() {
    CreateCommands();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateClientArea();
    m_shell.Create();
    StartDeviceWatcher();
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
        const int id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { m_shell.OnCommand(id); });
        m_commands.push_back(action);
        return action;
    };
    for (const texts::CommandText& command : {texts::kExit,
                                              texts::kViewToolBar,
                                              texts::kViewStatusBar,
                                              texts::kUpload,
                                              texts::kDownload,
                                              texts::kControllerInfo,
                                              texts::kUpgradeFirmware,
                                              texts::kScan,
                                              texts::kConnectionStatus,
                                              texts::kAbout,
                                              texts::kConnection,
                                              texts::kOpenConfiguration,
                                              texts::kSaveConfigurationAs,
                                              texts::kExportSetupSheet,
                                              texts::kCompare,
                                              zentrik::history_texts::kHistory,
                                              texts::kVerifyUpload,
                                              texts::kBackupBeforeUpgrade,
                                              texts::kEditUndo,
                                              texts::kEditRedo,
                                              texts::kScalePoints,
                                              texts::kAddToPoints,
                                              texts::kInterpolatePoints,
                                              texts::kCopyCurve,
                                              texts::kCopyAllSettings}) {
        make(command);
    }
    for (const int id : {texts::kIdViewToolBar, texts::kIdViewStatusBar, texts::kIdVerifyUpload,
                         texts::kIdBackupBeforeUpgrade}) {
        Command(id)->setCheckable(true);
    }
    for (const texts::CommandKey& key : texts::kCommandKeys) {
        const QKeyCombination keys(
            key.shift ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier,
            static_cast<Qt::Key>(key.letter));
        Command(key.id)->setShortcut(QKeySequence(keys));
    }
    // A field being typed in takes these keys for its own text before a shortcut sees them.
    for (const texts::CommandKey& key : texts::kEditKeys) {
        Command(key.id)->setShortcut(
            QKeySequence(QKeyCombination(Qt::ControlModifier, static_cast<Qt::Key>(key.letter))));
    }
    Command(texts::kIdEditRedo)
        ->setShortcuts({Command(texts::kIdEditRedo)->shortcut(),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

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
    const auto menu = [this](const char* title, const char* name) {
        QMenu* m = menuBar()->addMenu(title);
        m->setObjectName(name);
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::RefreshCommands);
        m_menus.push_back(m);
        return m;
    };
    QMenu* file = menu(texts::kMenuFile, "menuFile");
    file->addAction(Command(texts::kIdOpenConfiguration));
    file->addAction(Command(texts::kIdSaveConfigurationAs));
    file->addAction(Command(texts::kIdExportSetupSheet));
    file->addSeparator();
    file->addAction(Command(texts::kIdAppExit));
    QMenu* edit = menu(texts::kMenuEdit, "menuEdit");
    edit->addAction(Command(texts::kIdEditUndo));
    edit->addAction(Command(texts::kIdEditRedo));
    edit->addSeparator();
    for (const int id :
         {texts::kIdScalePoints, texts::kIdAddToPoints, texts::kIdInterpolatePoints}) {
        edit->addAction(Command(id));
    }
    edit->addSeparator();
    edit->addAction(Command(texts::kIdCopyCurve));
    edit->addAction(Command(texts::kIdCopyAllSettings));
    QMenu* view = menu(texts::kMenuView, "menuView");
    view->addAction(Command(texts::kIdViewToolBar));
    view->addAction(Command(texts::kIdViewStatusBar));
    QMenu* controller = menu(texts::kMenuController, "menuController");
    controller->addAction(Command(texts::kIdUpload));
    controller->addAction(Command(texts::kIdDownload));
    controller->addAction(Command(texts::kIdControllerInfo));
    controller->addAction(Command(texts::kIdCompare));
    controller->addAction(Command(zentrik::history_texts::kIdHistory));
    controller->addSeparator();
    controller->addAction(Command(texts::kIdUpgradeFirmware));
    controller->addAction(Command(texts::kIdScan));
    m_portMenu = controller->addMenu(texts::kMenuPort);
    m_portMenu->setObjectName("menuPort");
    connect(m_portMenu, &QMenu::aboutToShow, this, &CMainFrame::FillPortMenu);
    controller->addAction(Command(texts::kIdConnectionStatus));
    controller->addSeparator();
    controller->addAction(Command(texts::kIdVerifyUpload));
    controller->addAction(Command(texts::kIdBackupBeforeUpgrade));
    QMenu* help = menu(texts::kMenuHelp, "menuHelp");
    help->addAction(Command(texts::kIdAppAbout));
}

void CMainFrame::FillPortMenu() {
    m_portMenu->clear();
    for (const zentrik::PortChoice& choice : m_shell.PortChoices()) {
        QAction* item =
            m_portMenu->addAction(choice.device.empty() ? QString(texts::kPortAutomatic.caption)
                                                        : QString::fromStdString(choice.label));
        item->setObjectName(QString("command%1").arg(choice.id));
        item->setCheckable(true);
        item->setChecked(choice.checked);
        const int id = choice.id;
        connect(item, &QAction::triggered, this, [this, id] { m_shell.OnCommand(id); });
        if (choice.device.empty()) {
            m_portMenu->addSeparator();
        }
    }
}

void CMainFrame::CreateToolBar() {
    m_toolBar = new CControllerToolBar(this);
    for (const int id :
         {texts::kIdConnection, texts::kIdUpload, texts::kIdDownload, texts::kIdControllerInfo}) {
        m_toolBar->addAction(Command(id));
    }
    m_toolBar->EqualiseButtons();
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    connect(m_toolBar, &QToolBar::visibilityChanged, this, &CMainFrame::RefreshCommands);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("statusBar");
    m_statusPanes = new StatusPanes(bar);
    bar->addWidget(m_statusPanes, 1);
    m_statusPanes->SetTexts(texts::kIdleText, QString());
    connect(m_statusPanes, &StatusPanes::markersDoubleClicked, this,
            [this] { m_shell.OnMarkersPaneDoubleClicked(); });
}

QLabel* CMainFrame::StatusPane() const {
    return m_statusPanes->Status();
}

QLabel* CMainFrame::StatisticsPane() const {
    return m_statusPanes->Statistics();
}

QLabel* CMainFrame::MarkersPane() const {
    return m_statusPanes->Markers();
}

void CMainFrame::CreateClientArea() {
    m_banner = new CBannerBar;
    connect(m_banner, &CBannerBar::pictureClicked, this,
            [this] { OpenWebSite(texts::kWebSiteAddress); });
    zentrik::CQuarnelDoc& doc = m_shell.Doc();
    m_view = new CQuarnelView(doc.Document(), m_shell.Settings());
    m_view->setObjectName("quarnelView");
    doc.AddView(m_view);
    // The form lives as long as the frame, whose behaviour is gone before its children go.
    m_shell.SetForm(&m_view->Form());
    CQuarnelView* view = m_view;
    connect(m_view, &QObject::destroyed, this, [&doc, view] { doc.RemoveView(view); });
    // Undo and Redo follow the form, and their shortcuts act only while enabled.
    connect(m_view, &CQuarnelView::formChanged, this, &CMainFrame::RefreshCommands);
    connect(m_view, &CQuarnelView::synced, this, [this] { m_shell.OnFormChanged(); });

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
                m_shell.OnDeviceChanges(m_watcher.Drain());
            });
}

void CMainFrame::InitialUpdate() {
    m_view->OnInitialUpdate();
    // The document was loaded after the frame's creation: its marks now.
    m_shell.OnFormChanged();
    // Fit the frame around the form and the bars, within the screen's work area. The form
    // never gets smaller than it lays out naturally: a smaller window scrolls it instead of
    // squeezing its lists and fields until their texts are cut.
    const QSize form = m_view->sizeHint();
    m_view->setMinimumSize(form);
    zentrik::FrameNeeds needs;
    needs.formWidth = form.width();
    needs.formHeight = form.height();
    needs.barsWidth = std::max(m_banner->sizeHint().width(), menuBar()->sizeHint().width());
    needs.barsHeight = menuBar()->sizeHint().height() + m_banner->sizeHint().height();
    if (!m_toolBar->isHidden()) {
        needs.barsWidth = std::max(needs.barsWidth, m_toolBar->sizeHint().width());
        needs.barsHeight += m_toolBar->sizeHint().height();
    }
    if (!statusBar()->isHidden()) {
        needs.barsHeight += statusBar()->sizeHint().height();
    }
    // The window manager's frame, as far as it is known before the window is first shown.
    needs.frameWidth = frameGeometry().width() - geometry().width();
    needs.frameHeight = frameGeometry().height() - geometry().height();
    needs.verticalScrollWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    needs.horizontalScrollHeight = needs.verticalScrollWidth;
    const QScreen* screen = this->screen();
    if (screen == nullptr) {
        resize(std::max(needs.formWidth, needs.barsWidth), needs.formHeight + needs.barsHeight);
        return;
    }
    // The size alone: where the window goes is the window manager's choice.
    const QRect available = screen->availableGeometry();
    const zentrik::ScreenRect place =
        FitFrame(needs,
                 {available.left(), available.top(), available.left() + available.width(),
                  available.top() + available.height()},
                 available.left(), available.top());
    resize(place.Width() - needs.frameWidth, place.Height() - needs.frameHeight);
}

// ---- commands and status -----------------------------------------------------------------------

void CMainFrame::RefreshCommands() {
    for (QAction* action : m_commands) {
        const zentrik::CommandState state = m_shell.Command(action->property("commandId").toInt());
        action->setEnabled(state.enabled);
        if (action->isCheckable()) {
            action->setChecked(state.checked);
        }
        if (!state.text.empty()) {
            const QString text = QString::fromStdString(state.text);
            action->setText(text);
            action->setIconText(text);
        }
    }
}

void CMainFrame::ShowStatus() {
    if (!m_shell.Transferring()) {
        RefreshStatusPanes();
        return;
    }
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

void CMainFrame::ShowMarkers(const zentrik::UploadMarkers& markers) {
    if (m_view != nullptr) {
        m_view->ShowMarkers(markers);
    }
    if (m_statusPanes != nullptr) {
        m_statusPanes->SetMarkersText(QString::fromStdString(markers.paneText));
    }
}

void CMainFrame::RefreshStatusPanes() {
    m_statusRefresh.stop();
    m_statusPanes->SetTexts(QString::fromStdString(m_shell.StatusText()),
                            QString::fromStdString(m_shell.StatisticsText()));
    m_sinceStatusRefresh.start();
}

void CMainFrame::CommitPendingInput() {
    if (m_view != nullptr) {
        m_view->CommitPendingEdit();
    }
}

bool CMainFrame::IsBarVisible(FrameBar bar) const {
    return bar == FrameBar::ToolBar ? !m_toolBar->isHidden() : !statusBar()->isHidden();
}

void CMainFrame::SetBarVisible(FrameBar bar, bool visible) {
    if (bar == FrameBar::ToolBar) {
        m_toolBar->setVisible(visible);
    } else {
        statusBar()->setVisible(visible);
    }
}

void CMainFrame::OpenWebSite(std::string_view address) {
    QDesktopServices::openUrl(QUrl(FromView(address)));
}

void CMainFrame::OpenInBrowser(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

// ---- port notifications and timers ------------------------------------------------------------

void CMainFrame::PostPortEvent(std::uintptr_t wParam) {
    QCoreApplication::postEvent(this, new PortEvent(wParam));
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == PortEvent::Kind()) {
        m_shell.OnPortEvent(static_cast<PortEvent*>(event)->WParam());
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::StartReplyTimer(unsigned milliseconds) {
    m_replyTimer.start(static_cast<int>(milliseconds));
}

void CMainFrame::StopReplyTimer() {
    m_replyTimer.stop();
}

// ---- closing -----------------------------------------------------------------------------------

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_shell.RequestClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainFrame::EndModalsForClose() {
    for (auto it = m_modals.rbegin(); it != m_modals.rend(); ++it) {
        if (it->dialog && it->endForClose) {
            it->endForClose();
        }
    }
}

void CMainFrame::PostClose() {
    QTimer::singleShot(0, this, [this] { close(); });
}

int CMainFrame::RunModal(QDialog& dialog, std::function<void()> endForClose) {
    m_modals.push_back({&dialog, std::move(endForClose)});
    const int result = dialog.exec();
    m_modals.pop_back();
    return result;
}

// ---- boxes and dialogs -------------------------------------------------------------------------

std::optional<MessageAnswer> CMainFrame::ShowBox(const BoxRequest& request) {
    if (!request.acceptButton.empty()) {
        CChoiceBox box(request, this);
        CChoiceBox* raw = &box;
        RunModal(box, [raw] { raw->reject(); });
        return box.Answer();
    }
    std::unique_ptr<QMessageBox> box = CreateMessageBox(request, this);
    QMessageBox* raw = box.get();
    RunModal(*box, [raw] { raw->reject(); });
    return AnswerOf(*box);
}

void CMainFrame::RunNotice(zentrik::NoticeCountdown& countdown) {
    CNoticeDlg notice(countdown, this);
    notice.SetTickInterval(m_noticeTickMs);
    CNoticeDlg* raw = &notice;
    m_modals.push_back({&notice, [raw] { raw->reject(); }});
    notice.ShowNotice();
    m_modals.pop_back();
}

void CMainFrame::RunProgress(zentrik::UpgradeProgress& progress,
                             zentrik::FirmwareUnitSource& source) {
    m_progress.setModal(true);
    m_modals.push_back({&m_progress, nullptr});
    m_progress.RunUpgrade(progress, source);
    m_modals.pop_back();
}

void CMainFrame::ShowProgress() {
    m_progress.ShowProgress();
}

std::optional<std::string> CMainFrame::RunFileDialog(QFileDialog& dialog) {
    QFileDialog* raw = &dialog;
    if (RunModal(dialog, [raw] { raw->reject(); }) != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) {
        return std::nullopt;
    }
    return files.front().toStdString();
}

std::optional<std::string> CMainFrame::ChooseFileToSave(std::string_view title,
                                                        std::string_view filterName,
                                                        std::string_view pattern,
                                                        std::string_view suggestedName) {
    QFileDialog dialog(this, FromView(title), FromView(suggestedName), FromView(filterName));
    dialog.setObjectName("saveFileDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without an extension gets the pattern's ("*.zcfg": "zcfg").
    const QString suffix = FromView(pattern);
    dialog.setDefaultSuffix(suffix.startsWith(QStringLiteral("*.")) ? suffix.mid(2) : QString());
    return RunFileDialog(dialog);
}

std::optional<std::string> CMainFrame::AskNumber(const zentrik::NumberPrompt& prompt) {
    CNumberPromptDlg dialog(prompt, this);
    CNumberPromptDlg* raw = &dialog;
    if (RunModal(dialog, [raw] { raw->reject(); }) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Text().toStdString();
}

zentrik::CompareChoice CMainFrame::RunCompare(const std::vector<zentrik::ConfigDifference>& rows,
                                              std::vector<bool>* ticked) {
    CCompareDlg dialog(rows, this);
    CCompareDlg* raw = &dialog;
    RunModal(dialog, [raw] { raw->reject(); });
    *ticked = dialog.Ticked();
    return dialog.Choice();
}

zentrik::HistoryChoice CMainFrame::RunHistory(zentrik::HistoryList& list) {
    CHistoryDlg dialog(list, this);
    CHistoryDlg* raw = &dialog;
    RunModal(dialog, [raw] { raw->reject(); });
    return dialog.Choice();
}

void CMainFrame::RunAbout() {
    CAboutDlg about(this);
    connect(&about, &CAboutDlg::pictureClicked, this,
            [this] { OpenWebSite(texts::kWebSiteAddress); });
    CAboutDlg* raw = &about;
    RunModal(about, [raw] { raw->reject(); });
}

std::optional<std::string> CMainFrame::ChooseFileToOpen(std::string_view title,
                                                        std::string_view filterName,
                                                        std::string_view /*pattern*/) {
    // The filter's name carries its pattern in parentheses.
    QFileDialog dialog(this, FromView(title), QString(), FromView(filterName));
    dialog.setObjectName("openFileDialog");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return RunFileDialog(dialog);
}
