#include "skin/skin_style.h"

#include "skin/desktop_font.h"
#include "skin/skin_painter.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>

namespace orvane {
namespace {

constexpr int kPlainTabHeight = 20;
constexpr int kIndicatorLeft = 3; // the check mark's distance from the box's left edge
constexpr int kIndicatorGap = 4;  // between the check mark and its caption
// Where a page's area starts inside the page control, skin or not: below the
// tab strip and one line, one pixel in from the sides.
constexpr int kPageTop = 22;
// Where polish() keeps a palette the widget had of its own.
constexpr char kOwnPalette[] = "orvaneOwnPalette";

QString elementName(const QWidget *widget)
{
    if (!widget)
        return {};
    const QString own = widget->property(kSkinElementProperty).toString();
    if (!own.isEmpty())
        return own;
    // The tab strip inside a page control belongs to the control's element.
    if (qobject_cast<const QTabBar *>(widget) && widget->parentWidget())
        return widget->parentWidget()->property(kSkinElementProperty).toString();
    return {};
}

SkinState stateOf(const QStyleOption &option, bool pressed)
{
    if (!(option.state & QStyle::State_Enabled))
        return SkinState::Disabled;
    if (pressed)
        return SkinState::Pressed;
    if (option.state & QStyle::State_MouseOver)
        return SkinState::Hovered;
    return SkinState::Normal;
}

// Sets `role` for every colour group from the element's `name`d colour, and
// the disabled group from its disabled colour; true when the element has it.
void setRole(QPalette &palette, QPalette::ColorRole role, const SkinElement &element,
             QByteArrayView name)
{
    if (const std::optional<QColor> colour = element.color(name)) {
        palette.setColor(QPalette::Active, role, *colour);
        palette.setColor(QPalette::Inactive, role, *colour);
        palette.setColor(QPalette::Disabled, role,
                         element.color("disabledcolor").value_or(*colour));
    }
}

} // namespace

int tabStripHeight(const SkinElement *tab)
{
    const SkinPiece *piece = tab ? tab->piece("tab") : nullptr;
    return piece ? piece->size().height() : kPlainTabHeight;
}

SkinStyle::SkinStyle(std::shared_ptr<const Skin> skin)
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))), m_skin(std::move(skin))
{
}

SkinStyle::~SkinStyle() = default;

const SkinElement *SkinStyle::elementOf(const QWidget *widget) const
{
    if (!m_skin)
        return nullptr;
    const QString name = elementName(widget);
    return name.isEmpty() ? nullptr : m_skin->element(name.toLatin1());
}

void SkinStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    if (elementName(widget).isEmpty())
        return;
    widget->setAttribute(Qt::WA_Hover);
    const SkinElement *element = elementOf(widget);
    // The page control's font and colours are its tab strip's: set on the
    // control itself they would pass to every page and every label on them.
    if (!element || qobject_cast<QTabWidget *>(widget))
        return;
    if (element->font)
        widget->setFont(element->font->font());
    // A palette of the widget's own (the link label's plain hover colour)
    // comes back when the skin goes.
    if (widget->testAttribute(Qt::WA_SetPalette) && !widget->property(kOwnPalette).isValid())
        widget->setProperty(kOwnPalette, QVariant::fromValue(widget->palette()));
    QPalette palette = widget->palette();
    if (qobject_cast<QLineEdit *>(widget)) {
        setRole(palette, QPalette::Text, *element, "color");
    } else if (qobject_cast<QAbstractButton *>(widget)) {
        setRole(palette, QPalette::ButtonText, *element, "color");
        setRole(palette, QPalette::WindowText, *element, "color");
    } else {
        setRole(palette, QPalette::WindowText, *element, "color");
    }
    // What a control that draws itself reads: the colour under the pointer as
    // the link colour, the colour while it has the focus or the pointer as the
    // active group's text, and the disabled colour as grey text.
    if (const std::optional<QColor> hover = element->color("hovercolor"))
        palette.setColor(QPalette::Link, *hover);
    else if (const std::optional<QColor> normal = element->color("color"))
        palette.setColor(QPalette::Link, *normal);
    if (const std::optional<QColor> active = element->color("activecolor"))
        palette.setColor(QPalette::Active, QPalette::WindowText, *active);
    if (const std::optional<QColor> disabled = element->color("disabledcolor"))
        palette.setColor(QPalette::Disabled, QPalette::Text, *disabled);
    widget->setPalette(palette);
    applyHeightRule(widget);
}

