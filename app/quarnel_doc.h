#pragma once

#include <QObject>
#include <vector>

#include "config/app_settings.h"
#include "config/config_document.h"

class CQuarnelView;

// The single document: the controller configuration record with its six display pressures,
// loaded from "Zentrik Config" when the document is created and saved back when it closes.
// It never counts as modified; there is no file of its own.
class CQuarnelDoc : public QObject {
    Q_OBJECT
  public:
    explicit CQuarnelDoc(zentrik::AppSettings& settings, QObject* parent = nullptr);

    zentrik::ConfigDocument& Document() { return m_doc; }

    // The new-document step: "Zentrik Config" into the record.
    void OnNewDocument();
    // The close step: the record's pressures from displayPressures, then "Zentrik Config"
    // saved (a failed write is ignored). Runs once; later calls do nothing.
    void OnCloseDocument();
    bool IsClosed() const { return m_closed; }

    void AddView(CQuarnelView* view);
    void RemoveView(CQuarnelView* view);
    // Tells every view of a change; hint 1 refills everything.
    void UpdateAllViews(int hint);

  signals:
    void viewsUpdated(int hint);

  private:
    zentrik::AppSettings& m_settings;
    zentrik::ConfigDocument m_doc{};
    std::vector<CQuarnelView*> m_views;
    bool m_closed = false;
};
