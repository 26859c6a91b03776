#include "records/JetWorkingFiles.h"

#include "records/Database.h"
#include "shell/DataFolder.h"

#include <QFile>
#include <QFileInfo>

QStringList SetAsideJetWorkingFiles(const QString &folder) {
  QStringList told;
  const QString dir = WithTrailingSlash(folder);
  const QString old = QLatin1String(DbFile::Old);
  // The working database first: without it moved nothing can open. A Jet
  // delivery that has to wait stays out of the working database's place too
  // (the start-up check installs only a delivery of ours).
  for (const bool working : {true, false}) {
    const QString path = FindFileNoCase(dir, QLatin1String(working ? DbFile::Working : DbFile::Delivered));
    if (DetectFileFormat(path) != FileFormat::Jet)
      continue;
    const QString shown = QFileInfo(path).fileName();
    const QString what =
        QStringLiteral("%1 是 Windows 版的 Access 数据库，不能直接作为工作数据库使用。").arg(shown);
    if (FileExistsNoCase(dir, old)) {
      told << what + (working ? QStringLiteral(
                                    "数据目录中已有待转换的 %1，无法为它改名；请移走其中一个文件后重新启动。")
                                    .arg(old)
                              : QStringLiteral("数据目录中已有待转换的 %1，%2 将在下次启动时转换。")
                                    .arg(old, shown));
      continue;
    }
    QFile file(path);
    if (!file.rename(dir + old)) {
      told << what + QStringLiteral("无法将它改名为 %1：%2").arg(old, file.errorString());
      continue;
    }
    const bool fresh = working || !FileExistsNoCase(dir, QLatin1String(DbFile::Working));
    told << what + QStringLiteral("已将它改名为 %1，其资料将转换到%2工作数据库中。")
                       .arg(old, fresh ? QStringLiteral("由模板新建的") : QStringLiteral("现有的"));
  }
  return told;
}
