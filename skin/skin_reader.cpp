#include "skin/desktop_font.h"
#include "skin/skin.h"
#include "skin/skin_settings.h"

#include <QFile>
#include <functional>

using namespace Qt::StringLiterals;

namespace orvane {
namespace {

// Thrown inside the reader only, caught by readSkin: it keeps every check a
// single line.
struct Refusal {
    QString why;
};

[[noreturn]] void refuse(const QString &why)
{
    throw Refusal{why};
}

QString where(const SkinSetting &setting)
{
    return u"line %1 (%2)"_s.arg(setting.line).arg(QString::fromLatin1(setting.key));
}

QList<int> numbers(const SkinSetting &setting, qsizetype count)
{
    const QList<QByteArrayView> parts = splitValue(setting.value, ',');
    if (parts.size() != count)
        refuse(where(setting) + u": expected %1 numbers"_s.arg(count));
    QList<int> values;
    for (const QByteArrayView part : parts) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok);
        if (!ok)
            refuse(where(setting) + u": not a number"_s);
        values.append(value);
    }
    return values;
}

QRect rectangle(const SkinSetting &setting)
{
    const QList<int> v = numbers(setting, 4);
    if (v[2] <= 0 || v[3] <= 0 || v[0] < 0 || v[1] < 0)
        refuse(where(setting) + u": a rectangle needs a place and a size"_s);
    return QRect(v[0], v[1], v[2], v[3]);
}

QMargins margins(const SkinSetting &setting)
{
    const QList<int> v = numbers(setting, 4);
    for (const int m : v) {
        if (m < 0)
            refuse(where(setting) + u": margins cannot be negative"_s);
    }
    return QMargins(v[0], v[1], v[2], v[3]);
}

QColor colour(const SkinSetting &setting)
{
    const QByteArrayView value = setting.value;
    bool ok = value.size() == 7 && value.front() == '#';
    const uint rgb = ok ? value.sliced(1).toUInt(&ok, 16) : 0;
    if (!ok)
        refuse(where(setting) + u": a colour reads #RRGGBB"_s);
    return QColor::fromRgb(QRgb(0xff000000u | rgb));
}

DesktopFontSpec font(const SkinSetting &setting)
{
    const std::optional<DesktopFontSpec> font = parseDesktopFont(setting.value);
    if (!font)
        refuse(where(setting) + u": a font reads family,height[,bold][,underline]"_s);
    return *font;
}

SkinStretch stretch(const SkinSetting &setting)
{
    if (setting.value == "any")
        return SkinStretch::Any;
    if (setting.value == "width")
        return SkinStretch::Width;
    if (setting.value == "height")
        return SkinStretch::Height;
    if (setting.value == "fixed")
        return SkinStretch::Fixed;
    refuse(where(setting) + u": stretch is any, width, height or fixed"_s);
}

std::optional<SkinState> stateNamed(QByteArrayView name)
{
    if (name == "normal")
        return SkinState::Normal;
    if (name == "hover")
        return SkinState::Hovered;
    if (name == "pressed")
        return SkinState::Pressed;
    if (name == "disabled")
        return SkinState::Disabled;
    return std::nullopt;
}

const SkinSection &required(const SkinSettings &settings, QByteArrayView name)
{
    const SkinSection *section = settings.section(name);
    if (!section)
        refuse(u"the section [%1] is missing"_s.arg(QString::fromLatin1(name)));
    return *section;
}

const SkinSetting &requiredKey(const SkinSection &section, QByteArrayView key)
{
    for (const SkinSetting &setting : section.settings) {
        if (setting.key == key)
            return setting;
    }
    refuse(u"[%1] has no %2"_s.arg(QString::fromLatin1(section.name), QString::fromLatin1(key)));
}

class Reader {
public:
    Reader(const SkinSettings &settings, const std::function<QImage(const QString &)> &load)
        : m_settings(settings), m_load(load)
    {
    }

    Skin read()
    {
        readVersion();
        readPictures();
        readFrame();
        readColours();
        readObjects();
        readControls();
        return std::move(m_skin);
    }

private:
    void readVersion()
    {
        const SkinSection &version = required(m_settings, "VERSION");
        m_skin.name = QString::fromUtf8(requiredKey(version, "name").value);
        if (m_skin.name.isEmpty())
            refuse(u"[VERSION] names no skin"_s);
        if (requiredKey(version, "format").value != "1")
            refuse(u"[VERSION] format %1 is not one this program reads"_s.arg(
                QString::fromLatin1(requiredKey(version, "format").value)));
    }

