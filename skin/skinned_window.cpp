#include "skin/skinned_window.h"

#include "skin/caption_button.h"
#include "skin/desktop_colors.h"
#include "skin/desktop_font.h"
#include "skin/skin_painter.h"
#include "skin/skin_style.h"
#include "skin/skinned_window_accessible.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QScreen>
#include <QWindow>

namespace orvane {
namespace {

// The plain frame, drawn while there is no skin.
constexpr QMargins kPlainThickness(3, 24, 3, 3);
constexpr int kPlainButtonTop = 4;
constexpr int kPlainButtonGap = 2;
// The sliced frame and page pictures are kept whole; at a device pixel ratio of
// 2 they take about 8 MB each, and a child's repaint paints both beneath it.
constexpr int kSlicedPicturesKb = 48 * 1024;

const SkinPiece *buttonPiece(const Skin *skin, QByteArrayView name)
{
    if (!skin)
        return nullptr;
    const auto found = skin->frame.buttons.constFind(name.toByteArray());
    return found == skin->frame.buttons.cend() ? nullptr : &found->piece;
}

} // namespace

SkinnedWindow::SkinnedWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint),
      m_systemButton(new CaptionButton(QStyle::SP_TitleBarMenuButton, this)),
      m_minimizeButton(new CaptionButton(QStyle::SP_TitleBarMinButton, this)),
      m_closeButton(new CaptionButton(QStyle::SP_TitleBarCloseButton, this)),
      m_systemMenu(new QMenu(this))
{
    // Before the first show: corners outside the outline stay clear with and
    // without a compositor.
    setAttribute(Qt::WA_TranslucentBackground);
    installSkinnedWindowAccessibility();
    m_systemButton->setObjectName(QStringLiteral("systemMenuButton"));
    m_minimizeButton->setObjectName(QStringLiteral("minimizeButton"));
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    // Pictures only: a screen reader needs their names.
    m_systemButton->setAccessibleName(QStringLiteral("System menu"));
    m_minimizeButton->setAccessibleName(QStringLiteral("Minimize"));
    m_closeButton->setAccessibleName(QStringLiteral("Close"));

    QAction *minimize = m_systemMenu->addAction(QStringLiteral("Mi&nimize"));
    connect(minimize, &QAction::triggered, this, &QWidget::showMinimized);
    QAction *close = m_systemMenu->addAction(QStringLiteral("&Close"));
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    close->setShortcutContext(Qt::WindowShortcut);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close); // Alt+F4 where no window manager takes it first

    connect(m_systemButton, &QAbstractButton::pressed, this, &SkinnedWindow::openSystemMenu);
    connect(m_minimizeButton, &QAbstractButton::clicked, this, &QWidget::showMinimized);
    connect(m_closeButton, &QAbstractButton::clicked, this, &QWidget::close);
    setSkin(nullptr);
}

SkinnedWindow::~SkinnedWindow()
{
    // The widgets inside still refer to the style while they are destroyed,
    // which happens after this body has run.
    if (m_style)
        m_style.release()->deleteLater();
}

QStyle *SkinnedWindow::skinStyle() const
{
    return m_style.get();
}

void SkinnedWindow::setSkin(std::shared_ptr<const Skin> skin)
{
    m_skin = std::move(skin);
    if (m_skin)
        QPixmapCache::setCacheLimit(std::max(QPixmapCache::cacheLimit(), kSlicedPicturesKb));
    std::unique_ptr<SkinStyle> previous = std::move(m_style);
    m_style = std::make_unique<SkinStyle>(m_skin);
    m_style->setParent(qApp);
    applyStyle(this);
    applyStyle(m_systemMenu);
    if (previous)
        previous.release()->deleteLater();

    m_systemButton->setSkinPiece(m_skin, buttonPiece(m_skin.get(), "sysmenu"));
    m_minimizeButton->setSkinPiece(m_skin, buttonPiece(m_skin.get(), "minimize"));
    m_closeButton->setSkinPiece(m_skin, buttonPiece(m_skin.get(), "close"));
    setClientSize(m_clientSize);
    update();
}

void SkinnedWindow::applyStyle(QWidget *root)
{
    root->setStyle(m_style.get());
    for (QWidget *child : root->findChildren<QWidget *>())
        child->setStyle(m_style.get());
}

void SkinnedWindow::setClientSize(QSize size)
{
    m_clientSize = size;
    setFixedSize(size.grownBy(frameThickness()));
    layoutFrame();
}

QRect SkinnedWindow::clientRect() const
{
    const QMargins frame = frameThickness();
    return QRect(QPoint(frame.left(), frame.top()), m_clientSize);
}

QMargins SkinnedWindow::frameThickness() const
{
    return m_skin ? m_skin->frame.client : kPlainThickness;
}

QRect SkinnedWindow::captionRect() const
{
    if (m_skin) {
        const SkinCaptionBox &box = m_skin->frame.caption;
        return QRect(box.left, box.top, width() - box.left - box.right, box.height);
    }
    const int left = m_systemButton->geometry().right() + 1 + kPlainButtonGap;
    const int right = m_minimizeButton->geometry().left() - kPlainButtonGap;
    return QRect(left, 0, right - left, kPlainThickness.top());
}

