#pragma once

#include <QDialog>
#include <vector>

#include "shell/shell_skin.h"

class QPushButton;
class QTableWidget;

// The comparison with the controller: one row per setting that differs, with a check box
// (ticked at first; Space toggles the current row's) choosing the rows a button acts on.
class CCompareDlg : public QDialog {
    Q_OBJECT
  public:
    CCompareDlg(const std::vector<zentrik::ConfigDifference>& rows, QWidget* parent = nullptr);

    // The user's choice once the dialog has closed (Close for Escape or the close box).
    zentrik::CompareChoice Choice() const { return m_choice; }
    // Each row's check box: whether it is ticked.
    std::vector<bool> Ticked() const;

    QTableWidget* Table() const { return m_table; }
    QPushButton* UseControllersButton() const { return m_useControllers; }
    QPushButton* UploadThisButton() const { return m_uploadThis; }
    QPushButton* CloseButton() const { return m_close; }

  protected:
    // Space toggles the current row's check box, whichever of its cells is current.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QTableWidget* m_table = nullptr;
    QPushButton* m_useControllers = nullptr;
    QPushButton* m_uploadThis = nullptr;
    QPushButton* m_close = nullptr;
    zentrik::CompareChoice m_choice = zentrik::CompareChoice::Close;
};
