#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class SvgPicture;

// The About box: black with white text, a large picture (control 1024) that opens the
// maker's web site (reported by pictureClicked) and leaves the box open, and the version
// text (control 1080).
class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    SvgPicture* Picture() const { return m_picture; }
    QLineEdit* VersionField() const { return m_version; }
    QPushButton* OkButton() const { return m_ok; }

  signals:
    void pictureClicked();

  private:
    SvgPicture* m_picture = nullptr;
    QLineEdit* m_version = nullptr;
    QPushButton* m_ok = nullptr;
};
