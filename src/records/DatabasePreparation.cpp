#include "records/DatabasePreparation.h"

#include "records/Database.h"
#include "records/DbSchema.h"
#include "records/DbTransaction.h"
#include "records/JetWorkingFiles.h"
#include "records/TableSource.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/DataFolder.h"
#include "shell/DayNumber.h"
#include "shell/StartupView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {
using Colour = StartupView::Colour;

const QString kTemplateMissing = QStringLiteral("您没有完全安装 S.O.V.A.，数据库不存在！请重新安装S.O.V.A.");
const QString kConnectionsFailed =
    QStringLiteral("S.O.V.A.数据库启动错误！如果您的操作系统是 Windows 98, SE 或 NT 4.0，请先安装 Microsoft ADO 驱动程序再执行");

struct ConvertedTable {
  const char *name;
  std::vector<const char *> fields;
  std::vector<const char *> guarded; // later fields: absent from older files
};

// The four tables in conversion order, with the fields each carries over.
const std::vector<ConvertedTable> &convertedTables() {
  static const std::vector<ConvertedTable> tables = [] {
    std::vector<ConvertedTable> t;
    t.push_back({"SoCust",
                 {"CustNo", "Name", "Sex", "DBirth", "Addr", "Tel", "Tel2", "Tel3", "EMail", "BType", "Height",
                  "Weight", "Memo", "CustCat", "CustFG", "PrtFG"},
                 {}});
    ConvertedTable data{"SoData", {"CustNo", "SoDate", "SoVota", "MEMO1", "MEMO2", "AutoKey"}, {"STD"}};
    static const char *so[24] = {"SO1",  "SO2",  "SO3",  "SO4",  "SO5",  "SO6",  "SO7",  "SO8",
                                 "SO9",  "SO10", "SO11", "SO12", "SO13", "SO14", "SO15", "SO16",
                                 "SO17", "SO18", "SO19", "SO20", "SO21", "SO22", "SO23", "SO24"};
    for (const char *f : so)
      data.fields.push_back(f);
    data.fields.push_back("PrtFG");
    t.push_back(data);
    t.push_back({"SoPro",
                 {"ProNo", "ProName", "ProData", "ProPict", "ProScal", "PrtFG"},
                 {"ProFn", "ProScrp1", "ProScrp2", "ProScrp3", "ProScrp4", "ProPrg1", "ProPrg2", "ProPrg3", "ProPrg4",
                  "ProParm1", "ProParm2", "ProParm3", "ProParm4"}});
    t.push_back({"SoPrDt",
                 {"ProNo", "ProSubN", "ProNote", "ProAnd", "ProCond", "ProEng", "ProFlg", "PrtFG"},
                 {"ProAGL", "ProAGH"}});
    return t;
  }();
  return tables;
}

// A value read from the old file, in the form the working table stores.
QVariant storedValue(const FieldDef *def, const QString &field, const QVariant &v) {
  if (!def)
    return v;
  if (!v.isValid() || v.isNull()) {
    // An empty flag, date or number reads as false or 0, as the program has
    // always read it; an empty text stays empty.
    switch (def->type) {
    case FieldType::YesNo: return 0;
    case FieldType::DateTime:
    case FieldType::Double:
    case FieldType::Long: return 0.0;
    default: return QVariant();
    }
  }
  switch (def->type) {
  case FieldType::YesNo: return v.toBool() ? 1 : 0;
  case FieldType::DateTime: {
    double day = v.metaType().id() == QMetaType::QDateTime ? ToDayNumber(v.toDateTime()) : v.toDouble();
    // The date of birth keeps its date only, as the editor stores it.
    if (field.compare(QLatin1String("DBirth"), Qt::CaseInsensitive) == 0 && day != 0.0)
      day = ToDayNumber(DateFromDayNumber(day));
    return day;
  }
  case FieldType::Double:
  case FieldType::Long: return v.toDouble();
  case FieldType::Picture: return v.toByteArray();
  case FieldType::Text:
  case FieldType::Memo: return v.toString();
  default: return v;
  }
}

int percent(int done, int count) { return int(qint64(done) * 100 / (count + 1)); }
} // namespace

DatabasePreparation::DatabasePreparation(AppContext &ctx, StartupView &view) : m_ctx(ctx), m_view(view) {}
DatabasePreparation::~DatabasePreparation() = default;

void DatabasePreparation::report(const QString &text) { m_ctx.ShowMessageBox(6, text); }

