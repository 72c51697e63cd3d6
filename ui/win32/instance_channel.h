#pragma once

#include <windows.h>

#include <string>

#include "shell/single_instance.h"

// One window per settings file on Windows: the lock is a named mutex of the session, owned
// while the program runs (the system lets go of it when the process ends, however it ends);
// the channel a message-only window of class "ZentrikHandOver" named after the settings file,
// to which a later start sends its message with WM_COPYDATA. The holder's answer confirms it.
class Win32InstanceChannel : public zentrik::InstanceChannel {
  public:
    explicit Win32InstanceChannel(HINSTANCE instance) : m_instance(instance) {}
    // The window destroyed, then the mutex let go.
    ~Win32InstanceChannel() override;
    Win32InstanceChannel(const Win32InstanceChannel&) = delete;
    Win32InstanceChannel& operator=(const Win32InstanceChannel&) = delete;

    Claim TryClaim(const std::string& name, zentrik::SingleInstance& receiver) override;
    Sent Send(const std::string& name, std::string_view message) override;
    void Pause() override;
    void PostRun() override;

    // The window brought to the front, with the box it has up, when a later start calls.
    void SetWindow(HWND window) { m_window = window; }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void BringToFront();

    HINSTANCE m_instance;
    HANDLE m_mutex = nullptr;
    HWND m_listener = nullptr;
    HWND m_window = nullptr;
    zentrik::SingleInstance* m_receiver = nullptr;
};
