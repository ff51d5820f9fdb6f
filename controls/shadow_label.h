#pragma once

#include <QWidget>

namespace orvane {

// A caption with a soft shadow over whatever lies beneath it ("VERSION: 5.0"
// over the first-page picture). It sizes itself to its text plus 3 pixels each
// way, and is not linked to the skin.
class ShadowLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit ShadowLabel(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString m_text;
    bool m_capturing = false; // while what lies beneath is copied, this draws nothing
};

} // namespace orvane
