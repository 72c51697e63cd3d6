#include "ui/qt/instance_channel.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>
#include <QWindow>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

using Channel = zentrik::InstanceChannel;

constexpr int kConnectMs = 1000;
constexpr int kWriteMs = 2000;
// The holder confirms from its event loop, which its start-up may keep a while.
constexpr int kAnswerMs = 10000;
constexpr char kConfirmation = 1;

std::string_view Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

QByteArray Framed(std::string_view message) {
    const auto size = static_cast<std::uint32_t>(message.size());
    QByteArray bytes;
    bytes.append(static_cast<char>(size >> 24));
    bytes.append(static_cast<char>(size >> 16));
    bytes.append(static_cast<char>(size >> 8));
    bytes.append(static_cast<char>(size));
    bytes.append(message.data(), static_cast<qsizetype>(message.size()));
    return bytes;
}

}  // namespace

LocalInstanceChannel::LocalInstanceChannel() = default;

LocalInstanceChannel::~LocalInstanceChannel() {
    if (m_server != nullptr) {
        m_server->close();  // removes the socket
    }
    if (m_lock >= 0) {
        close(m_lock);
    }
}

std::string LocalInstanceChannel::Folder() {
    if (m_folderChecked) {
        return m_folder;
    }
    m_folderChecked = true;
    const uid_t uid = getuid();
    const zentrik::InstanceFolder folder =
        zentrik::PosixInstanceFolder(Environment("XDG_RUNTIME_DIR"), Environment("TMPDIR"), uid);
    if (folder.mustBePrivate) {
        // A folder in a place everyone writes: ours alone, or not used at all.
        mkdir(folder.path.c_str(), 0700);
        struct stat info {};
        if (lstat(folder.path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != uid || (info.st_mode & 077) != 0) {
            return m_folder;
        }
    }
    m_folder = folder.path;
    return m_folder;
}

Channel::Claim LocalInstanceChannel::TryClaim(const std::string& name,
                                              zentrik::SingleInstance& receiver) {
    const std::string folder = Folder();
    if (folder.empty()) {
        return Claim::Unavailable;
    }
    const std::string lockPath = folder + name + ".lock";
    const int lock = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock < 0) {
        return Claim::Unavailable;
    }
    if (flock(lock, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        close(lock);
        return held ? Claim::Held : Claim::Unavailable;
    }
    // Holding the lock, a socket left there can only be one whose holder ended unannounced.
    const QString socketPath = QString::fromStdString(folder + name + ".socket");
    QLocalServer::removeServer(socketPath);
    auto server = std::make_unique<QLocalServer>(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(socketPath)) {
        close(lock);  // a later start then runs a window of its own, as before
        return Claim::Unavailable;
    }
    m_lock = lock;
    m_receiver = &receiver;
    m_server = server.release();
    connect(m_server, &QLocalServer::newConnection, this, &LocalInstanceChannel::Accept);
    return Claim::Ours;
}

void LocalInstanceChannel::Accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadFrom(socket); });
    }
}

void LocalInstanceChannel::ReadFrom(QLocalSocket* socket) {
    if (socket->bytesAvailable() < 4) {
        return;
    }
    const QByteArray head = socket->peek(4);
    const std::uint32_t size =
        (static_cast<std::uint32_t>(static_cast<unsigned char>(head[0])) << 24) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(head[1])) << 16) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(head[2])) << 8) |
        static_cast<unsigned char>(head[3]);
    if (size > zentrik::kMaxHandOverBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < static_cast<qint64>(size) + 4) {
        return;
    }
    socket->read(4);
    const QByteArray message = socket->read(size);
    const bool fromLaterStart = m_receiver->Receive(
        std::string_view(message.constData(), static_cast<std::size_t>(message.size())));
    if (fromLaterStart) {
        socket->write(&kConfirmation, 1);
        socket->flush();
        BringToFront();
    }
    socket->disconnectFromServer();
}

void LocalInstanceChannel::BringToFront() {
    if (m_window == nullptr) {
        return;
    }
    m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_window->raise();
    m_window->activateWindow();
    if (QWidget* box = QApplication::activeModalWidget()) {
        box->raise();
        box->activateWindow();
    }
}

Channel::Sent LocalInstanceChannel::Send(const std::string& name, std::string_view message) {
    const std::string folder = Folder();
    if (folder.empty()) {
        return Sent::NotListening;
    }
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(folder + name + ".socket"));
    if (!socket.waitForConnected(kConnectMs)) {
        return Sent::NotListening;
    }
    socket.write(Framed(message));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(kWriteMs)) {
            return Sent::NoAnswer;
        }
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(kAnswerMs)) {
            return Sent::NoAnswer;
        }
    }
    char answer = 0;
    socket.read(&answer, 1);
    return answer == kConfirmation ? Sent::Delivered : Sent::NoAnswer;
}

void LocalInstanceChannel::Pause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

void LocalInstanceChannel::PostRun() {
    QWindow* shown = m_window != nullptr ? m_window->windowHandle() : nullptr;
    if (shown != nullptr && !shown->isExposed()) {
        if (m_waitingForExpose == nullptr) {
            m_waitingForExpose = shown;
            shown->installEventFilter(this);
        }
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_receiver != nullptr) {
                m_receiver->Run();
            }
        },
        Qt::QueuedConnection);
}

bool LocalInstanceChannel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && watched == m_waitingForExpose &&
        m_waitingForExpose->isExposed()) {
        m_waitingForExpose->removeEventFilter(this);
        m_waitingForExpose = nullptr;
        PostRun();
    }
    return false;
}
