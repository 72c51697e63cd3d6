#include "ui/qt/quarnel_app.h"

#include <QApplication>
#include <QIcon>

#include "ui/qt/main_frame.h"
#include "ui/qt/resources.h"

CQuarnelApp::~CQuarnelApp() {
    ExitInstance();
}

bool CQuarnelApp::InitInstance(std::unique_ptr<zentrik::BridgeList> bridges) {
    EnsureResources();
    QApplication::setWindowIcon(QIcon(kIconImage));
    return m_app.InitInstance(
        [&bridges](zentrik::CQuarnelDoc& doc,
                   zentrik::AppSettings& settings) -> std::unique_ptr<zentrik::FrameWindow> {
            if (bridges) {
                return std::make_unique<CMainFrame>(doc, settings, std::move(bridges));
            }
            return std::make_unique<CMainFrame>(doc, settings);
        });
}

CMainFrame* CQuarnelApp::MainFrame() const {
    return static_cast<CMainFrame*>(m_app.Frame());
}