bool DatabasePreparation::renameFile(const QString &from, const QString &to, QString *error) {
  const QString folder = m_ctx.dataFolder;
  const QString source = FindFileNoCase(folder, from);
  // The names were always compared without regard to case; a target that
  // exists in any spelling is not overwritten.
  if (FileExistsNoCase(folder, to)) {
    *error = QStringLiteral("无法将 %1 改名为 %2：%2 已经存在。").arg(QFileInfo(source).fileName(), to);
    return false;
  }
  QFile f(source);
  if (!f.rename(folder + to)) {
    *error = QStringLiteral("无法将 %1 改名为 %2：%3").arg(QFileInfo(source).fileName(), to, f.errorString());
    return false;
  }
  return true;
}

bool DatabasePreparation::InstallFiles() {
  const QString folder = m_ctx.dataFolder;
  const auto exists = [&](const char *name) { return FileExistsNoCase(folder, QLatin1String(name)); };
  QString error;

  // A working database of the Windows edition cannot be used as it is; it is
  // moved to "sova.mdb" and converted below.
  for (const QString &text : SetAsideJetWorkingFiles(folder))
    report(text);

  m_templateMissing = !exists(DbFile::Template);
  if (m_templateMissing)
    report(kTemplateMissing);

  // A delivery of the Windows edition is never installed; it waits until
  // SetAsideJetWorkingFiles can move it to "sova.mdb".
  if (exists(DbFile::Delivered) &&
      DetectFileFormat(FindFileNoCase(folder, QLatin1String(DbFile::Delivered))) != FileFormat::Jet) {
    // The working database in use becomes the old one, converted below into
    // the delivered file.
    bool freed = true;
    if (exists(DbFile::Working))
      freed = renameFile(QLatin1String(DbFile::Working), QLatin1String(DbFile::Old), &error);
    else if (exists(DbFile::Old4))
      freed = renameFile(QLatin1String(DbFile::Old4), QLatin1String(DbFile::Old), &error);
    if (freed)
      freed = renameFile(QLatin1String(DbFile::Delivered), QLatin1String(DbFile::Working), &error);
    if (!freed)
      report(error);
  } else if (exists(DbFile::Old4)) {
    if (!renameFile(QLatin1String(DbFile::Old4), QLatin1String(DbFile::Old), &error))
      report(error);
  }

  if (!exists(DbFile::Working) && !m_templateMissing) {
    const QString target = folder + QLatin1String(DbFile::WorkingCreated);
    QFile tmpl(FindFileNoCase(folder, QLatin1String(DbFile::Template)));
    if (!tmpl.copy(target))
      report(QStringLiteral("无法由数据库模板 %1 建立 %2：%3")
                 .arg(QLatin1String(DbFile::Template), QLatin1String(DbFile::WorkingCreated), tmpl.errorString()));
    else
      QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
  }
  return !m_templateMissing;
}

bool DatabasePreparation::OpenConnections() {
  m_view.setLightColour(1, Colour::Green);
  m_view.setLightOn(2, true);
  QString error;
  Database &db = m_ctx.database();
  db.close();
  if (!db.open(m_ctx.dataFolder, &error)) {
    report(error.isEmpty() ? kConnectionsFailed : kConnectionsFailed + u'\n' + error);
    return false;
  }
  m_view.setLightColour(2, Colour::Green);
  return true;
}

bool DatabasePreparation::Run() {
  m_view.setAllLights(Colour::Yellow);
  m_view.setLightOn(1, true);
  for (int k = 2; k <= 7; ++k)
    m_view.setLightOn(k, false);

  bool ready = InstallFiles();
  if (!OpenConnections())
    ready = false;
  if (ready)
    ConvertOldDatabase();
  return ready;
}

bool DatabasePreparation::ConvertOldDatabase() {
  const QString folder = m_ctx.dataFolder;
  if (!FileExistsNoCase(folder, QLatin1String(DbFile::Old)))
    return true;
  const QString oldPath = FindFileNoCase(folder, QLatin1String(DbFile::Old));

  m_view.setLightOn(3, true);
  m_view.setRowLabel(QStringLiteral("DBT Prog:"));
  m_view.setStatusText(QStringLiteral("S.O.V.A. 数据库转换中，请稍候.."));

  QString error;
  if (!convert(oldPath, &error)) {
    report(QStringLiteral("旧数据库 %1 未能转换，工作数据库没有任何改动，旧数据库原样保留，下次启动时将再次转换。\n%2")
               .arg(QFileInfo(oldPath).fileName(), error));
    return false;
  }
  m_converted = true;
  return true;
}

