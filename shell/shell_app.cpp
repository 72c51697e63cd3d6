#include "shell/shell_app.h"

#include "shell/frame_shell.h"

namespace zentrik {

ShellApp::~ShellApp() {
    ExitInstance();
}

bool ShellApp::InitInstance(const FrameFactory& makeFrame) {
    m_doc = std::make_unique<CQuarnelDoc>(m_settings);
    m_frame = makeFrame(*m_doc, m_settings);
    if (!m_frame) {
        return false;
    }
    m_frame->Create();
    m_doc->OnNewDocument();
    m_frame->InitialUpdate();
    m_frame->ShowWindow();
    return true;
}

void ShellApp::ExitInstance() {
    // Without a frame the document was never loaded, and saving it would lose the file's.
    if (m_frame) {
        m_frame->Shell().SaveOnExit();
    }
    m_frame.reset();
    m_doc.reset();
}

}  // namespace zentrik
