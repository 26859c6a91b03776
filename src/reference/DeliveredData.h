#pragma once
// The files delivered with the program: the template, reference and programme
// databases in the data folder, the point pictures and the balance chart
// background in its "Data" subfolder. The build generates them from the
// content sources under data/; at start the program copies any that the data
// folder lacks, as an installer would, and never overwrites one that exists.
#include <QString>
#include <QStringList>

// Paths relative to the data folder, e.g. "sovaCn.mdb", "Data/PLh1.bmp".
QStringList DeliveredFileNames();
QString DeliveredPictureFolder(); // "Data"
QString BalanceBackgroundFileName(); // "sobkmg.msi"

// Writes every delivered file into outDir from the sources in sourceDir.
bool GenerateDeliveredData(const QString &sourceDir, const QString &outDir, QString *error);
// Only the pictures (72 point pictures and the chart background) into outDir/Data.
bool GenerateDeliveredPictures(const QString &outDir, QString *error);

// Where this program finds its delivered files: the build tree's share/sova
// when it runs from the build tree, else the installed share/sova beside its
// binary folder, else the configured install location. Empty when none holds them.
QString DeliveredDataDir();

struct InstallReport {
  QStringList copied;  // relative names copied into the data folder
  QStringList missing; // delivered names that the source folder lacks
  QStringList failed;  // copies that could not be made
};
// Copies each delivered file that dataFolder lacks (compared without regard to
// case) from fromDir; existing files are left untouched.
InstallReport InstallDeliveredData(const QString &fromDir, const QString &dataFolder);

// At start: installs from DeliveredDataDir() and reports on standard error
// what could not be installed (the start-up check then names what is missing).
InstallReport InstallDeliveredFiles(const QString &dataFolder);

// Contact sheets of the delivered pictures (one per picture style and one of
// the meridian illustrations) as baseName-N.png; returns the files written.
QStringList WriteContactSheets(const QString &baseName, QString *error);
