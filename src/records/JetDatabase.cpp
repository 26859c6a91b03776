#include "records/JetDatabase.h"

#include "records/JetFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString Native(const QString &path) {
  return QDir::toNativeSeparators(path);
}

MdbCatalogEntry *FindEntry(MdbHandle *mdb, const QString &table) {
  if (!mdb->catalog)
    return nullptr;
  for (guint i = 0; i < mdb->catalog->len; ++i) {
    auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
    if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry) &&
        QString::fromUtf8(entry->object_name).compare(table, Qt::CaseInsensitive) == 0)
      return entry;
  }
  return nullptr;
}

} // namespace

QString JetFile::damaged(const QString &detail) const {
  return QStringLiteral("数据库文件 %1 已损坏或已加密，无法读取（%2）。").arg(Native(path), detail);
}

JetDatabase::JetDatabase() = default;
JetDatabase::~JetDatabase() = default;

bool JetDatabase::IsJetFile(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return false;
  const QByteArray head = f.read(20);
  if (head.size() < 19 || head.left(4) != QByteArray("\x00\x01\x00\x00", 4))
    return false;
  const QByteArray sig = head.mid(4, 15);
  return sig == "Standard Jet DB" || sig == "Standard ACE DB";
}

bool JetDatabase::open(const QString &path) {
  close();
  m_path = path;
  const QFileInfo info(path);
  if (!info.exists()) {
    m_error = QStringLiteral("找不到数据库文件 %1。").arg(Native(path));
    return false;
  }
  {
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
      m_error = QStringLiteral("无法打开数据库文件 %1：%2").arg(Native(path), probe.errorString());
      return false;
    }
  }
  if (!IsJetFile(path)) {
    m_error = QStringLiteral("数据库文件 %1 不是 Access 数据库，或已损坏。").arg(Native(path));
    return false;
  }

  auto file = std::make_shared<JetFile>();
  file->path = path;
  file->fileSize = info.size();
  file->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
  if (!file->mdb) {
    m_error = file->damaged(QStringLiteral("文件头无法识别"));
    return false;
  }
  // Access writes whole pages only; a file cut short loses rows silently
  // unless it is refused here.
  const qint64 pageSize = file->pageSize();
  if (info.size() < 3 * pageSize || info.size() % pageSize != 0) {
    m_error = file->damaged(QStringLiteral("文件长度 %1 字节不是完整的数据页").arg(info.size()));
    return false;
  }
  if (!mdb_read_catalog(file->mdb, MDB_TABLE) || file->mdb->catalog->len == 0) {
    m_error = file->damaged(QStringLiteral("目录无法读取"));
    return false;
  }
  bool systemTables = false;
  QStringList tables;
  for (guint i = 0; i < file->mdb->catalog->len; ++i) {
    auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(file->mdb->catalog, i));
    if (entry->object_type != MDB_TABLE)
      continue;
    if (mdb_is_user_table(entry))
      tables << QString::fromUtf8(entry->object_name);
    else if (mdb_is_system_table(entry))
      systemTables = true;
  }
  // Every real file lists its own system tables; a catalogue without them was
  // decoded from garbage.
  if (!systemTables) {
    m_error = file->damaged(QStringLiteral("目录无法读取"));
    return false;
  }
  m_file = std::move(file);
  m_tables = tables;
  m_error.clear();
  return true;
}

void JetDatabase::close() {
  m_file.reset();
  m_tables.clear();
  m_error.clear();
}

bool JetDatabase::hasTable(const QString &table) const {
  return std::any_of(m_tables.begin(), m_tables.end(),
                     [&](const QString &t) { return t.compare(table, Qt::CaseInsensitive) == 0; });
}

std::unique_ptr<JetTable> JetDatabase::openTable(const QString &table) {
  if (!m_file) {
    m_error = QStringLiteral("数据库文件 %1 尚未打开。").arg(Native(m_path));
    return nullptr;
  }
  MdbCatalogEntry *entry = FindEntry(m_file->mdb, table);
  if (!entry) {
    m_error = QStringLiteral("数据库文件 %1 中没有数据表 %2。").arg(Native(m_path), table);
    return nullptr;
  }
  MdbTableDef *def = mdb_read_table(entry);
  if (!def) {
    m_error = m_file->damaged(QStringLiteral("数据表 %1 的定义无法读取").arg(table));
    return nullptr;
  }
  if (!mdb_read_columns(def) || def->columns->len != def->num_cols) {
    mdb_free_tabledef(def);
    m_error = m_file->damaged(QStringLiteral("数据表 %1 的字段无法读取").arg(table));
    return nullptr;
  }
  m_error.clear();
  return std::unique_ptr<JetTable>(new JetTable(m_file, def));
}
