#include "records/DbSchema.h"

#include "records/DbTransaction.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

std::vector<FieldDef> numbered(const char *const *names, int count, FieldType type, int size, bool later) {
  std::vector<FieldDef> v;
  for (int i = 0; i < count; ++i)
    v.push_back({names[i], type, size, later});
  return v;
}

void append(std::vector<FieldDef> &to, const std::vector<FieldDef> &more) {
  to.insert(to.end(), more.begin(), more.end());
}

TableDef makeSoCust() {
  return {"SoCust",
          {{"CustNo", FieldType::Text, 15},
           {"Name", FieldType::Text, 50},
           {"Sex", FieldType::YesNo},
           {"DBirth", FieldType::DateTime},
           {"Addr", FieldType::Text, 100},
           {"Tel", FieldType::Text, 30},
           {"Tel2", FieldType::Text, 30},
           {"Tel3", FieldType::Text, 30},
           {"EMail", FieldType::Text, 50},
           {"Memo", FieldType::Memo},
           {"PRESOA", FieldType::DateTime, 0, true},
           {"BType", FieldType::Text, 20},
           {"Height", FieldType::Double},
           {"Weight", FieldType::Double},
           {"CustCat", FieldType::Text, 20},
           {"CustFG", FieldType::Text, 10},
           {"PrtFG", FieldType::YesNo}}};
}

TableDef makeSoData() {
  static const char *const so[] = {"SO1",  "SO2",  "SO3",  "SO4",  "SO5",  "SO6",  "SO7",  "SO8",
                                   "SO9",  "SO10", "SO11", "SO12", "SO13", "SO14", "SO15", "SO16",
                                   "SO17", "SO18", "SO19", "SO20", "SO21", "SO22", "SO23", "SO24"};
  TableDef t{
      "SoData",
      {{"CustNo", FieldType::Text, 15}, {"SoDate", FieldType::DateTime}, {"SoVota", FieldType::YesNo}}};
  append(t.fields, numbered(so, 24, FieldType::Double, 0, false));
  append(t.fields, {{"MEMO1", FieldType::Memo},
                    {"MEMO2", FieldType::Memo},
                    {"STD", FieldType::Text, 200, true},
                    {"MKEY", FieldType::AutoNumber},
                    {"AutoKey", FieldType::Text, 50},
                    {"PrtFG", FieldType::YesNo}});
  return t;
}

TableDef makeSoPro() {
  static const char *const scrp[] = {"ProScrp1", "ProScrp2", "ProScrp3", "ProScrp4"};
  static const char *const prg[] = {"ProPrg1", "ProPrg2", "ProPrg3", "ProPrg4"};
  static const char *const parm[] = {"ProParm1", "ProParm2", "ProParm3", "ProParm4"};
  static const char *const hel[] = {"ProHel1", "ProHel2", "ProHel3", "ProHel4", "ProHel5"};
  TableDef t{"SoPro",
             {{"MKEY", FieldType::AutoNumber},
              {"ProNo", FieldType::Text, 20},
              {"ProName", FieldType::Text, 100},
              {"ProData", FieldType::Memo},
              {"ProPict", FieldType::Picture},
              {"ProScal", FieldType::YesNo},
              {"ProFn", FieldType::Text, 4, true}}};
  append(t.fields, numbered(scrp, 4, FieldType::Text, 255, true));
  append(t.fields, numbered(prg, 4, FieldType::Text, 255, true));
  append(t.fields, numbered(parm, 4, FieldType::Text, 255, true));
  append(t.fields, numbered(hel, 5, FieldType::Memo, 0, true));
  t.fields.push_back({"PrtFG", FieldType::YesNo});
  return t;
}

