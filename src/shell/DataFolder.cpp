#include "shell/DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString WithTrailingSlash(const QString &dir) {
  QString d = QDir::cleanPath(QDir(dir).absolutePath());
  if (!d.endsWith(u'/'))
    d += u'/';
  return d;
}

QString ResolveDataFolder(const QStringList &arguments) {
  QString dir;
  for (int i = 0; i < arguments.size(); ++i) {
    const QString &a = arguments.at(i);
    if (a == u"--data-dir" && i + 1 < arguments.size()) {
      dir = arguments.at(i + 1);
      break;
    }
    if (a.startsWith(u"--data-dir=")) {
      dir = a.mid(11);
      break;
    }
  }
  if (dir.isEmpty())
    dir = qEnvironmentVariable("SOVA_DATA_DIR");
  if (dir.isEmpty()) {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
      base = QDir::homePath() + QStringLiteral("/.local/share");
    dir = base + QStringLiteral("/kelvor/sova");
  }
  QDir().mkpath(dir);
  return WithTrailingSlash(dir);
}

QString FindFileNoCase(const QString &dir, const QString &name) {
  const QString exact = WithTrailingSlash(dir) + name;
  if (QFileInfo::exists(exact))
    return exact;
  const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
  for (const QString &e : entries)
    if (e.compare(name, Qt::CaseInsensitive) == 0)
      return WithTrailingSlash(dir) + e;
  return exact;
}

bool FileExistsNoCase(const QString &dir, const QString &name) {
  return QFileInfo::exists(FindFileNoCase(dir, name));
}
