#pragma once
// The STD text of a measurement: the 24 stability values, each written with
// "%3.1f" and padded on the left to 5 characters (a longer piece is kept
// whole), concatenated. Always written with a '.' so that the stored text
// reads back the same under any locale.
#include "shell/MeridianModel.h"

#include <QString>

QString BuildStabilityText(const SlotArray &stability);
// Piece k is characters 5(k-1)+1 .. 5k; a piece that is not a number, or is
// missing, gives 0. Reads '.' or ',' as the decimal separator.
SlotArray ParseStabilityText(const QString &text);
