#include "skin/skin_reader.h"

#include "skin/desktop_font.h"
#include "skin/skin_settings.h"

#include <QHash>
#include <utility>

using namespace Qt::StringLiterals;

namespace orvane {
namespace {

// Why a skin is refused; every check hands it back to readSkin.
struct Refusal {
    QString why;
};

// A value read from the settings text, or the refusal that stopped it.
template <class T> class Checked {
public:
    Checked(T value) : m_value(std::move(value)) {}
    Checked(Refusal refusal) : m_refusal(std::move(refusal)) {}

    explicit operator bool() const { return m_value.has_value(); }
    const T &operator*() const { return *m_value; }
    const Refusal &refusal() const { return m_refusal; }

private:
    std::optional<T> m_value;
    Refusal m_refusal;
};

// A step that reads into the skin: nothing when it went well.
using Step = std::optional<Refusal>;

QString where(const SkinSetting &setting)
{
    return u"line %1 (%2)"_s.arg(setting.line).arg(QString::fromLatin1(setting.key));
}

Refusal refusal(const SkinSetting &setting, const QString &what)
{
    return {where(setting) + u": "_s + what};
}

Checked<QList<int>> numbers(const SkinSetting &setting, qsizetype count)
{
    const QList<QByteArrayView> parts = splitValue(setting.value, ',');
    if (parts.size() != count)
        return refusal(setting, u"expected %1 numbers"_s.arg(count));
    QList<int> values;
    for (const QByteArrayView part : parts) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok);
        if (!ok)
            return refusal(setting, u"not a number"_s);
        values.append(value);
    }
    return values;
}

Checked<QRect> rectangle(const SkinSetting &setting)
{
    const Checked<QList<int>> v = numbers(setting, 4);
    if (!v)
        return v.refusal();
    if ((*v)[2] <= 0 || (*v)[3] <= 0 || (*v)[0] < 0 || (*v)[1] < 0)
        return refusal(setting, u"a rectangle needs a place and a size"_s);
    return QRect((*v)[0], (*v)[1], (*v)[2], (*v)[3]);
}

Checked<QMargins> margins(const SkinSetting &setting)
{
    const Checked<QList<int>> v = numbers(setting, 4);
    if (!v)
        return v.refusal();
    for (const int m : *v) {
        if (m < 0)
            return refusal(setting, u"margins cannot be negative"_s);
    }
    return QMargins((*v)[0], (*v)[1], (*v)[2], (*v)[3]);
}

Checked<QColor> colour(const SkinSetting &setting)
{
    const QByteArrayView value = setting.value;
    bool ok = value.size() == 7 && value.front() == '#';
    const uint rgb = ok ? value.sliced(1).toUInt(&ok, 16) : 0;
    if (!ok)
        return refusal(setting, u"a colour reads #RRGGBB"_s);
    return QColor::fromRgb(QRgb(0xff000000u | rgb));
}

Checked<DesktopFontSpec> font(const SkinSetting &setting)
{
    const std::optional<DesktopFontSpec> font = parseDesktopFont(setting.value);
    if (!font)
        return refusal(setting, u"a font reads family,height[,bold][,underline]"_s);
    return *font;
}