TableDef makeSoPrDt() {
  return {"SoPrDt",
          {{"ProNo", FieldType::Text, 20},
           {"ProSubN", FieldType::Text, 20},
           {"ProNote", FieldType::Text, 255},
           {"ProAnd", FieldType::Text, 50},
           {"ProCond", FieldType::Text, 50},
           {"ProEng", FieldType::Double},
           {"ProAGL", FieldType::Double, 0, true},
           {"ProAGH", FieldType::Double, 0, true},
           {"ProFlg", FieldType::YesNo},
           {"PrtFG", FieldType::YesNo}}};
}

TableDef makeSomtdb() {
  static const char *const texts[] = {"DtEA1",  "DtEA2",  "DtEA3", "DtEA4", "DtEA5", "DtPot1",
                                      "DtPot2", "DtPot3", "DtMA1", "DtMA2", "DtMA3", "DtMH1",
                                      "DtMH4",  "DtMH5",  "DtML1", "DtML4", "DtML5"};
  TableDef t{"SOMTDB", {{"MKEY", FieldType::Long}}};
  append(t.fields, numbered(texts, int(std::size(texts)), FieldType::Memo, 0, false));
  t.fields.push_back({"DtGpM", FieldType::Picture});
  return t;
}

QString columnSql(const TableDef &t, const FieldDef &f) {
  QString s = QStringLiteral("\"%1\" ").arg(QLatin1String(f.name));
  switch (f.type) {
  case FieldType::Text:
    s += f.size > 0 ? QStringLiteral("VARCHAR(%1) COLLATE NOCASE").arg(f.size)
                    : QStringLiteral("TEXT COLLATE NOCASE");
    break;
  case FieldType::Memo: s += QStringLiteral("TEXT"); break;
  case FieldType::YesNo: s += QStringLiteral("INTEGER NOT NULL DEFAULT 0"); break;
  case FieldType::DateTime: s += QStringLiteral("REAL NOT NULL DEFAULT 0"); break;
  case FieldType::Double: s += QStringLiteral("REAL DEFAULT 0"); break;
  case FieldType::Long:
    // SOMTDB's MKEY is its key, given by the content.
    s += qstricmp(f.name, "MKEY") == 0 ? QStringLiteral("INTEGER PRIMARY KEY")
                                       : QStringLiteral("INTEGER DEFAULT 0");
    break;
  case FieldType::AutoNumber: s += QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT"); break;
  case FieldType::Picture: s += QStringLiteral("BLOB"); break;
  }
  Q_UNUSED(t);
  return s;
}

QStringList indexSql(const TableDef &t) {
  const QString n = QLatin1String(t.name);
  if (n == u"SoCust") {
    // One index per sort column of the subject list: a sorted page, a jump
    // to the end of the list and the position of a found row stay quick.
    QStringList l;
    for (const char *f :
         {"CustNo", "Name", "Sex", "DBirth", "PRESOA", "Tel", "Addr", "EMail", "Tel2", "Tel3"})
      l << QStringLiteral("CREATE INDEX IF NOT EXISTS SoCust%1 ON SoCust(%1)").arg(QLatin1String(f));
    return l;
  }
  if (n == u"SoData")
    return {QStringLiteral("CREATE INDEX IF NOT EXISTS SoDataCustDate ON SoData(CustNo, SoDate)")};
  if (n == u"SoPro")
    return {QStringLiteral("CREATE INDEX IF NOT EXISTS SoProB ON SoPro(ProNo)")};
  if (n == u"SoPrDt")
    return {QStringLiteral("CREATE INDEX IF NOT EXISTS SoPrDtProNo ON SoPrDt(ProNo)")};
  return {};
}

} // namespace

int TableDef::fieldIndex(const QString &field) const {
  for (size_t i = 0; i < fields.size(); ++i)
    if (field.compare(QLatin1String(fields[i].name), Qt::CaseInsensitive) == 0)
      return int(i);
  return -1;
}

QStringList TableDef::fieldNames() const {
  QStringList l;
  for (const FieldDef &f : fields)
    l << QLatin1String(f.name);
  return l;
}

