#pragma once

#include "skin/skin.h"

#include <QByteArrayView>
#include <QImage>
#include <QString>
#include <functional>
#include <optional>

namespace orvane {

struct SkinRead {
    std::optional<Skin> skin;
    QString error; // when there is no skin: what is wrong with it
};

// Reads a skin from its settings text; `loadPicture` gives the picture of a
// file name the text lists (a null image when there is none). The text has
// the sections VERSION, PICTURES, FORMINFO, SKINCOLORS, SKINOBJECTS and
// SKINCONTROLS; see skins/README.md for its keys. A skin that lacks a section,
// a picture or a setting the frame needs, or whose rectangles leave their
// picture, is refused with the reason.
// With `pictureSize` (the size of a file's picture, invalid when there is none),
// the @2x pictures are only measured here and decoded by `loadPicture` when
// first drawn by a copy of `loadPicture`: what it refers to must outlive the skin.
SkinRead readSkin(QByteArrayView settingsText,
                  const std::function<QImage(const QString &file)> &loadPicture,
                  const std::function<QSize(const QString &file)> &pictureSize = {});

// The skin stored with the program, "iOS4_Ext", read once.
const SkinRead &storedSkin();

} // namespace orvane
