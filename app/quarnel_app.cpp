#include "app/quarnel_app.h"

#include <QAction>
#include <QApplication>

#include "app/about_dlg.h"
#include "app/app_texts.h"
#include "app/main_frame.h"
#include "app/quarnel_doc.h"
#include "app/resources.h"

CQuarnelApp::CQuarnelApp() = default;

CQuarnelApp::~CQuarnelApp() {
    ExitInstance();
}

bool CQuarnelApp::InitInstance(std::unique_ptr<zentrik::BridgeList> bridges) {
    EnsureResources();
    QApplication::setWindowIcon(QIcon(zentrik::app_texts::kIconImage));
    m_doc = std::make_unique<CQuarnelDoc>(m_settings);
    m_frame = bridges ? std::make_unique<CMainFrame>(*m_doc, m_settings, std::move(bridges))
                      : std::make_unique<CMainFrame>(*m_doc, m_settings);
    m_frame->Create();
    connect(m_frame->Command(zentrik::app_texts::kIdAppAbout), &QAction::triggered, this,
            &CQuarnelApp::OnAppAbout);
    m_doc->OnNewDocument();
    m_frame->InitialUpdate();
    m_frame->show();
    return true;
}

void CQuarnelApp::ExitInstance() {
    if (m_doc) {
        if (m_frame && !m_doc->IsClosed()) {
            m_frame->CommitPendingInput();
        }
        m_doc->OnCloseDocument();
    }
    m_frame.reset();
    m_doc.reset();
}

void CQuarnelApp::OnAppAbout() {
    CAboutDlg about(m_frame.get());
    CAboutDlg* raw = &about;
    m_frame->RunModal(about, [raw] { raw->reject(); });
}
