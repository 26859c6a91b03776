#include "records/TableSource.h"

#include "records/Database.h"
#include "records/JetTableSource.h"
#include "records/SqliteTableSource.h"

#include <QDir>

bool TableReader::hasColumn(const QString &column) const {
  return columns().contains(column, Qt::CaseInsensitive);
}

bool TableSource::hasTable(const QString &table) const {
  return tableNames().contains(table, Qt::CaseInsensitive);
}

std::unique_ptr<TableSource> OpenTableSource(const QString &path, QString *error) {
  switch (DetectFileFormat(path)) {
  case FileFormat::Sqlite: return SqliteTableSource::open(path, error);
  case FileFormat::Jet: return JetTableSource::open(path, error);
  case FileFormat::Missing:
    if (error)
      *error = QStringLiteral("数据库文件 %1 不存在。").arg(QDir::toNativeSeparators(path));
    return nullptr;
  case FileFormat::Unknown: break;
  }
  if (error)
    *error = QStringLiteral("数据库文件 %1 不是数据库文件或已损坏。").arg(QDir::toNativeSeparators(path));
  return nullptr;
}