Checked<SkinStretch> stretch(const SkinSetting &setting)
{
    if (setting.value == "any")
        return SkinStretch::Any;
    if (setting.value == "width")
        return SkinStretch::Width;
    if (setting.value == "height")
        return SkinStretch::Height;
    if (setting.value == "fixed")
        return SkinStretch::Fixed;
    return refusal(setting, u"stretch is any, width, height or fixed"_s);
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

Checked<const SkinSection *> required(const SkinSettings &settings, QByteArrayView name)
{
    if (const SkinSection *section = settings.section(name))
        return section;
    return Refusal{u"the section [%1] is missing"_s.arg(QString::fromLatin1(name))};
}

Checked<const SkinSetting *> requiredKey(const SkinSection &section, QByteArrayView key)
{
    for (const SkinSetting &setting : section.settings) {
        if (setting.key == key)
            return &setting;
    }
    return Refusal{
        u"[%1] has no %2"_s.arg(QString::fromLatin1(section.name), QString::fromLatin1(key))};
}

// Reads the `key` of `section` with `read` into `target`.
template <class T, class Read>
Step readKey(const SkinSection &section, QByteArrayView key, Read read, T &target)
{
    const Checked<const SkinSetting *> setting = requiredKey(section, key);
    if (!setting)
        return setting.refusal();
    const Checked<T> value = read(**setting);
    if (!value)
        return value.refusal();
    target = *value;
    return std::nullopt;
}

class Reader {
public:
    Reader(const SkinSettings &settings, const std::function<QImage(const QString &)> &load,
           const std::function<QSize(const QString &)> &measure)
        : m_settings(settings), m_load(load), m_measure(measure)
    {
    }

    Checked<Skin> read()
    {
        for (Step (Reader::*step)() :
             {&Reader::readVersion, &Reader::readPictures, &Reader::readFrame, &Reader::readColours,
              &Reader::readObjects, &Reader::readControls}) {
            if (Step refused = (this->*step)())
                return *refused;
        }
        return std::move(m_skin);
    }

private:
    Step readVersion()
    {
        const Checked<const SkinSection *> version = required(m_settings, "VERSION");
        if (!version)
            return version.refusal();
        const Checked<const SkinSetting *> name = requiredKey(**version, "name");
        if (!name)
            return name.refusal();
        m_skin.name = QString::fromUtf8((*name)->value);
        if (m_skin.name.isEmpty())
            return Refusal{u"[VERSION] names no skin"_s};
        const Checked<const SkinSetting *> format = requiredKey(**version, "format");
        if (!format)
            return format.refusal();
        if ((*format)->value != "1")
            return Refusal{u"[VERSION] format %1 is not one this program reads"_s.arg(
                QString::fromLatin1((*format)->value))};
        return std::nullopt;
    }

    Step readPictures()
    {
        const Checked<const SkinSection *> pictures = required(m_settings, "PICTURES");
        if (!pictures)
            return pictures.refusal();
        for (const SkinSetting &setting : (*pictures)->settings) {
            SkinPicture picture;
            picture.file = QString::fromUtf8(setting.value);
            picture.image = m_load(picture.file);
            if (picture.image.isNull())
                return refusal(setting, u"the picture %1 cannot be read"_s.arg(picture.file));
            const qsizetype dot = picture.file.lastIndexOf(u'.');
            const QString file2x =
                dot < 0 ? QString(picture.file + u"@2x"_s)
                        : QString(picture.file.first(dot) + u"@2x"_s + picture.file.sliced(dot));
            picture.image2x = denseVariant(file2x);
            if (!picture.image2x.isNull() && picture.image2x.size() != picture.image.size() * 2)
                return refusal(setting,
                               u"%1 is not twice the size of %2"_s.arg(file2x, picture.file));
            m_names.insert(setting.key, int(m_skin.pictures.size()));
            m_skin.pictures.append(picture);
        }
        if (m_skin.pictures.isEmpty())
            return Refusal{u"[PICTURES] lists no picture"_s};
        return std::nullopt;
    }

    DeferredImage denseVariant(const QString &file) const
    {
        if (!m_measure)
            return DeferredImage(m_load(file));
        const QSize size = m_measure(file);
        if (!size.isValid())
            return {};
        return DeferredImage(size, [load = m_load, file] { return load(file); });
    }

    Checked<int> pictureNamed(const SkinSetting &setting) const
    {
        const auto found = m_names.constFind(setting.value);
        if (found == m_names.cend())
            return refusal(setting, u"no picture of that name"_s);
        return *found;
    }

    Step readFrame()
    {
        const Checked<const SkinSection *> form = required(m_settings, "FORMINFO");
        if (!form)
            return form.refusal();
        SkinFrame &frame = m_skin.frame;
        const auto picture = [this](const SkinSetting &setting) {
            return pictureNamed(setting);
        };
        if (Step refused = readKey(**form, "picture", picture, frame.face.picture))
            return refused;
        frame.face.rects[0] = m_skin.pictures[frame.face.picture].image.rect();
        if (Step refused = readKey(**form, "mask", picture, frame.mask))
            return refused;
        if (m_skin.pictures[frame.mask].image.size() != frame.face.size())
            return Refusal{u"[FORMINFO] the mask is not the size of the frame picture"_s};
        if (Step refused = readKey(**form, "slices", margins, frame.face.slices))
            return refused;
        if (Step refused = readKey(**form, "client", margins, frame.client))
            return refused;
        const QSize size = frame.face.size();
        const QMargins s = frame.face.slices;
        if (s.left() + s.right() >= size.width() || s.top() + s.bottom() >= size.height())
            return Refusal{u"[FORMINFO] the slices leave no middle to stretch"_s};
        return std::nullopt;
    }

    Step readColours()
    {
        const Checked<const SkinSection *> colours = required(m_settings, "SKINCOLORS");
        if (!colours)
            return colours.refusal();
        for (const SkinSetting &setting : (*colours)->settings) {
            const Checked<QColor> value = colour(setting);
            if (!value)
                return value.refusal();
            m_skin.colors.insert(setting.key, *value);
        }
        return std::nullopt;
    }

    Step readObjects()
    {
        const Checked<const SkinSection *> found = required(m_settings, "SKINOBJECTS");
        if (!found)
            return found.refusal();
        const SkinSection &objects = **found;
        SkinFrame &frame = m_skin.frame;
        QMargins box;
        if (Step refused = readKey(objects, "caption.box", margins, box))
            return refused;
        // Written as four numbers; the last is the band's height, not an inset.
        frame.caption = {box.left(), box.top(), box.right(), box.bottom()};
        if (Step refused = readKey(objects, "caption.font", font, frame.captionFont))
            return refused;
        if (Step refused = readKey(objects, "caption.color", colour, frame.captionActive))
            return refused;
        if (Step refused = readKey(objects, "caption.inactivecolor", colour, frame.captionInactive))
            return refused;
        for (const SkinSetting &setting : objects.settings) {
            if (Step refused = readFrameButtonSetting(setting))
                return refused;
        }
        for (auto it = frame.buttons.cbegin(); it != frame.buttons.cend(); ++it) {
            if (Step refused = checkPiece(it.value().piece, it.key()))
                return refused;
        }
        for (const char *needed : {"sysmenu", "minimize", "close"}) {
            if (!frame.buttons.contains(needed))
                return Refusal{u"[SKINOBJECTS] has no %1 button"_s.arg(QLatin1StringView(needed))};
        }
        return std::nullopt;
    }

    Step readFrameButtonSetting(const SkinSetting &setting)
    {
        const QList<QByteArrayView> key = splitValue(setting.key, '.');
        if (key.size() != 2)
            return refusal(setting, u"expected object.property"_s);
        if (key[0] == "caption")
            return std::nullopt;
        if (key[0] != "sysmenu" && key[0] != "minimize" && key[0] != "maximize" &&
            key[0] != "close")
            return refusal(setting, u"no frame object of that name"_s);
        SkinFrameButton &button = m_skin.frame.buttons[key[0].toByteArray()];
        if (key[1] == "anchor") {
            if (setting.value != "left" && setting.value != "right")
                return refusal(setting, u"anchor is left or right"_s);
            button.fromRight = setting.value == "right";
        } else if (key[1] == "offset") {
            const Checked<QList<int>> v = numbers(setting, 2);
            if (!v)
                return v.refusal();
            button.offset = QPoint((*v)[0], (*v)[1]);
        } else if (key[1] == "visible") {
            button.visible = setting.value != "0";
        } else {
            return readPieceSetting(button.piece, key[1], setting, key[0].toByteArray(),
                                    u"not a property of a frame button"_s);
        }
        return std::nullopt;
    }

    // Whether `property` is one of a piece's, read into `piece`.
    Checked<bool> readPieceProperty(SkinPiece &piece, QByteArrayView property,
                                    const SkinSetting &setting, const QByteArray &path)
    {
        if (property == "picture") {
            const Checked<int> picture = pictureNamed(setting);
            if (!picture)
                return picture.refusal();
            piece.picture = *picture;
        } else if (property == "slices") {
            const Checked<QMargins> slices = margins(setting);
            if (!slices)
                return slices.refusal();
            piece.slices = *slices;
        } else if (const std::optional<SkinState> state = stateNamed(property)) {
            const Checked<QRect> rect = rectangle(setting);
            if (!rect)
                return rect.refusal();
            piece.rects[size_t(*state)] = *rect;
            m_rectLines.insert(path + '.' + property.toByteArray(), setting);
        } else {
            return false;
        }
        return true;
    }

    // Reads a piece's `property`; one it does not have is refused as `unknown`.
    Step readPieceSetting(SkinPiece &piece, QByteArrayView property, const SkinSetting &setting,
                          const QByteArray &path, const QString &unknown)
    {
        const Checked<bool> known = readPieceProperty(piece, property, setting, path);
        if (!known)
            return known.refusal();
        if (!*known)
            return refusal(setting, unknown);
        return std::nullopt;
    }

    Step checkPiece(const SkinPiece &piece, const QByteArray &path) const
    {
        const QString name = QString::fromLatin1(path);
        if (piece.picture < 0)
            return Refusal{name + u" names no picture"_s};
        if (piece.rects[0].isEmpty())
            return Refusal{name + u" has no normal rectangle"_s};
        const QRect bounds = m_skin.pictures[piece.picture].image.rect();
        for (const char *state : {"normal", "hover", "pressed", "disabled"}) {
            const SkinSetting line = m_rectLines.value(path + '.' + state);
            if (line.line > 0 && !bounds.contains(piece.rect(*stateNamed(state))))
                return refusal(line, u"the rectangle leaves its picture"_s);
        }
        const QMargins s = piece.slices;
        if (s.left() + s.right() > piece.size().width() ||
            s.top() + s.bottom() > piece.size().height())
            return Refusal{name + u": the slices are larger than the picture"_s};
        return std::nullopt;
    }

    Step readControls()
    {
        const Checked<const SkinSection *> controls = required(m_settings, "SKINCONTROLS");
        if (!controls)
            return controls.refusal();
        for (const SkinSetting &setting : (*controls)->settings) {
            if (Step refused = readControlSetting(setting))
                return refused;
        }
        for (auto element = m_skin.elements.cbegin(); element != m_skin.elements.cend();
             ++element) {
            for (auto piece = element->pieces.cbegin(); piece != element->pieces.cend(); ++piece) {
                if (Step refused = checkPiece(*piece, element.key() + '.' + piece.key()))
                    return refused;
            }
        }
        return std::nullopt;
    }

    Step readControlSetting(const SkinSetting &setting)
    {
        const QList<QByteArrayView> key = splitValue(setting.key, '.');
        if (key.size() < 2 || key.size() > 3 || key[0].isEmpty())
            return refusal(setting, u"expected element.property or element.piece.property"_s);
        SkinElement &element = m_skin.elements[key[0].toByteArray()];
        if (key.size() == 3)
            return readPieceSetting(element.pieces[key[1].toByteArray()], key[2], setting,
                                    setting.key.first(setting.key.lastIndexOf('.')),
                                    u"not a property of a picture piece"_s);
        if (key[1] == "stretch")
            return store(stretch(setting), element.stretch);
        if (key[1] == "content")
            return store(margins(setting), element.content);
        if (key[1] == "font") {
            const Checked<DesktopFontSpec> value = font(setting);
            if (!value)
                return value.refusal();
            element.font = *value;
            return std::nullopt;
        }
        if (key[1].endsWith("color")) {
            const Checked<QColor> value = colour(setting);
            if (!value)
                return value.refusal();
            element.colors.insert(key[1].toByteArray(), *value);
            return std::nullopt;
        }
        return refusal(setting, u"not a property of a control element"_s);
    }

    template <class T> static Step store(const Checked<T> &value, T &target)
    {
        if (!value)
            return value.refusal();
        target = *value;
        return std::nullopt;
    }

    const SkinSettings &m_settings;
    const std::function<QImage(const QString &)> &m_load;
    const std::function<QSize(const QString &)> &m_measure;
    Skin m_skin;
    QHash<QByteArray, int> m_names;
    QHash<QByteArray, SkinSetting> m_rectLines; // "element.piece.state": where it was set
};

} // namespace

SkinRead readSkin(QByteArrayView settingsText,
                  const std::function<QImage(const QString &file)> &loadPicture,
                  const std::function<QSize(const QString &file)> &pictureSize)
{
    const SkinSettingsRead settings = parseSkinSettings(settingsText);
    if (!settings.settings)
        return {std::nullopt, settings.error};
    Checked<Skin> skin = Reader(*settings.settings, loadPicture, pictureSize).read();
    if (!skin)
        return {std::nullopt, skin.refusal().why};
    return {*skin, {}};
}

} // namespace orvane