const TableDef &SoCustTable() {
  static const TableDef t = makeSoCust();
  return t;
}
const TableDef &SoDataTable() {
  static const TableDef t = makeSoData();
  return t;
}
const TableDef &SoProTable() {
  static const TableDef t = makeSoPro();
  return t;
}
const TableDef &SoPrDtTable() {
  static const TableDef t = makeSoPrDt();
  return t;
}
const TableDef &SomtdbTable() {
  static const TableDef t = makeSomtdb();
  return t;
}

const TableDef *FindTableDef(const QString &table) {
  for (const TableDef *t : {&SoCustTable(), &SoDataTable(), &SoProTable(), &SoPrDtTable(), &SomtdbTable()})
    if (table.compare(QLatin1String(t->name), Qt::CaseInsensitive) == 0)
      return t;
  return nullptr;
}

QList<const TableDef *> TablesOf(DatabaseKind kind) {
  switch (kind) {
  case DatabaseKind::Working: return {&SoCustTable(), &SoDataTable(), &SoProTable(), &SoPrDtTable()};
  case DatabaseKind::Reference: return {&SomtdbTable()};
  case DatabaseKind::Programme: return {&SoProTable(), &SoPrDtTable()};
  }
  return {};
}

bool CreateIndexes(QSqlDatabase &db, DatabaseKind kind, QString *error) {
  DbTransaction tx(db);
  if (!tx.begin(error))
    return false;
  QSqlQuery q(db);
  for (const TableDef *t : TablesOf(kind)) {
    for (const QString &s : indexSql(*t)) {
      if (!q.exec(s)) {
        if (error)
          *error = q.lastError().text();
        return false;
      }
    }
  }
  return tx.commit(error);
}

bool CreateSchema(QSqlDatabase &db, DatabaseKind kind, QString *error, bool indexes) {
  DbTransaction tx(db);
  if (!tx.begin(error))
    return false;
  QSqlQuery q(db);
  for (const TableDef *t : TablesOf(kind)) {
    QStringList cols;
    for (const FieldDef &f : t->fields)
      cols << columnSql(*t, f);
    QStringList statements{QStringLiteral("CREATE TABLE IF NOT EXISTS \"%1\" (%2)")
                               .arg(QLatin1String(t->name), cols.join(u", "))};
    if (indexes)
      statements += indexSql(*t);
    for (const QString &s : statements) {
      if (!q.exec(s)) {
        if (error)
          *error = q.lastError().text();
        return false;
      }
    }
  }
  return tx.commit(error);
}

bool InsertRow(QSqlDatabase &db, const QString &table, const QVariantMap &values, QString *error,
               qint64 *rowId) {
  const TableDef *t = FindTableDef(table);
  if (!t) {
    if (error)
      *error = QStringLiteral("未知的数据表：%1").arg(table);
    return false;
  }
  QStringList cols, marks;
  QVariantList binds;
  for (auto it = values.cbegin(); it != values.cend(); ++it) {
    const int i = t->fieldIndex(it.key());
    if (i < 0) {
      if (error)
        *error = QStringLiteral("数据表 %1 没有栏位 %2").arg(QLatin1String(t->name), it.key());
      return false;
    }
    cols << QStringLiteral("\"%1\"").arg(QLatin1String(t->fields[size_t(i)].name));
    marks << QStringLiteral("?");
    binds << it.value();
  }
  QSqlQuery q(db);
  const QString sql = cols.isEmpty()
                          ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(QLatin1String(t->name))
                          : QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                .arg(QLatin1String(t->name), cols.join(u", "), marks.join(u", "));
  if (!q.prepare(sql)) {
    if (error)
      *error = q.lastError().text();
    return false;
  }
  for (const QVariant &v : binds)
    q.addBindValue(v);
  if (!q.exec()) {
    if (error)
      *error = q.lastError().text();
    return false;
  }
  if (rowId)
    *rowId = q.lastInsertId().toLongLong();
  return true;
}
