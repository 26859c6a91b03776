#pragma once
// Storing the measurement on screen under a subject: always a new SoData row
// (a measurement read from the database or saved before is stored again),
// STD built from the stabilities, the note's lines joined with line breaks,
// the subject's PRESOA raised only when the measurement is later.
#include "measure/Measurement.h"

#include <QString>

class AppContext;

// CurrentSubject becomes target and CurrentMeasurement.StoredKey the new
// row's MKEY. Refuses an empty number or a subject that no longer exists;
// on failure nothing is stored, StoredKey stays and error says why.
bool SaveMeasurement(AppContext &ctx, const Subject &target, QString *error);
