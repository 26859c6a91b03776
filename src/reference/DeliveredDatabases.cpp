#include "reference/DeliveredDatabases.h"

#include "records/Database.h"
#include "records/DbTransaction.h"
#include "reference/DeliveredContent.h"
#include "reference/MeridianIllustration.h"
#include "shell/Cipher.h"
#include "shell/DataFolder.h"

#include <QBuffer>
#include <QFile>
#include <QUuid>

namespace {

QByteArray pngBytes(const QImage &img) {
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, "PNG");
  return bytes;
}

// Fills a fresh file next to the target and puts it in place only when
// complete, so an interrupted build never leaves a half-filled database.
template <typename Fill>
bool writeDatabase(const QString &path, DatabaseKind kind, Fill fill, QString *error) {
  const QString temp = path + QStringLiteral(".new");
  QFile::remove(temp);
  if (!CreateDatabaseFile(temp, kind, error))
    return false;
  const QString conn = QStringLiteral("sova-datagen-%1").arg(QUuid::createUuid().toString(QUuid::Id128));
  bool ok = false;
  {
    QSqlDatabase db = OpenDatabaseFile(temp, OpenMode::ReadWrite, conn, error);
    if (db.isValid()) {
      DbTransaction t(db);
      ok = t.begin(error) && fill(db) && t.commit(error);
    }
  }
  CloseDatabaseConnection(conn);
  if (ok) {
    QFile::remove(path);
    ok = QFile::rename(temp, path);
    if (!ok && error)
      *error = QStringLiteral("cannot replace %1").arg(path);
  }
  if (!ok)
    QFile::remove(temp);
  return ok;
}

} // namespace

bool WriteDeliveredDatabases(const QString &sourceDir, const QString &outDir, QString *error) {
  QList<ReferenceSource> topics;
  QList<ProgrammeSource> programmes;
  if (!LoadReferenceSources(sourceDir, &topics, error) || !LoadProgrammeSources(sourceDir, &programmes, error))
    return false;
  const QString dir = WithTrailingSlash(outDir);

  const QString templ = dir + QLatin1String(DbFile::Template);
  QFile::remove(templ);
  if (!CreateTemplateDatabase(dir, error))
    return false;

  const MeridianModel model;
  const bool reference = writeDatabase(
      dir + QLatin1String(DbFile::Reference), DatabaseKind::Reference,
      [&](QSqlDatabase &db) {
        for (const ReferenceSource &t : topics) {
          QVariantMap row{{QStringLiteral("MKEY"), t.MKEY}};
          for (const QString &field : SomtdbTextFields())
            row.insert(field, EncipherText(t.texts.value(field), 1));
          if (t.illustration)
            row.insert(QStringLiteral("DtGpM"), pngBytes(DrawMeridianIllustration(model, t.MKEY)));
          if (!InsertRow(db, QStringLiteral("SOMTDB"), row, error))
            return false;
        }
        return true;
      },
      error);
  if (!reference)
    return false;

  return writeDatabase(
      dir + QLatin1String(DbFile::Programme), DatabaseKind::Programme,
      [&](QSqlDatabase &db) {
        for (const ProgrammeSource &p : programmes) {
          const ProgrammeRecord &r = p.record;
          QVariantMap row{{QStringLiteral("ProNo"), r.ProNo},     {QStringLiteral("ProName"), r.ProName},
                          {QStringLiteral("ProData"), r.ProData}, {QStringLiteral("ProScal"), false},
                          {QStringLiteral("ProFn"), r.ProFn},     {QStringLiteral("PrtFG"), false}};
          for (int k = 1; k <= 5; ++k)
            row.insert(QStringLiteral("ProHel%1").arg(k), r.ProHel[k]);
          if (!InsertRow(db, QStringLiteral("SoPro"), row, error))
            return false;
          for (const ProgrammeCondition &c : p.conditions) {
            const QVariantMap cond{{QStringLiteral("ProNo"), c.ProNo},     {QStringLiteral("ProSubN"), c.ProSubN},
                                   {QStringLiteral("ProNote"), c.ProNote}, {QStringLiteral("ProAnd"), c.ProAnd},
                                   {QStringLiteral("ProCond"), c.ProCond}, {QStringLiteral("ProEng"), c.ProEng},
                                   {QStringLiteral("ProAGL"), c.ProAGL},   {QStringLiteral("ProAGH"), c.ProAGH},
                                   {QStringLiteral("ProFlg"), c.ProFlg},   {QStringLiteral("PrtFG"), false}};
            if (!InsertRow(db, QStringLiteral("SoPrDt"), cond, error))
              return false;
          }
        }
        return true;
      },
      error);
}
