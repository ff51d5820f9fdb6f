#pragma once

#include <QUrl>
#include <QWidget>
#include <functional>

namespace orvane {

// The maker's address, always underlined, in its hover colour while the
// pointer is over it; a click with the left button opens the target through
// the opener it was given. An empty target does nothing.
class LinkLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit LinkLabel(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    QString target() const { return m_target; }
    void setTarget(const QString &target) { m_target = target; }
    void setOpener(std::function<void(const QUrl &)> opener) { m_opener = std::move(opener); }
    // What a click does: opens the target through the opener.
    void open();

    bool hovered() const { return m_hovered; }
    // The colours it draws with now, after the skin's element or the desktop's.
    QColor normalColor() const;
    QColor hoverColor() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QFont underlined() const;

    QString m_text;
    QString m_target;
    std::function<void(const QUrl &)> m_opener;
    bool m_hovered = false;
    bool m_pressed = false;
};

} // namespace orvane