    void readPictures()
    {
        const SkinSection &pictures = required(m_settings, "PICTURES");
        for (const SkinSetting &setting : pictures.settings) {
            SkinPicture picture;
            picture.file = QString::fromUtf8(setting.value);
            picture.image = m_load(picture.file);
            if (picture.image.isNull())
                refuse(where(setting) + u": the picture %1 cannot be read"_s.arg(picture.file));
            const qsizetype dot = picture.file.lastIndexOf(u'.');
            const QString file2x =
                dot < 0 ? QString(picture.file + u"@2x"_s)
                        : QString(picture.file.first(dot) + u"@2x"_s + picture.file.sliced(dot));
            picture.image2x = m_load(file2x);
            if (!picture.image2x.isNull() && picture.image2x.size() != picture.image.size() * 2)
                refuse(where(setting) +
                       u": %1 is not twice the size of %2"_s.arg(file2x, picture.file));
            m_names.insert(setting.key, int(m_skin.pictures.size()));
            m_skin.pictures.append(picture);
        }
        if (m_skin.pictures.isEmpty())
            refuse(u"[PICTURES] lists no picture"_s);
    }

    int pictureNamed(const SkinSetting &setting) const
    {
        const auto found = m_names.constFind(setting.value);
        if (found == m_names.cend())
            refuse(where(setting) + u": no picture of that name"_s);
        return *found;
    }

    void inside(const SkinSetting &setting, int picture, const QRect &rect) const
    {
        const QRect bounds = m_skin.pictures[picture].image.rect();
        if (!bounds.contains(rect))
            refuse(where(setting) + u": the rectangle leaves its picture"_s);
    }

    void readFrame()
    {
        const SkinSection &form = required(m_settings, "FORMINFO");
        SkinFrame &frame = m_skin.frame;
        frame.face.picture = pictureNamed(requiredKey(form, "picture"));
        frame.face.rects[0] = m_skin.pictures[frame.face.picture].image.rect();
        frame.mask = pictureNamed(requiredKey(form, "mask"));
        if (m_skin.pictures[frame.mask].image.size() != frame.face.size())
            refuse(u"[FORMINFO] the mask is not the size of the frame picture"_s);
        frame.face.slices = margins(requiredKey(form, "slices"));
        frame.client = margins(requiredKey(form, "client"));
        const QSize size = frame.face.size();
        const QMargins s = frame.face.slices;
        if (s.left() + s.right() >= size.width() || s.top() + s.bottom() >= size.height())
            refuse(u"[FORMINFO] the slices leave no middle to stretch"_s);
    }

    void readColours()
    {
        const SkinSection &colours = required(m_settings, "SKINCOLORS");
        for (const SkinSetting &setting : colours.settings)
            m_skin.colors.insert(setting.key, colour(setting));
    }

    void readObjects()
    {
        const SkinSection &objects = required(m_settings, "SKINOBJECTS");
        SkinFrame &frame = m_skin.frame;
        frame.caption = margins(requiredKey(objects, "caption.box"));
        frame.captionFont = font(requiredKey(objects, "caption.font"));
        frame.captionActive = colour(requiredKey(objects, "caption.color"));
        frame.captionInactive = colour(requiredKey(objects, "caption.inactivecolor"));
        for (const SkinSetting &setting : objects.settings) {
            const QList<QByteArrayView> key = splitValue(setting.key, '.');
            if (key.size() != 2)
                refuse(where(setting) + u": expected object.property"_s);
            if (key[0] == "caption")
                continue;
            if (key[0] != "sysmenu" && key[0] != "minimize" && key[0] != "maximize" &&
                key[0] != "close")
                refuse(where(setting) + u": no frame object of that name"_s);
            SkinFrameButton &button = frame.buttons[key[0].toByteArray()];
            if (key[1] == "anchor") {
                if (setting.value != "left" && setting.value != "right")
                    refuse(where(setting) + u": anchor is left or right"_s);
                button.fromRight = setting.value == "right";
            } else if (key[1] == "offset") {
                const QList<int> v = numbers(setting, 2);
                button.offset = QPoint(v[0], v[1]);
            } else if (key[1] == "visible") {
                button.visible = setting.value != "0";
            } else if (!readPieceProperty(button.piece, key[1], setting, key[0].toByteArray())) {
                refuse(where(setting) + u": not a property of a frame button"_s);
            }
        }
        for (auto it = frame.buttons.cbegin(); it != frame.buttons.cend(); ++it)
            checkPiece(it.value().piece, it.key());
        for (const char *needed : {"sysmenu", "minimize", "close"}) {
            if (!frame.buttons.contains(needed))
                refuse(u"[SKINOBJECTS] has no %1 button"_s.arg(QLatin1StringView(needed)));
        }
    }

