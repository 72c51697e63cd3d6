#include "ui/qt/support/modal_answerer.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace zentrik::uitest {

namespace {

QString WithoutMnemonic(QString text) {
    return text.remove('&');
}

// Calls its function once, when the widget it watches is hidden.
class HideFilter : public QObject {
  public:
    explicit HideFilter(std::function<void()> onHide) : m_onHide(std::move(onHide)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && m_onHide) {
            auto onHide = std::move(m_onHide);
            m_onHide = nullptr;
            onHide();
            deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> m_onHide;
};

}  // namespace

ModalAnswerer::ModalAnswerer() {
    qApp->installEventFilter(this);
}

ModalAnswerer::~ModalAnswerer() {
    qApp->removeEventFilter(this);
}

ModalAnswerer& ModalAnswerer::Then(Handler handler) {
    m_handlers.push_back(std::move(handler));
    return *this;
}

ModalAnswerer& ModalAnswerer::Press(const QString& text) {
    return Then([text](QWidget* modal) {
        EXPECT_TRUE(ClickButton(modal, text))
            << "no button " << text.toStdString() << " in " << modal->windowTitle().toStdString();
    });
}

ModalAnswerer& ModalAnswerer::Leave() {
    return Then([](QWidget*) {});
}

QStringList ModalAnswerer::Captions() const {
    QStringList captions;
    for (const SeenModal& seen : m_seen) {
        captions << seen.caption;
    }
    return captions;
}

bool ModalAnswerer::ClickButton(QWidget* modal, const QString& text) {
    for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && WithoutMnemonic(button->text()) == text) {
            button->click();
            return true;
        }
    }
    return false;
}

bool ModalAnswerer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && widget->isModal()) {
            QTimer::singleShot(0, this, &ModalAnswerer::AnswerActive);
        }
    }
    return QObject::eventFilter(watched, event);
}

void ModalAnswerer::AnswerActive() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() ||
        std::find(m_answered.begin(), m_answered.end(), modal) != m_answered.end()) {
        return;
    }
    m_answered.push_back(modal);
    QPointer<QWidget> guard(modal);
    connect(modal, &QObject::destroyed, this, [this, modal] { Forget(modal); });

    SeenModal seen;
    seen.className = modal->metaObject()->className();
    seen.caption = modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons()) {
            seen.buttons << button->text();
        }
    }
    m_seen.push_back(seen);

    if (m_handlers.empty()) {
        ADD_FAILURE() << "unexpected modal " << seen.className.toStdString() << " \""
                      << seen.caption.toStdString() << "\": " << seen.text.toStdString();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        }
        return;
    }
    Handler handler = std::move(m_handlers.front());
    m_handlers.pop_front();
    handler(modal);
    // Once hidden, the widget may come up again as a new modal (the progress dialog is
    // reused): forget it then.
    if (guard && !guard->isVisible()) {
        Forget(modal);
    } else if (guard) {
        auto* filter = new HideFilter([self = QPointer<ModalAnswerer>(this), modal] {
            if (self) {
                self->Forget(modal);
            }
        });
        filter->setParent(guard);
        guard->installEventFilter(filter);
    }
}

void ModalAnswerer::Forget(QWidget* modal) {
    m_answered.erase(std::remove(m_answered.begin(), m_answered.end(), modal), m_answered.end());
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    if (done()) {
        return true;
    }
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Once asked to quit, the loop ends when a modal loop nested inside it has ended.
    bool quitting = false;
    const auto check = [&] {
        if (!quitting && done()) {
            quitting = true;
            loop.quit();
        }
    };
    QMetaObject::Connection blocking =
        QObject::connect(QAbstractEventDispatcher::instance(),
                         &QAbstractEventDispatcher::aboutToBlock, &loop, check);
    QMetaObject::Connection awake = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, &loop, check);
    deadline.start(static_cast<int>(limit.count()));
    loop.exec();
    QObject::disconnect(blocking);
    QObject::disconnect(awake);
    return done();
}

}  // namespace zentrik::uitest
