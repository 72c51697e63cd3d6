#pragma once

#include <functional>
#include <memory>

#include "config/app_settings.h"
#include "shell/quarnel_doc.h"

namespace zentrik {

class FrameShell;

// A window system's main frame, as the program's start-up and exit see it.
class FrameWindow {
  public:
    virtual ~FrameWindow() = default;
    // The frame's creation: its bars, then FrameShell::Create (settings, the first scan).
    virtual void Create() = 0;
    // The form's initial update; the frame then fits itself around the form.
    virtual void InitialUpdate() = 0;
    virtual void ShowWindow() = 0;
    virtual FrameShell& Shell() = 0;
};

using FrameFactory =
    std::function<std::unique_ptr<FrameWindow>(CQuarnelDoc& doc, AppSettings& settings)>;

// The program's start-up and exit in their fixed order, the same for every window system: one
// settings object for the run, then the document, the frame and the form.
class ShellApp {
  public:
    ShellApp() = default;
    ~ShellApp();
    ShellApp(const ShellApp&) = delete;
    ShellApp& operator=(const ShellApp&) = delete;

    // The document (record zeroed), the frame (bars, LoadSettings, ScanForConnection), the
    // document's new-document step ("Zentrik Config"), the form's initial update, the window
    // shown.
    bool InitInstance(const FrameFactory& makeFrame);
    // The document's close step unless the window's close already ran it, then the frame's
    // destruction (settings saved, port closed). Later calls do nothing.
    void ExitInstance();

    // The settings of the run; a path chosen before InitInstance is kept.
    AppSettings& Settings() { return m_settings; }
    CQuarnelDoc* Doc() const { return m_doc.get(); }
    FrameWindow* Frame() const { return m_frame.get(); }

  private:
    AppSettings m_settings;
    std::unique_ptr<CQuarnelDoc> m_doc;
    std::unique_ptr<FrameWindow> m_frame;
};

}  // namespace zentrik
