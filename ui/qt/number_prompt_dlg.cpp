#include "ui/qt/number_prompt_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CNumberPromptDlg::CNumberPromptDlg(const zentrik::NumberPrompt& prompt, QWidget* parent)
    : QDialog(parent) {
    setObjectName("numberPromptDialog");
    setWindowTitle(QString::fromStdString(prompt.caption));
    auto* label = new QLabel(QString::fromStdString(prompt.label), this);
    m_field = new QLineEdit(QString::fromStdString(prompt.text), this);
    m_field->setObjectName("numberPromptField");
    m_field->setAccessibleName(label->text());
    m_field->selectAll();
    label->setBuddy(m_field);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_field);
    if (!prompt.error.empty()) {
        auto* error = new QLabel(QString::fromStdString(prompt.error), this);
        error->setObjectName("numberPromptError");
        error->setWordWrap(true);
        layout->addWidget(error);
    }
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

QString CNumberPromptDlg::Text() const {
    return m_field->text();
}
