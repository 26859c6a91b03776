#pragma once
// Writes a working database of the given size: subjects "S00000" ... with
// varied names, sexes, birth dates and addresses, each with an equal share of
// the measurements (dated one to a few weeks apart, all 24 points, a
// stability text), and PRESOA set to each subject's latest measurement.
#include <QString>

bool GenerateWorkingDatabase(const QString &path, int subjects, int measurements, QString *error);

// Lays out a data folder for the benchmarks: a copy of the working database of
// the given size (generated once into cacheDir and reused), plus empty reference
// and programme databases. Returns false with a message on failure.
bool PrepareBenchDataFolder(const QString &cacheDir, const QString &folder, int subjects, int measurements,
                            QString *error);
