#include "reference/DeliveredData.h"

#include "reference/BalanceBackground.h"
#include "reference/DeliveredDatabases.h"
#include "reference/MeridianIllustration.h"
#include "reference/PointPicture.h"
#include "shell/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <cstdio>

namespace {

QStringList pictureNames() {
  QStringList names;
  for (int style = 1; style <= 3; ++style)
    for (int slot = 1; slot <= 24; ++slot)
      names << PictureFileName(style, slot);
  return names;
}

bool saveBmp(const QImage &img, const QString &path, QString *error) {
  // Written through a temporary file so a half-written picture never ships.
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly) || !img.convertToFormat(QImage::Format_RGB888).save(&f, "BMP") ||
      !f.commit()) {
    if (error)
      *error = QStringLiteral("cannot write %1").arg(path);
    return false;
  }
  return true;
}

bool isUnder(const QString &path, const QString &dir) {
  const QString d = QDir::cleanPath(dir) + u'/';
  return QDir::cleanPath(path).startsWith(d);
}

} // namespace

QString DeliveredPictureFolder() { return QStringLiteral("Data"); }
QString BalanceBackgroundFileName() { return QStringLiteral("sobkmg.msi"); }

QStringList DeliveredFileNames() {
  QStringList names = {QStringLiteral("SoSpa_60.mdb"), QStringLiteral("sovaCn.mdb"), QStringLiteral("sovaMCn.mdb")};
  for (const QString &p : pictureNames())
    names << DeliveredPictureFolder() + u'/' + p;
  names << DeliveredPictureFolder() + u'/' + BalanceBackgroundFileName();
  return names;
}

bool GenerateDeliveredPictures(const QString &outDir, QString *error) {
  const QString dir = WithTrailingSlash(outDir) + DeliveredPictureFolder();
  if (!QDir().mkpath(dir)) {
    if (error)
      *error = QStringLiteral("cannot create %1").arg(dir);
    return false;
  }
  const MeridianModel model;
  for (int style = 1; style <= 3; ++style)
    for (int slot = 1; slot <= 24; ++slot)
      if (!saveBmp(DrawPointPicture(model, style, slot), dir + u'/' + PictureFileName(style, slot), error))
        return false;
  return saveBmp(DrawBalanceBackground(), dir + u'/' + BalanceBackgroundFileName(), error);
}

bool GenerateDeliveredData(const QString &sourceDir, const QString &outDir, QString *error) {
  if (!QDir().mkpath(outDir)) {
    if (error)
      *error = QStringLiteral("cannot create %1").arg(outDir);
    return false;
  }
  return WriteDeliveredDatabases(sourceDir, outDir, error) && GenerateDeliveredPictures(outDir, error);
}

QString DeliveredDataDir() {
  const QString appDir = QCoreApplication::applicationDirPath();
  const QString buildData = QStringLiteral(SOVA_BUILD_DATADIR);
  const QString buildRoot = QFileInfo(buildData).dir().path(); // <build>/share -> <build>
  QStringList candidates;
  if (!appDir.isEmpty() && isUnder(appDir, QFileInfo(buildRoot).path()))
    candidates << buildData;
  if (!appDir.isEmpty())
    candidates << QDir::cleanPath(appDir + QStringLiteral("/../share/sova"));
  candidates << QStringLiteral(SOVA_INSTALL_DATADIR) << buildData;
  for (const QString &c : candidates)
    if (QFileInfo::exists(c + QStringLiteral("/SoSpa_60.mdb")))
      return c;
  return {};
}