CaptionButton *SkinnedWindow::frameButton(FrameButton which) const
{
    switch (which) {
    case FrameButton::SystemMenu:
        return m_systemButton;
    case FrameButton::Minimize:
        return m_minimizeButton;
    case FrameButton::Close:
        return m_closeButton;
    }
    return nullptr;
}

bool SkinnedWindow::isFrameControlAt(QPoint at) const
{
    for (const CaptionButton *button : {m_systemButton, m_minimizeButton, m_closeButton}) {
        if (button->isVisible() && button->geometry().contains(at))
            return true;
    }
    return false;
}

void SkinnedWindow::layoutFrame()
{
    const auto place = [this](CaptionButton *button, QByteArrayView name, QPoint plain) {
        button->resize(button->sizeHint());
        if (!m_skin) {
            button->move(plain);
            button->show();
            return;
        }
        const SkinFrameButton &skinned = m_skin->frame.buttons.value(name.toByteArray());
        const int x =
            skinned.fromRight ? width() - skinned.offset.x() - button->width() : skinned.offset.x();
        button->move(x, skinned.offset.y());
        button->setVisible(skinned.visible);
    };
    const int closeLeft =
        width() - kPlainThickness.right() - kPlainButtonGap - m_closeButton->sizeHint().width();
    place(m_systemButton, "sysmenu", {kPlainThickness.left() + kPlainButtonGap, kPlainButtonTop});
    place(m_closeButton, "close", {closeLeft, kPlainButtonTop});
    place(m_minimizeButton, "minimize",
          {closeLeft - kPlainButtonGap - m_minimizeButton->sizeHint().width(), kPlainButtonTop});

    // A hidden window's size is still settling (the skin, then the client
    // size): its outline is cut when it is shown.
    if (isVisible())
        cutOutline();
}

void SkinnedWindow::cutOutline()
{
    // Cut once per size: the mask is the dearest part of laying the frame out.
    const QSize outline = m_skin ? size() : QSize();
    if (outline == m_maskSize && m_maskSkin == m_skin.get())
        return;
    m_maskSize = outline;
    m_maskSkin = m_skin.get();
    if (m_skin)
        setMask(frameMask(*m_skin, size()));
    else
        clearMask();
}

void SkinnedWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect client = clientRect();
    QFont captionFont;
    QColor ink;
    if (m_skin) {
        drawSkinPiece(painter, *m_skin, m_skin->frame.face, SkinState::Normal, rect());
        painter.fillRect(
            client, m_skin->colors.value("face", systemColor(SystemColor::BtnFace, palette())));
        captionFont = m_skin->frame.captionFont.font();
        ink = isActiveWindow() ? m_skin->frame.captionActive : m_skin->frame.captionInactive;
    } else {
        painter.fillRect(rect(), systemColor(SystemColor::BtnFace, palette()));
        painter.setPen(systemColor(SystemColor::BtnShadow, palette()));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        captionFont = desktopFont(u"Arial", 14, true);
        ink = systemColor(isActiveWindow() ? SystemColor::BtnText : SystemColor::BtnShadow,
                          palette());
    }
    const QRect caption = captionRect();
    painter.setFont(captionFont);
    painter.setPen(ink);
    painter.drawText(
        caption, Qt::AlignCenter | Qt::TextSingleLine,
        QFontMetrics(captionFont).elidedText(windowTitle(), Qt::ElideRight, caption.width()));
}

void SkinnedWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutFrame();
}

void SkinnedWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    cutOutline(); // before the window is mapped, so it never shows square
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.left() + (available.width() - width()) / 2,
             available.top() + (available.height() - height()) / 2);
    }
}

void SkinnedWindow::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ActivationChange:
    case QEvent::WindowTitleChange:
        update(QRect(0, 0, width(), frameThickness().top()));
        break;
    case QEvent::WindowStateChange:
        // A window manager's own maximize shortcut must not change a fixed window.
        if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
            setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

bool SkinnedWindow::inCaptionBar(QPoint at) const
{
    return at.y() >= 0 && at.y() < frameThickness().top() && at.x() >= 0 && at.x() < width();
}

void SkinnedWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && inCaptionBar(event->position().toPoint()))
        m_pressAt = event->position().toPoint();
    QWidget::mousePressEvent(event);
}

void SkinnedWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragFrom) {
        move(event->globalPosition().toPoint() - *m_dragFrom);
        return;
    }
    if (!m_pressAt || !(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    if ((event->position().toPoint() - *m_pressAt).manhattanLength() <
        QApplication::startDragDistance())
        return;
    const QPoint grabbed = *m_pressAt;
    m_pressAt.reset();
    resetFrameButtons();
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    m_dragFrom = grabbed; // no window manager to move us: follow the pointer ourselves
    move(event->globalPosition().toPoint() - grabbed);
}

void SkinnedWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressAt.reset();
        m_dragFrom.reset();
    }
    QWidget::mouseReleaseEvent(event);
}

void SkinnedWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click on the caption neither maximizes nor shrinks the window.
    event->accept();
}

void SkinnedWindow::resetFrameButtons()
{
    for (CaptionButton *button : {m_systemButton, m_minimizeButton, m_closeButton})
        button->resetState();
}

void SkinnedWindow::openSystemMenu()
{
    const QPoint below = m_systemButton->mapToGlobal(QPoint(0, m_systemButton->height()));
    m_systemButton->setDown(false);
    m_systemMenu->popup(below);
}

} // namespace orvane