void SkinStyle::unpolish(QWidget *widget)
{
    if (!elementName(widget).isEmpty()) {
        releaseHeightRule(widget);
        if (elementOf(widget) && !qobject_cast<QTabWidget *>(widget)) {
            widget->setPalette(widget->property(kOwnPalette).value<QPalette>());
            widget->setProperty(kOwnPalette, QVariant());
            if (!applyDesktopFont(widget))
                widget->setFont(QFont()); // back to the font it inherits
        }
    }
    QProxyStyle::unpolish(widget);
}

// The dimension the element cannot fit is fixed at the element's own; later
// geometry changes keep it through the widget's size limits.
void SkinStyle::applyHeightRule(QWidget *widget) const
{
    const SkinElement *element = heightRuleElement(widget);
    if (!element)
        return;
    const QSize own = element->piece()->size();
    switch (element->stretch) {
    case SkinStretch::Any:
        break;
    case SkinStretch::Width:
        widget->setFixedHeight(own.height());
        break;
    case SkinStretch::Height:
        widget->setFixedWidth(own.width());
        break;
    case SkinStretch::Fixed:
        widget->setFixedSize(own);
        break;
    }
}

void SkinStyle::releaseHeightRule(QWidget *widget) const
{
    const SkinElement *element = heightRuleElement(widget);
    if (!element)
        return;
    if (element->stretch == SkinStretch::Width || element->stretch == SkinStretch::Fixed) {
        widget->setMinimumHeight(0);
        widget->setMaximumHeight(QWIDGETSIZE_MAX);
    }
    if (element->stretch == SkinStretch::Height || element->stretch == SkinStretch::Fixed) {
        widget->setMinimumWidth(0);
        widget->setMaximumWidth(QWIDGETSIZE_MAX);
    }
}

const SkinElement *SkinStyle::heightRuleElement(const QWidget *widget) const
{
    // The flat check box keeps its size whatever its element.
    if (qobject_cast<const QCheckBox *>(widget) || qobject_cast<const QTabBar *>(widget))
        return nullptr;
    const SkinElement *element = elementOf(widget);
    return element && element->piece() ? element : nullptr;
}

void SkinStyle::drawPrimitive(PrimitiveElement primitive, const QStyleOption *option,
                              QPainter *painter, const QWidget *widget) const
{
    const SkinElement *element = elementOf(widget);
    if (element && m_skin) {
        switch (primitive) {
        case PE_PanelLineEdit:
            if (const SkinPiece *face = element->piece()) {
                const bool focused = option->state & State_HasFocus;
                drawSkinPiece(*painter, *m_skin, *face, stateOf(*option, focused), option->rect);
                return;
            }
            break;
        case PE_FrameLineEdit:
        case PE_FrameFocusRect:
            return;
        case PE_IndicatorCheckBox: {
            const bool checked = option->state & State_On;
            if (const SkinPiece *mark = element->piece(checked ? "checked" : "unchecked")) {
                const bool pressed = option->state & State_Sunken;
                drawSkinPiece(*painter, *m_skin, *mark, stateOf(*option, pressed), option->rect);
                return;
            }
            break;
        }
        case PE_FrameTabWidget:
            if (const SkinPiece *frame = element->piece("frame")) {
                drawSkinPiece(*painter, *m_skin, *frame, stateOf(*option, false), option->rect);
                return;
            }
            break;
        case PE_FrameTabBarBase:
            return;
        default:
            break;
        }
    }
    QProxyStyle::drawPrimitive(primitive, option, painter, widget);
}

