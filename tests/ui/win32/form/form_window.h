#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>

#include "config/app_settings.h"
#include "config/config_document.h"
#include "editor/control_ids.h"
#include "support/sample_document_test.h"
#include "ui/win32/curve_graph.h"
#include "ui/win32/quarnel_view.h"

namespace zentrik::test {

// The shown top-level window the suite makes its forms in (form_test_main.cpp).
HWND FormHost();

// The Windows form over the sample document, made as a child of the suite's host window and
// shown, with helpers that act as the user's input arrives: by window messages to the
// controls, found by their ids.
class FormWindow : public SampleDocumentTest {
  protected:
    void TearDown() override {
        if (GetCapture() != nullptr) {
            ReleaseCapture();
        }
        SetKeys({});
        m_view.reset();
    }

    void Build() {
        m_view = std::make_unique<CQuarnelView>(m_doc, m_settings);
        ASSERT_TRUE(m_view->Create(GetModuleHandleW(nullptr), FormHost()));
        m_view->OnInitialUpdate();
        ShowWindow(m_view->Hwnd(), SW_SHOW);
        UpdateWindow(m_view->Hwnd());
    }

    HWND Get(int id) {
        HWND control = m_view->Control(id);
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    win32::CCurveGraph& Graph() { return m_view->Graph(); }
    static std::wstring TextOf(HWND window) {
        wchar_t text[256] = {};
        GetWindowTextW(window, text, static_cast<int>(std::size(text)));
        return text;
    }
    std::wstring Text(int id) { return TextOf(Get(id)); }
    // Shown by its own style; the form's parent is shown too.
    bool Shown(int id) { return (GetWindowLongPtrW(Get(id), GWL_STYLE) & WS_VISIBLE) != 0; }
    RECT PlaceOf(HWND control) {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(HWND_DESKTOP, m_view->Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // A list entry picked: the list's selection, then its notice to the form.
    void Pick(int id, int index) {
        SendMessageW(Get(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(m_view->Hwnd(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Get(id)));
    }
    // A check box or button clicked (it takes the focus, as with the mouse).
    void Click(int id) { SendMessageW(Get(id), BM_CLICK, 0, 0); }
    // The focus into a field, then the characters as the keyboard sends them.
    void Type(int id, const std::wstring& text) {
        SetFocus(Get(id));
        ASSERT_EQ(GetFocus(), Get(id)) << id;
        for (const wchar_t c : text) {
            SendMessageW(Get(id), WM_CHAR, c, 1);
        }
    }
    // A key pressed in the control with the focus, through the form's message filter as the
    // frame's message loop passes it.
    void Press(UINT key) {
        MSG msg{GetFocus(), WM_KEYDOWN, key, 1, 0, {}};
        if (!m_view->PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Pump();
    }
    // The keys held down (VK_CONTROL, VK_SHIFT), as the thread's keyboard state.
    static void SetKeys(std::initializer_list<int> keys) {
        BYTE state[256] = {};
        for (const int key : keys) {
            state[key] = 0x80;
        }
        SetKeyboardState(state);
    }
    // Delivers what was posted, through the form's message filter.
    void Pump() {
        MSG msg{};
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!m_view->PreTranslate(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }

    AppSettings m_settings;
    std::unique_ptr<CQuarnelView> m_view;
};

}  // namespace zentrik::test