    bool readPieceProperty(SkinPiece &piece, QByteArrayView property, const SkinSetting &setting,
                           const QByteArray &path)
    {
        if (property == "picture") {
            piece.picture = pictureNamed(setting);
        } else if (property == "slices") {
            piece.slices = margins(setting);
        } else if (const std::optional<SkinState> state = stateNamed(property)) {
            piece.rects[size_t(*state)] = rectangle(setting);
            m_rectLines.insert(path + '.' + property.toByteArray(), setting);
        } else {
            return false;
        }
        return true;
    }

    void checkPiece(const SkinPiece &piece, const QByteArray &path) const
    {
        const QString name = QString::fromLatin1(path);
        if (piece.picture < 0)
            refuse(name + u" names no picture"_s);
        if (piece.rects[0].isEmpty())
            refuse(name + u" has no normal rectangle"_s);
        for (const char *state : {"normal", "hover", "pressed", "disabled"}) {
            const SkinSetting line = m_rectLines.value(path + '.' + state);
            if (line.line > 0)
                inside(line, piece.picture, piece.rect(*stateNamed(state)));
        }
        const QMargins s = piece.slices;
        if (s.left() + s.right() > piece.size().width() ||
            s.top() + s.bottom() > piece.size().height())
            refuse(name + u": the slices are larger than the picture"_s);
    }

    void readControls()
    {
        const SkinSection &controls = required(m_settings, "SKINCONTROLS");
        for (const SkinSetting &setting : controls.settings) {
            const QList<QByteArrayView> key = splitValue(setting.key, '.');
            if (key.size() < 2 || key.size() > 3 || key[0].isEmpty())
                refuse(where(setting) + u": expected element.property or element.piece.property"_s);
            SkinElement &element = m_skin.elements[key[0].toByteArray()];
            if (key.size() == 3) {
                if (!readPieceProperty(element.pieces[key[1].toByteArray()], key[2], setting,
                                       setting.key.first(setting.key.lastIndexOf('.'))))
                    refuse(where(setting) + u": not a property of a picture piece"_s);
            } else if (key[1] == "stretch") {
                element.stretch = stretch(setting);
            } else if (key[1] == "content") {
                element.content = margins(setting);
            } else if (key[1] == "font") {
                element.font = font(setting);
            } else if (key[1].endsWith("color")) {
                element.colors.insert(key[1].toByteArray(), colour(setting));
            } else {
                refuse(where(setting) + u": not a property of a control element"_s);
            }
        }
        for (auto element = m_skin.elements.cbegin(); element != m_skin.elements.cend();
             ++element) {
            for (auto piece = element->pieces.cbegin(); piece != element->pieces.cend(); ++piece)
                checkPiece(*piece, element.key() + '.' + piece.key());
        }
    }

    const SkinSettings &m_settings;
    const std::function<QImage(const QString &)> &m_load;
    Skin m_skin;
    QHash<QByteArray, int> m_names;
    QHash<QByteArray, SkinSetting> m_rectLines; // "element.piece.state": where it was set
};

} // namespace

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

SkinRead readSkin(QByteArrayView settingsText,
                  const std::function<QImage(const QString &file)> &loadPicture)
{
    SkinSettingsRead settings = parseSkinSettings(settingsText);
    if (!settings.settings)
        return {std::nullopt, settings.error};
    try {
        return {Reader(*settings.settings, loadPicture).read(), {}};
    } catch (const Refusal &refusal) {
        return {std::nullopt, refusal.why};
    }
}

} // namespace orvane
