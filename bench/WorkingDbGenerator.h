#pragma once
// Writes a working database of the given size: subjects "S00000" ... with
// varied names, sexes, birth dates and addresses, each with an equal share of
// the measurements (dated one to a few weeks apart, all 24 points, a
// stability text), and PRESOA set to each subject's latest measurement.
#include <QString>

bool GenerateWorkingDatabase(const QString &path, int subjects, int measurements, QString *error);