InstallReport InstallDeliveredData(const QString &fromDir, const QString &dataFolder) {
  InstallReport report;
  const QString target = WithTrailingSlash(dataFolder);
  for (const QString &name : DeliveredFileNames()) {
    const int slash = name.indexOf(u'/');
    QString dir = target;
    QString file = name;
    if (slash > 0) {
      // The program has spelled the subfolder "Data" and "DATA": use what exists.
      const QString sub = QFileInfo(FindFileNoCase(target, name.left(slash))).fileName();
      dir = target + sub + u'/';
      file = name.mid(slash + 1);
    }
    if (FileExistsNoCase(dir, file))
      continue;
    const QString from = WithTrailingSlash(fromDir) + name;
    if (!QFileInfo::exists(from)) {
      report.missing << name;
      continue;
    }
    if (!QDir().mkpath(dir) || !QFile::copy(from, dir + file)) {
      report.failed << name;
      continue;
    }
    // Installed copies must be writable like the user's own files.
    QFile::setPermissions(dir + file, QFile::permissions(dir + file) | QFileDevice::WriteOwner);
    report.copied << name;
  }
  return report;
}

InstallReport InstallDeliveredFiles(const QString &dataFolder) {
  const QString from = DeliveredDataDir();
  if (from.isEmpty()) {
    std::fprintf(stderr, "sova: the delivered data files were not found (looked for share/sova)\n");
    return {};
  }
  InstallReport r = InstallDeliveredData(from, dataFolder);
  for (const QString &f : r.missing + r.failed)
    std::fprintf(stderr, "sova: could not install %s into %s\n", f.toUtf8().constData(),
                 dataFolder.toUtf8().constData());
  return r;
}

QStringList WriteContactSheets(const QString &baseName, QString *error) {
  QStringList written;
  const MeridianModel model;
  const int cols = 6, gap = 8, labelH = 18;
  const QSize cell(kPointPictureSize.width() + gap, kPointPictureSize.height() + labelH + gap);
  for (int style = 1; style <= 3; ++style) {
    QImage sheet(cell.width() * cols + gap, cell.height() * 4 + gap, QImage::Format_RGB32);
    sheet.fill(QColor(200, 200, 200));
    QPainter p(&sheet);
    p.setFont(DeliveredPictureFont(12));
    for (int slot = 1; slot <= 24; ++slot) {
      const int i = slot - 1;
      const QPoint at(gap + (i % cols) * cell.width(), gap + (i / cols) * cell.height());
      p.drawText(QRect(at, QSize(kPointPictureSize.width(), labelH)), Qt::AlignCenter,
                 QStringLiteral("%1  slot %2").arg(PictureFileName(style, slot)).arg(slot));
      p.drawImage(at + QPoint(0, labelH), DrawPointPicture(model, style, slot));
    }
    p.end();
    const QString file = QStringLiteral("%1-%2.png").arg(baseName).arg(style);
    if (!sheet.save(file)) {
      if (error)
        *error = QStringLiteral("cannot write %1").arg(file);
      return {};
    }
    written << file;
  }
  // The illustrations at full size, four to a sheet, then the chart background.
  const QSize ill = kMeridianIllustrationSize;
  for (int part = 0; part < 4; ++part) {
    QImage sheet = part < 3 ? QImage((ill.width() + gap) * 2 + gap, (ill.height() + gap) * 2 + gap, QImage::Format_RGB32)
                            : QImage(DrawBalanceBackground().size() + QSize(2 * gap, 2 * gap), QImage::Format_RGB32);
    sheet.fill(QColor(200, 200, 200));
    QPainter p(&sheet);
    if (part < 3) {
      for (int k = 0; k < 4; ++k)
        p.drawImage(QPoint(gap + (k % 2) * (ill.width() + gap), gap + (k / 2) * (ill.height() + gap)),
                    DrawMeridianIllustration(model, part * 4 + k + 1));
    } else {
      p.drawImage(QPoint(gap, gap), DrawBalanceBackground());
    }
    p.end();
    const QString file = QStringLiteral("%1-%2.png").arg(baseName).arg(4 + part);
    if (!sheet.save(file)) {
      if (error)
        *error = QStringLiteral("cannot write %1").arg(file);
      return {};
    }
    written << file;
  }
  return written;
}
