#pragma once
// The illustration of a meridian's course (field DtGpM of the reference
// table): a standing figure, front or back as the meridian runs, with the
// course on both sides of the body, its first and last points and the
// measured source point marked, beside a legend panel.
#include "shell/MeridianModel.h"

#include <QImage>
#include <QSize>

inline constexpr QSize kMeridianIllustrationSize(560, 600);

QImage DrawMeridianIllustration(const MeridianModel &model, int meridian);
