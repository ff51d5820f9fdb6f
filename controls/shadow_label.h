#pragma once

#include <QWidget>

namespace orvane {

// A caption with a soft shadow over whatever lies beneath it ("VERSION: 5.0"
// over the first-page picture). It sizes itself to its text plus 3 pixels each
// way, and is not linked to the skin. What lies beneath (its parent and the
// siblings below it) is copied when it is shown, moved or resized, or when
// told the backdrop changed.
class ShadowLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit ShadowLabel(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    QSize sizeHint() const override;
    void backdropChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QImage copyBeneath() const;

    QString m_text;
    QImage m_beneath;
};

} // namespace orvane
