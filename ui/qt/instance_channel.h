#pragma once

#include <QObject>
#include <QPointer>
#include <string>

#include "shell/single_instance.h"

class QLocalServer;
class QLocalSocket;
class QWidget;
class QWindow;

// One window per settings file on Linux: the lock is an flock on "<name>.lock" in the user's
// runtime folder (the kernel lets go of it when the process ends, however it ends); the
// channel a local socket "<name>.socket" beside it. A message goes as four bytes of length
// (big-endian) and the message; the holder confirms it with one byte.
class LocalInstanceChannel : public QObject, public zentrik::InstanceChannel {
    Q_OBJECT
  public:
    LocalInstanceChannel();
    // The socket removed, then the lock let go.
    ~LocalInstanceChannel() override;

    Claim TryClaim(const std::string& name, zentrik::SingleInstance& receiver) override;
    Sent Send(const std::string& name, std::string_view message) override;
    void Pause() override;
    void PostRun() override;

    // The window brought to the front, with the box it has up, when a later start calls. Files
    // are opened only while it is exposed, so that a box is placed over the window where the
    // window system put it (not where it was before) and is seen.
    void SetWindow(QWidget* window) { m_window = window; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The runtime folder with its trailing '/'; empty when there is none fit for use.
    std::string Folder();
    void Accept();
    void ReadFrom(QLocalSocket* socket);
    void BringToFront();

    std::string m_folder;
    bool m_folderChecked = false;
    int m_lock = -1;
    QLocalServer* m_server = nullptr;
    zentrik::SingleInstance* m_receiver = nullptr;
    QPointer<QWidget> m_window;
    QPointer<QWindow> m_waitingForExpose;
};
