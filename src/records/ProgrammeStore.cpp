#include "records/ProgrammeStore.h"

#include "records/Database.h"
#include "records/DbSchema.h"
#include "shell/Cipher.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

bool run(const QSqlDatabase &db, QSqlQuery &q, const QString &sql, const QVariantList &binds,
         QString *error) {
  q.setForwardOnly(true);
  if (q.prepare(sql)) {
    for (const QVariant &v : binds)
      q.addBindValue(v);
    if (q.exec())
      return true;
  }
  if (error)
    *error = DescribeDbError(db, q.lastError());
  return false;
}

ProgrammeRecord programmeFrom(const QSqlRecord &r) {
  auto text = [&](const QString &f) { return r.value(f).toString(); };
  ProgrammeRecord p;
  p.MKEY = r.value(QStringLiteral("MKEY")).toLongLong();
  p.ProNo = text(QStringLiteral("ProNo"));
  p.ProName = text(QStringLiteral("ProName"));
  p.ProData = text(QStringLiteral("ProData"));
  p.ProPict = r.value(QStringLiteral("ProPict")).toByteArray();
  p.ProScal = r.value(QStringLiteral("ProScal")).toInt() != 0;
  p.ProFn = text(QStringLiteral("ProFn"));
  for (int n = 1; n <= 4; ++n) {
    p.ProScrp[size_t(n)] = text(QStringLiteral("ProScrp%1").arg(n));
    p.ProPrg[size_t(n)] = text(QStringLiteral("ProPrg%1").arg(n));
    p.ProParm[size_t(n)] = text(QStringLiteral("ProParm%1").arg(n));
  }
  for (int n = 1; n <= 5; ++n)
    p.ProHel[size_t(n)] = text(QStringLiteral("ProHel%1").arg(n));
  p.PrtFG = r.value(QStringLiteral("PrtFG")).toInt() != 0;
  return p;
}

QList<ProgrammeRecord> select(QSqlDatabase db, const QString &where, const QVariantList &binds,
                              QString *error, int limit = -1) {
  QList<ProgrammeRecord> list;
  QSqlQuery q(db);
  QString sql = QStringLiteral("SELECT * FROM SoPro%1 ORDER BY ProNo, MKEY").arg(where);
  if (limit > 0)
    sql += QStringLiteral(" LIMIT %1").arg(limit);
  if (!run(db, q, sql, binds, error))
    return list;
  while (q.next())
    list << programmeFrom(q.record());
  return list;
}

} // namespace

QList<ProgrammeRecord> ReadProgrammes(QSqlDatabase db, QString *error) {
  return select(db, QString(), {}, error);
}

std::optional<ProgrammeRecord> FindProgramme(QSqlDatabase db, qint64 mkey, QString *error) {
  const QList<ProgrammeRecord> l = select(db, QStringLiteral(" WHERE MKEY = ?"), {mkey}, error, 1);
  return l.isEmpty() ? std::nullopt : std::optional(l.first());
}

std::optional<ProgrammeRecord> FindProgrammeByName(QSqlDatabase db, const QString &name, QString *error) {
  const QList<ProgrammeRecord> l =
      select(db, QStringLiteral(" WHERE ProName = ? COLLATE NOCASE"), {name}, error, 1);
  return l.isEmpty() ? std::nullopt : std::optional(l.first());
}

QList<ProgrammeCondition> ReadProgrammeConditions(QSqlDatabase db, const QString &proNo, QString *error) {
  QList<ProgrammeCondition> list;
  QSqlQuery q(db);
  if (!run(db, q, QStringLiteral("SELECT * FROM SoPrDt WHERE ProNo = ? ORDER BY ProNo, rowid"), {proNo},
           error))
    return list;
  while (q.next()) {
    const QSqlRecord r = q.record();
    ProgrammeCondition c;
    c.ProNo = r.value(QStringLiteral("ProNo")).toString();
    c.ProSubN = r.value(QStringLiteral("ProSubN")).toString();
    c.ProNote = r.value(QStringLiteral("ProNote")).toString();
    c.ProAnd = r.value(QStringLiteral("ProAnd")).toString();
    c.ProCond = r.value(QStringLiteral("ProCond")).toString();
    c.ProEng = r.value(QStringLiteral("ProEng")).toDouble();
    c.ProAGL = r.value(QStringLiteral("ProAGL")).toDouble();
    c.ProAGH = r.value(QStringLiteral("ProAGH")).toDouble();
    c.ProFlg = r.value(QStringLiteral("ProFlg")).toInt() != 0;
    c.PrtFG = r.value(QStringLiteral("PrtFG")).toInt() != 0;
    list << c;
  }
  return list;
}

QString ReferenceTopic::text(const QString &field) const {
  return DecipherText(stored(field), 1).value_or(QString());
}

std::optional<ReferenceTopic> ReadReferenceTopic(QSqlDatabase db, int mkey, QString *error) {
  QSqlQuery q(db);
  if (!run(db, q, QStringLiteral("SELECT * FROM SOMTDB WHERE MKEY = ?"), {mkey}, error) || !q.next())
    return std::nullopt;
  const QSqlRecord r = q.record();
  ReferenceTopic t;
  t.MKEY = r.value(QStringLiteral("MKEY")).toInt();
  for (int i = 0; i < r.count(); ++i) {
    const QString name = r.fieldName(i);
    if (name.compare(u"DtGpM", Qt::CaseInsensitive) == 0)
      t.DtGpM = r.value(i).toByteArray();
    else if (name.compare(u"MKEY", Qt::CaseInsensitive) != 0)
      t.texts.insert(name.toLower(), r.value(i).toString());
  }
  return t;
}
