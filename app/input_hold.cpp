#include "app/input_hold.h"

#include "skin/skinned_window.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace orvane {
namespace {

// A fresh copy of a mouse, wheel or key event, or null for any other event.
// Fresh, not cloned: a clone keeps the mark of having been posted once, and
// Qt refuses to post an event twice.
std::unique_ptr<QEvent> copyOfInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<const QMouseEvent *>(event);
        return std::make_unique<QMouseEvent>(
            mouse->type(), mouse->position(), mouse->scenePosition(), mouse->globalPosition(),
            mouse->button(), mouse->buttons(), mouse->modifiers(), mouse->pointingDevice());
    }
    case QEvent::Wheel: {
        const auto *wheel = static_cast<const QWheelEvent *>(event);
        return std::make_unique<QWheelEvent>(
            wheel->position(), wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
            wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(),
            wheel->source(), wheel->pointingDevice());
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<const QKeyEvent *>(event);
        return std::make_unique<QKeyEvent>(key->type(), key->key(), key->modifiers(),
                                           key->nativeScanCode(), key->nativeVirtualKey(),
                                           key->nativeModifiers(), key->text(), key->isAutoRepeat(),
                                           key->count(), key->device());
    }
    default:
        return nullptr;
    }
}

} // namespace

InputHold::InputHold(SkinnedWindow &window) : m_window(&window)
{
    qApp->installEventFilter(this);
}

InputHold::~InputHold()
{
    qApp->removeEventFilter(this);
    for (auto &[window, event] : m_held) {
        if (window)
            QCoreApplication::postEvent(window, event.release());
    }
}

bool InputHold::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_window || watched != m_window->windowHandle())
        return false;
    // The frame's buttons stay live; mouse moves over them too, for their hover.
    if (event->isPointerEvent()) {
        const auto *pointer = static_cast<const QSinglePointEvent *>(event);
        if (m_window->isFrameControlAt(pointer->position().toPoint()))
            return false;
    }
    std::unique_ptr<QEvent> copy = copyOfInput(event);
    if (!copy)
        return false;
    m_held.emplace_back(static_cast<QWindow *>(watched), std::move(copy));
    return true;
}

} // namespace orvane
