#pragma once

#include <QDialog>

#include "shell/history_list.h"

class QLabel;
class QPushButton;
class QTableWidget;

// The configuration history: what the controller held, newest first, each against the form;
// the selected entry opened in place of the document or compared with it.
class CHistoryDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CHistoryDlg(zentrik::HistoryList& list, QWidget* parent = nullptr);

    // The user's choice once the dialog has closed (Close for Escape or the close box).
    zentrik::HistoryChoice Choice() const { return m_choice; }

    QTableWidget* Table() const { return m_table; }
    QLabel* EmptyLabel() const { return m_empty; }
    QPushButton* OpenButton() const { return m_open; }
    QPushButton* CompareButton() const { return m_compare; }
    QPushButton* CloseButton() const { return m_close; }

  private:
    void ShowButtons();

    zentrik::HistoryList& m_list;
    QTableWidget* m_table = nullptr;
    QLabel* m_empty = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_compare = nullptr;
    QPushButton* m_close = nullptr;
    zentrik::HistoryChoice m_choice = zentrik::HistoryChoice::Close;
};
