#include "app/quarnel_doc.h"

#include <algorithm>

#include "config/config_persistence.h"
#include "editor/quarnel_view.h"

CQuarnelDoc::CQuarnelDoc(zentrik::AppSettings& settings, QObject* parent)
    : QObject(parent), m_settings(settings) {}

void CQuarnelDoc::OnNewDocument() {
    zentrik::LoadDocument(m_settings, m_doc);
}

void CQuarnelDoc::OnCloseDocument() {
    if (m_closed) {
        return;
    }
    m_closed = true;
    zentrik::SaveDocument(m_settings, m_doc);
}

void CQuarnelDoc::AddView(CQuarnelView* view) {
    m_views.push_back(view);
}

void CQuarnelDoc::RemoveView(CQuarnelView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CQuarnelDoc::UpdateAllViews(int hint) {
    for (CQuarnelView* view : m_views) {
        view->OnUpdate(hint);
    }
    emit viewsUpdated(hint);
}
