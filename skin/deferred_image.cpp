#include "skin/deferred_image.h"

#include <mutex>
#include <utility>

namespace orvane {

struct DeferredImage::Pixels {
    std::once_flag once;
    std::function<QImage()> decode;
    QImage image;
};

DeferredImage::DeferredImage(QImage image)
    : m_size(image.size()), m_pixels(std::make_shared<Pixels>())
{
    std::call_once(m_pixels->once, [&] { m_pixels->image = std::move(image); });
}

DeferredImage::DeferredImage(QSize size, std::function<QImage()> decode)
    : m_size(size), m_pixels(std::make_shared<Pixels>())
{
    m_pixels->decode = std::move(decode);
}

const QImage &DeferredImage::image() const
{
    static const QImage none;
    if (!m_pixels)
        return none;
    std::call_once(m_pixels->once,
                   [this] { m_pixels->image = std::exchange(m_pixels->decode, {})(); });
    return m_pixels->image;
}

} // namespace orvane
