#pragma once

#include <QLabel>
#include <QWidget>

#include "config/app_settings.h"
#include "config/config_document.h"

// Stand-in for the configuration form until the editor lands: shows a few of the document's
// values so that a refresh can be seen.
class CQuarnelView : public QWidget {
    Q_OBJECT
  public:
    CQuarnelView(zentrik::ConfigDocument& doc, zentrik::AppSettings& settings,
                 QWidget* parent = nullptr);

    // The form's initial update: fills every control from the document.
    void OnInitialUpdate();
    // Document update notice: hint != 0 refills everything.
    void OnUpdate(int hint);

    QSize sizeHint() const override;

  private:
    void Fill();

    zentrik::ConfigDocument& m_doc;
    zentrik::AppSettings& m_settings;
    QLabel* m_stage1 = nullptr;
    QLabel* m_stage2 = nullptr;
    QLabel* m_smooth = nullptr;
};
