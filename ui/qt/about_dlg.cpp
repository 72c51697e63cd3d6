#include "ui/qt/about_dlg.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "shell/about_text.h"
#include "shell/shell_texts.h"
#include "ui/qt/resources.h"
#include "ui/qt/svg_picture.h"

namespace texts = zentrik::shell_texts;

namespace {

constexpr QSize kPictureSize(600, 634);

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("aboutDialog");
    setWindowTitle(texts::kAboutCaption);

    // The box's own colours: white text on black for the box and every control in it.
    QPalette palette = this->palette();
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        palette.setColor(role, Qt::black);
    }
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, Qt::white);
    }
    setPalette(palette);
    setAutoFillBackground(true);

    m_picture = new SvgPicture(kAboutImage, kPictureSize, this);
    m_picture->setObjectName("control1024");
    m_picture->setToolTip(texts::kWebSiteAddress);
    connect(m_picture, &SvgPicture::clicked, this, &CAboutDlg::pictureClicked);

    m_version = new QLineEdit(QString::fromStdString(zentrik::AboutVersionText()), this);
    m_version->setObjectName("control1080");
    m_version->setFrame(false);
    m_version->setCursorPosition(0);

    m_ok = new QPushButton(texts::kOk, this);
    m_ok->setObjectName("control1");
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 8, 8);
    layout->addWidget(m_picture, 0, 0, 1, 3);
    layout->addWidget(m_version, 1, 0);
    layout->setColumnStretch(1, 1);
    layout->addWidget(m_ok, 1, 2);
    layout->setColumnMinimumWidth(0, m_version->fontMetrics().horizontalAdvance(
                                         QString::fromStdString(zentrik::AboutVersionText())) +
                                         m_version->fontMetrics().averageCharWidth() * 4);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_ok->setFocus();
}
