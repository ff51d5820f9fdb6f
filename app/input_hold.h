#pragma once

#include <QObject>
#include <QPointer>
#include <QWindow>
#include <memory>
#include <utility>
#include <vector>

class QEvent;

namespace orvane {

class SkinnedWindow;

// While alive, holds back the user's mouse, wheel and key input to a window,
// in order, and hands it over when destroyed, as if it had only just arrived:
// a handler that waits in a local event loop sees none of it. What reaches the frame's own
// buttons and its system menu goes through, so the window can still be
// closed or minimized while it waits.
class InputHold : public QObject {
    Q_OBJECT
public:
    explicit InputHold(SkinnedWindow &window);
    ~InputHold() override;
    InputHold(const InputHold &) = delete;
    InputHold &operator=(const InputHold &) = delete;

    qsizetype held() const { return qsizetype(m_held.size()); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<SkinnedWindow> m_window;
    std::vector<std::pair<QPointer<QWindow>, std::unique_ptr<QEvent>>> m_held;
};

} // namespace orvane
