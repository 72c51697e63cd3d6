#pragma once

#include <QDialog>
#include <vector>

#include "shell/shell_skin.h"

class QPushButton;
class QTableWidget;

// The comparison with the controller: one row per setting that differs, and what to do about
// it.
class CCompareDlg : public QDialog {
    Q_OBJECT
  public:
    CCompareDlg(const std::vector<zentrik::ConfigDifference>& rows, QWidget* parent = nullptr);

    // The user's choice once the dialog has closed (Close for Escape or the close box).
    zentrik::CompareChoice Choice() const { return m_choice; }

    QTableWidget* Table() const { return m_table; }
    QPushButton* UseControllersButton() const { return m_useControllers; }
    QPushButton* UploadThisButton() const { return m_uploadThis; }
    QPushButton* CloseButton() const { return m_close; }

  private:
    QTableWidget* m_table = nullptr;
    QPushButton* m_useControllers = nullptr;
    QPushButton* m_uploadThis = nullptr;
    QPushButton* m_close = nullptr;
    zentrik::CompareChoice m_choice = zentrik::CompareChoice::Close;
};
