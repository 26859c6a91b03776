#pragma once
// The background picture of the energy balance chart ("sobkmg.msi"): a pale
// taiji with rings on white; white is the colour the chart makes transparent.
#include <QImage>

QImage DrawBalanceBackground();
