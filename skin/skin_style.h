#pragma once

#include "skin/skin.h"

#include <QProxyStyle>
#include <memory>

namespace orvane {

// The dynamic property that names a widget's skin element ("edit", "button", ...).
inline constexpr char kSkinElementProperty[] = "skinElement";

// Paints every widget that names a skin element from that element's pictures,
// in its normal, hovered, pressed and disabled states, gives it the element's
// font and colours, and keeps it at the size the element can fit. Widgets
// that name no element, or whose element the skin lacks, and every widget
// while there is no skin, are drawn by the base style (Fusion) with their own
// fonts and the desktop's colours.
class SkinStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit SkinStyle(std::shared_ptr<const Skin> skin);
    ~SkinStyle() override;

    const Skin *skin() const { return m_skin.get(); }
    // The element `widget` is drawn with, or null.
    const SkinElement *elementOf(const QWidget *widget) const;

    void polish(QWidget *widget) override;
    void unpolish(QWidget *widget) override;
    using QProxyStyle::polish;
    using QProxyStyle::unpolish;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget = nullptr) const override;
    QRect subElementRect(SubElement element, const QStyleOption *option,
                         const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr,
                  const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;

private:
    void applyHeightRule(QWidget *widget) const;
    void releaseHeightRule(QWidget *widget) const;
    bool drawCheckBox(const SkinElement &element, const QStyleOption *option, QPainter *painter,
                      const QWidget *widget) const;
    const SkinElement *heightRuleElement(const QWidget *widget) const;

    std::shared_ptr<const Skin> m_skin;
};

// The height of the page control's tab strip: the element's tab picture, or 20.
int tabStripHeight(const SkinElement *tab);

} // namespace orvane
