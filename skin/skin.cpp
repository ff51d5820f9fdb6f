#include "skin/skin.h"

namespace orvane {

QRect SkinPiece::rect(SkinState state) const
{
    const QRect &own = rects[size_t(state)];
    return own.isEmpty() ? rects[0] : own;
}

const SkinPiece *SkinElement::piece(QByteArrayView name) const
{
    const auto found = pieces.constFind(name.toByteArray());
    return found == pieces.cend() ? nullptr : &*found;
}

std::optional<QColor> SkinElement::color(QByteArrayView name) const
{
    const auto found = colors.constFind(name.toByteArray());
    if (found == colors.cend())
        return std::nullopt;
    return *found;
}

QSize SkinElement::fitted(QSize size) const
{
    const SkinPiece *face = piece();
    if (!face)
        return size;
    const QSize own = face->size();
    switch (stretch) {
    case SkinStretch::Any:
        return size;
    case SkinStretch::Width:
        return {size.width(), own.height()};
    case SkinStretch::Height:
        return {own.width(), size.height()};
    case SkinStretch::Fixed:
        return own;
    }
    return size;
}

const SkinElement *Skin::element(QByteArrayView elementName) const
{
    const auto found = elements.constFind(elementName.toByteArray());
    return found == elements.cend() ? nullptr : &*found;
}

const SkinPicture *Skin::picture(int index) const
{
    return index >= 0 && index < pictures.size() ? &pictures[index] : nullptr;
}

} // namespace orvane
