#pragma once

#include <QImage>
#include <QSize>
#include <functional>
#include <memory>

namespace orvane {

// A picture whose size is known at once and whose pixels are decoded on first
// use: a skin's high-density set is drawn only on dense screens, and decoding
// it costs more than the rest of the skin together.
class DeferredImage {
public:
    DeferredImage() = default;
    explicit DeferredImage(QImage image);
    // `decode` must give a picture of `size`; it runs at most once, on any thread.
    DeferredImage(QSize size, std::function<QImage()> decode);

    bool isNull() const { return m_size.isEmpty(); }
    QSize size() const { return m_size; }
    const QImage &image() const;
    operator const QImage &() const { return image(); }

private:
    struct Pixels;
    QSize m_size;
    std::shared_ptr<Pixels> m_pixels; // shared by the skin's copies: decoded once
};

} // namespace orvane
