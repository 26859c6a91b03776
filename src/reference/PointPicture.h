#pragma once
// The 72 point pictures: for each value slot the hand or foot of its side with
// the measured source point marked, in three styles (1 shaded "photograph",
// 2 line drawing, 3 composite of both with the meridian's local course).
#include "shell/MeridianModel.h"

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QSize>

// Drawn at the size the measurement window shows them.
inline constexpr QSize kPointPictureSize(217, 255);

QImage DrawPointPicture(const MeridianModel &model, int style, int slot);

// Where the source point of a slot lies in its picture (pixels), the left side
// mirrored; for tests and for tools that check the pictures.
QPointF PointPicturePosition(int slot);

// The font every delivered picture uses for its labels.
QFont DeliveredPictureFont(int pixelSize, bool bold = false);
