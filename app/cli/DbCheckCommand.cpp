// sova-cli db-check [--data-dir DIR] [FILE...]: tells, for each database file
// (by default the working, reference, programme and template files of the
// data folder), its format, its tables with their row counts and whether its
// pages are sound. Exit status 1 when a file is missing or damaged.
#include "cli/Commands.h"

#include "records/Database.h"
#include "records/TableSource.h"
#include "shell/DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>

int DbCheckCommand(const QStringList &args) {
  QStringList files, rest;
  for (int i = 0; i < args.size(); ++i) {
    if (args.at(i) == u"--data-dir" || args.at(i).startsWith(u"--data-dir=")) {
      if (args.at(i) == u"--data-dir")
        ++i;
      continue;
    }
    if (args.at(i).startsWith(u"--"))
      return CliUsageError(QStringLiteral("db-check: unknown option %1").arg(args.at(i)));
    files << args.at(i);
  }
  if (files.isEmpty()) {
    QStringList withProgram{QStringLiteral("sova-cli")};
    withProgram += args;
    const QString folder = ResolveDataFolder(withProgram);
    for (const char *name : {DbFile::Working, DbFile::Reference, DbFile::Programme, DbFile::Template})
      files << FindFileNoCase(folder, QLatin1String(name));
  }
  bool allSound = true;
  for (const QString &path : std::as_const(files)) {
    const QString shown = QDir::toNativeSeparators(path);
    QString err;
    const FileFormat format = DetectFileFormat(path);
    if (format == FileFormat::Sqlite) {
      const QString conn = QStringLiteral("sova-cli-check");
      QSqlDatabase db = OpenDatabaseFile(path, OpenMode::ReadOnly, conn, &err);
      if (!db.isValid() || !CheckDatabaseIntegrity(db, &err)) {
        CliPrint(err + QStringLiteral("\n"));
        allSound = false;
        db = QSqlDatabase();
        CloseDatabaseConnection(conn);
        continue;
      }
      db = QSqlDatabase();
      CloseDatabaseConnection(conn);
    }
    std::unique_ptr<TableSource> source = OpenTableSource(path, &err);
    if (!source) {
      CliPrint(err + QStringLiteral("\n"));
      allSound = false;
      continue;
    }
    CliPrint(
        QStringLiteral("%1: %2\n")
            .arg(shown, format == FileFormat::Jet ? QStringLiteral("Jet") : QStringLiteral("SQLite, ok")));
    for (const QString &table : source->tableNames()) {
      std::unique_ptr<TableReader> reader = source->openTable(table, &err);
      if (!reader) {
        CliPrint(QStringLiteral("  %1: %2\n").arg(table, err));
        allSound = false;
        continue;
      }
      if (format == FileFormat::Jet) {
        // A Jet file has no check of its own: reading every row is the check.
        while (reader->next()) {
        }
        if (!reader->errorText().isEmpty()) {
          CliPrint(QStringLiteral("  %1: %2\n").arg(table, reader->errorText()));
          allSound = false;
          continue;
        }
      }
      CliPrint(QStringLiteral("  %1: %2 rows\n").arg(table).arg(reader->rowCount()));
    }
  }
  return allSound ? 0 : 1;
}
