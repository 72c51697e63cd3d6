#include "shell/quarnel_doc.h"

#include <algorithm>

#include "config/config_persistence.h"

namespace zentrik {

void CQuarnelDoc::OnNewDocument() {
    ConfigReadNotes notes;
    LoadDocument(m_settings, m_doc, &notes);
    Replace(m_doc, notes);
}

void CQuarnelDoc::Replace(const ConfigDocument& doc, const ConfigReadNotes& notes) {
    m_doc = doc;
    m_loaded = {doc, notes.unfit};
}

void CQuarnelDoc::OnCloseDocument() {
    if (m_closed) {
        return;
    }
    m_closed = true;
    SaveDocument(m_settings, m_doc);
}

void CQuarnelDoc::AddView(DocumentView* view) {
    m_views.push_back(view);
}

void CQuarnelDoc::RemoveView(DocumentView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CQuarnelDoc::UpdateAllViews(int hint) {
    // A copy: a view may go while the others are told.
    const std::vector<DocumentView*> views = m_views;
    for (DocumentView* view : views) {
        view->OnUpdate(hint);
    }
}

}  // namespace zentrik
