#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "config/app_settings.h"
#include "config/config_document.h"
#include "support/sample_document_test.h"
#include "ui/qt/curve_graph.h"
#include "ui/qt/numeric_edit.h"
#include "ui/qt/quarnel_view.h"

namespace zentrik::test {

// The Qt form over a document, shown offscreen, with helpers that act as the user would.
class ViewTest : public SampleDocumentTest {
  protected:
    void TearDown() override {
        if (m_view && m_view->Graph()->Model().IsDragging()) {
            QTest::mouseRelease(m_view->Graph(), Qt::LeftButton);
        }
    }

    void Build() {
        m_view = std::make_unique<CQuarnelView>(m_doc, m_settings);
        m_view->OnInitialUpdate();
        m_view->show();
        m_view->activateWindow();
        QApplication::setActiveWindow(m_view.get());
    }

    template <typename T = QWidget>
    T* Get(int id) {
        auto* w = qobject_cast<T*>(m_view->Control(id));
        EXPECT_NE(w, nullptr) << id;
        return w;
    }
    CNumericEdit* Edit(int id) { return m_view->Edit(id); }
    QString Text(int id) { return Get<QLabel>(id)->text(); }
    std::string Shown(int id) { return Edit(id)->text().toStdString(); }
    bool Hidden(int id) { return m_view->Control(id)->isHidden(); }

    // Picks a list entry as the user does.
    void Pick(int id, int index) {
        auto* combo = Get<QComboBox>(id);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void Click(int id) { Get<QAbstractButton>(id)->click(); }
    // Types a value into a field and presses Enter.
    void Enter(int id, const QString& text) {
        CNumericEdit* e = Edit(id);
        e->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(e->hasFocus()) << id;
        e->selectAll();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
        e->clearFocus();
    }

    AppSettings m_settings;
    std::unique_ptr<CQuarnelView> m_view;
};

}  // namespace zentrik::test