void SkinStyle::drawControl(ControlElement control, const QStyleOption *option, QPainter *painter,
                            const QWidget *widget) const
{
    const SkinElement *element = elementOf(widget);
    if (element && m_skin) {
        switch (control) {
        case CE_PushButtonBevel:
            if (const SkinPiece *face = element->piece()) {
                const bool pressed = option->state & (State_Sunken | State_On);
                drawSkinPiece(*painter, *m_skin, *face, stateOf(*option, pressed), option->rect);
                return;
            }
            break;
        case CE_CheckBox:
            if (drawCheckBox(*element, option, painter, widget))
                return;
            break;
        case CE_ShapedFrame:
            // Panels and labels: the picture is their background and frame.
            if (const SkinPiece *face = element->piece()) {
                drawSkinPiece(*painter, *m_skin, *face, stateOf(*option, false), option->rect);
                return;
            }
            return; // an element of font and colours only has no frame
        case CE_TabBarTabShape:
            if (const SkinPiece *tab =
                    element->piece(option->state & State_Selected ? "selected" : "tab")) {
                // At its own height: the selected tab's lowest row, one below the strip,
                // is cut by the strip and so meets the page frame without a seam.
                const QRect target(option->rect.topLeft(),
                                   QSize(option->rect.width(), tab->size().height()));
                drawSkinPiece(*painter, *m_skin, *tab, stateOf(*option, false), target);
                return;
            }
            break;
        case CE_TabBarTabLabel:
            if (const auto *tab = qstyleoption_cast<const QStyleOptionTab *>(option)) {
                const bool selected = tab->state & State_Selected;
                const bool hovered = tab->state & State_MouseOver;
                const QColor ink =
                    element->color(selected  ? "selectedcolor"
                                   : hovered ? "hovercolor"
                                             : "color")
                        .value_or(tab->palette.color(QPalette::WindowText));
                painter->save();
                painter->setPen(ink);
                painter->drawText(tab->rect, Qt::AlignCenter | Qt::TextShowMnemonic, tab->text);
                painter->restore();
                return;
            }
            break;
        default:
            break;
        }
    }
    QProxyStyle::drawControl(control, option, painter, widget);
}

// The base style would place the mark and the caption by rectangles of its own.
bool SkinStyle::drawCheckBox(const SkinElement &element, const QStyleOption *option,
                             QPainter *painter, const QWidget *widget) const
{
    const auto *box = qstyleoption_cast<const QStyleOptionButton *>(option);
    if (!box || !element.piece("unchecked"))
        return false;
    QStyleOptionButton part = *box;
    part.rect = subElementRect(SE_CheckBoxIndicator, box, widget);
    drawPrimitive(PE_IndicatorCheckBox, &part, painter, widget);
    part.rect = subElementRect(SE_CheckBoxContents, box, widget);
    drawControl(CE_CheckBoxLabel, &part, painter, widget);
    return true;
}

void SkinStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                   QPainter *painter, const QWidget *widget) const
{
    // The base style's thumb is lighter than its track, which reads as a hole;
    // this one is the track's colour taken towards the text, so it stands out
    // in a light palette and a dark one alike.
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (control != CC_ScrollBar || !bar || !(bar->subControls & SC_ScrollBarSlider)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    QStyleOptionSlider rest = *bar;
    rest.subControls &= ~SC_ScrollBarSlider;
    QProxyStyle::drawComplexControl(control, &rest, painter, widget);

    const QRect thumb = subControlRect(CC_ScrollBar, bar, SC_ScrollBarSlider, widget);
    if (thumb.isEmpty())
        return;
    const bool active = bar->activeSubControls & SC_ScrollBarSlider;
    const int share = active && (bar->state & State_Sunken)      ? 45
                      : active && (bar->state & State_MouseOver) ? 35
                                                                 : 25;
    const QColor face = bar->palette.color(QPalette::Button);
    const QColor ink = bar->palette.color(QPalette::WindowText);
    const auto towardsInk = [&face, &ink](int percent) {
        const auto mix = [percent](int from, int to) {
            return from + (to - from) * percent / 100;
        };
        return QColor(mix(face.red(), ink.red()), mix(face.green(), ink.green()),
                      mix(face.blue(), ink.blue()));
    };
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const QRect body = thumb.adjusted(horizontal ? 0 : 2, horizontal ? 2 : 0, horizontal ? -1 : -2,
                                      horizontal ? -2 : -1);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(towardsInk(share + 20));
    painter->setBrush(towardsInk(share));
    painter->drawRoundedRect(QRectF(body).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    painter->restore();
}

QRect SkinStyle::subElementRect(SubElement sub, const QStyleOption *option,
                                const QWidget *widget) const
{
    const SkinElement *element = elementOf(widget);
    switch (sub) {
    case SE_TabWidgetTabContents:
        if (!elementName(widget).isEmpty())
            return option->rect.adjusted(1, kPageTop, -1, 0);
        break;
    case SE_TabWidgetTabPane:
        if (!elementName(widget).isEmpty())
            return option->rect.adjusted(0, tabStripHeight(element), 0, 0);
        break;
    case SE_TabWidgetTabBar:
        if (!elementName(widget).isEmpty()) {
            const QRect bar = QProxyStyle::subElementRect(sub, option, widget);
            return QRect(option->rect.left(), option->rect.top(), bar.width(),
                         tabStripHeight(element));
        }
        break;
    case SE_LineEditContents:
        if (element && element->piece())
            return option->rect.marginsRemoved(element->content);
        break;
    case SE_ShapedFrameContents:
        // A framed panel's inner area, where its children go.
        if (element && element->piece() && !element->content.isNull())
            return option->rect.marginsRemoved(element->content);
        break;
    case SE_CheckBoxIndicator:
        if (element && element->piece("unchecked")) {
            const QSize mark = element->piece("unchecked")->size();
            return QRect(option->rect.left() + kIndicatorLeft,
                         option->rect.top() + (option->rect.height() - mark.height()) / 2,
                         mark.width(), mark.height());
        }
        break;
    case SE_CheckBoxContents:
        if (element && element->piece("unchecked")) {
            const int left = option->rect.left() + kIndicatorLeft +
                             element->piece("unchecked")->size().width() + kIndicatorGap;
            return QRect(left, option->rect.top(), option->rect.right() + 1 - left,
                         option->rect.height());
        }
        break;
    case SE_CheckBoxFocusRect:
        if (element)
            return {};
        break;
    default:
        break;
    }
    return QProxyStyle::subElementRect(sub, option, widget);
}

QSize SkinStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                  const QWidget *widget) const
{
    if (type == CT_TabBarTab && !elementName(widget).isEmpty()) {
        const SkinElement *element = elementOf(widget);
        const QSize base = QProxyStyle::sizeFromContents(type, option, size, widget);
        const SkinPiece *tab = element ? element->piece("tab") : nullptr;
        return {std::max(base.width(), tab ? tab->size().width() : 0), tabStripHeight(element)};
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

int SkinStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                           const QWidget *widget) const
{
    const SkinElement *element = elementOf(widget);
    if (element) {
        const SkinPiece *mark = element->piece("unchecked");
        switch (metric) {
        case PM_IndicatorWidth:
            if (mark)
                return mark->size().width();
            break;
        case PM_IndicatorHeight:
            if (mark)
                return mark->size().height();
            break;
        case PM_TabBarTabShiftVertical:
        case PM_TabBarTabShiftHorizontal:
        case PM_ButtonShiftHorizontal:
        case PM_ButtonShiftVertical:
            return 0;
        default:
            break;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int SkinStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                         QStyleHintReturn *returnData) const
{
    if (hint == SH_TabBar_Alignment && !elementName(widget).isEmpty())
        return Qt::AlignLeft;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

} // namespace orvane
