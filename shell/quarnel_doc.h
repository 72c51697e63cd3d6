#pragma once

#include <vector>

#include "config/app_settings.h"
#include "config/config_document.h"
#include "editor/upload_check.h"

namespace zentrik {

// A window that shows the document and is told when it changes.
class DocumentView {
  public:
    virtual ~DocumentView() = default;
    // hint 0: nothing to refill, only what the form's own state changed to show; a non-zero
    // hint refills everything.
    virtual void OnUpdate(int hint) = 0;
};

// The single document: the controller configuration record with its six display pressures,
// loaded from "Zentrik Config" when the document is created and saved back when it closes.
// It never counts as modified; there is no file of its own.
class CQuarnelDoc {
  public:
    explicit CQuarnelDoc(AppSettings& settings) : m_settings(settings) {}

    ConfigDocument& Document() { return m_doc; }
    // What the document was last read from a file as (Zentrik.ini at the start, a
    // configuration file opened): the check before an upload names the keys that did not fit
    // while their settings keep what was read. A download replaces that with nothing.
    LoadedFile& Loaded() { return m_loaded; }
    // The document replaced by one read from a file, with its notes.
    void Replace(const ConfigDocument& doc, const ConfigReadNotes& notes);
    // The check before an upload, on the document as it is now.
    std::vector<UploadProblem> Check() const { return CheckConfiguration(m_doc, &m_loaded); }

    // The new-document step: "Zentrik Config" into the record.
    void OnNewDocument();
    // The close step: the record's pressures from displayPressures, then "Zentrik Config"
    // saved (a failed write is ignored). Runs once; later calls do nothing.
    void OnCloseDocument();
    bool IsClosed() const { return m_closed; }

    void AddView(DocumentView* view);
    void RemoveView(DocumentView* view);
    // Tells every view of a change.
    void UpdateAllViews(int hint);

  private:
    AppSettings& m_settings;
    ConfigDocument m_doc{};
    LoadedFile m_loaded;
    std::vector<DocumentView*> m_views;
    bool m_closed = false;
};

}  // namespace zentrik