bool DatabasePreparation::convert(const QString &oldPath, QString *error) {
  QSqlDatabase work = m_ctx.database().working();
  DbTransaction tx(work);
  if (!tx.begin(error))
    return false;

  {
    std::unique_ptr<TableSource> source = OpenTableSource(oldPath, error);
    if (!source)
      return false;
    const auto &tables = convertedTables();
    for (int t = 0; t < int(tables.size()); ++t) {
      if (!convertTable(t, *source, error))
        return false;
      m_view.setLightColour(3 + t, Colour::Green);
      m_view.setLightOn(4 + t, true);
    }
  } // the old file is closed here, before it is renamed

  m_view.setLightOn(7, true);
  if (!rebuildPresoa(error))
    return false;

  // The dated backup replaces one made earlier the same day. That one is put
  // aside first and brought back if the new backup cannot be made.
  const QString folder = m_ctx.dataFolder;
  const QString backupName = BackupFileName(m_ctx.clock().now().date());
  const QString earlier = FindFileNoCase(folder, backupName);
  const QString aside = folder + backupName + QStringLiteral(".old");
  const bool hadEarlier = QFileInfo::exists(earlier);
  if (hadEarlier) {
    QFile::remove(aside);
    if (!QFile::rename(earlier, aside)) {
      *error = QStringLiteral("无法替换备份文件 %1。").arg(QFileInfo(earlier).fileName());
      return false;
    }
  }
  const QString backupPath = folder + backupName;
  QFile old(oldPath);
  if (!old.rename(backupPath)) {
    *error = QStringLiteral("无法将 %1 改名为 %2：%3").arg(QFileInfo(oldPath).fileName(), backupName, old.errorString());
    if (hadEarlier)
      QFile::rename(aside, earlier);
    return false;
  }
  if (!tx.commit(error)) {
    QFile::rename(backupPath, oldPath);
    if (hadEarlier)
      QFile::rename(aside, earlier);
    return false;
  }
  if (hadEarlier)
    QFile::remove(aside);
  m_view.setLightColour(7, Colour::Green);
  return true;
}

bool DatabasePreparation::convertTable(int t, TableSource &file, QString *error) {
  const ConvertedTable &table = convertedTables().at(t);
  const QString name = QLatin1String(table.name);
  const TableDef *def = FindTableDef(name);
  QSqlDatabase work = m_ctx.database().working();

  std::unique_ptr<TableReader> reader = file.openTable(name, error);
  if (!reader)
    return false;
  TableReader &source = *reader;
  for (const char *f : table.fields) {
    if (!source.hasColumn(QLatin1String(f))) {
      *error = QStringLiteral("旧数据库的表 %1 缺少字段 %2。").arg(name, QLatin1String(f));
      return false;
    }
  }
  const int count = int(source.rowCount());
  int done = 0;
  m_view.setProgress(0);
  while (source.next()) {
    m_ctx.clock().processPending();
    QVariantMap row;
    for (const char *f : table.fields) {
      const QString field = QLatin1String(f);
      row.insert(field, storedValue(def ? &def->fields[def->fieldIndex(field)] : nullptr, field, source.value(field)));
    }
    for (const char *f : table.guarded) {
      const QString field = QLatin1String(f);
      if (source.hasColumn(field))
        row.insert(field,
                   storedValue(def ? &def->fields[def->fieldIndex(field)] : nullptr, field, source.value(field)));
    }
    QString insertError;
    if (!InsertRow(work, name, row, &insertError)) {
      *error = QStringLiteral("表 %1 第 %2 行：%3").arg(name).arg(done + 1).arg(insertError);
      return false;
    }
    ++done;
    m_view.setProgress(percent(done, count));
  }
  if (!source.errorText().isEmpty()) {
    *error = source.errorText();
    return false;
  }
  return true;
}

bool DatabasePreparation::rebuildPresoa(QString *error) {
  QSqlDatabase work = m_ctx.database().working();
  QSqlQuery subjects(work);
  subjects.setForwardOnly(true);
  QList<QPair<qint64, QString>> rows;
  if (!subjects.exec(QStringLiteral("SELECT rowid, CustNo FROM SoCust"))) {
    *error = subjects.lastError().text();
    return false;
  }
  while (subjects.next())
    rows.append({subjects.value(0).toLongLong(), subjects.value(1).toString()});
  subjects.finish();

  QSqlQuery latest(work), update(work);
  // Equality, not a prefix: subject "A1" never takes the date of "A10".
  latest.prepare(QStringLiteral("SELECT MAX(SoDate) FROM SoData WHERE CustNo = ?"));
  update.prepare(QStringLiteral("UPDATE SoCust SET PRESOA = ? WHERE rowid = ?"));
  m_view.setProgress(0);
  for (int i = 0; i < rows.size(); ++i) {
    m_ctx.clock().processPending();
    latest.bindValue(0, rows[i].second);
    if (!latest.exec()) {
      *error = latest.lastError().text();
      return false;
    }
    const double presoa = latest.next() && !latest.value(0).isNull() ? latest.value(0).toDouble() : 0.0;
    latest.finish();
    update.bindValue(0, presoa);
    update.bindValue(1, rows[i].first);
    if (!update.exec()) {
      *error = update.lastError().text();
      return false;
    }
    m_view.setProgress(percent(i + 1, rows.size()));
  }
  return true;
}
