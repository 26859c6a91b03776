#pragma once
// The measurement window's images, drawn in code.
#include <QPixmap>

QPixmap MeasureToolImage(int button);     // tool buttons 1..9, 55 × 52
QPixmap SoundModeImage(int soundMode);    // 0 silent, 1 standard, 2 single tone
QPixmap PictureStyleImage(int style);     // 1 photograph, 2 drawing, 3 composite
QPixmap SexImage(bool male);
QPixmap ModePicture(bool highPotential);  // standard or high potential
