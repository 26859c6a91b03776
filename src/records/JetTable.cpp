#include "records/JetTable.h"

#include "records/JetFile.h"
#include "shell/Gbk.h"

#include <QSet>
#include <QtEndian>
#include <vector>

// Rows are walked page by page here rather than through mdb_fetch_row: libmdb
// does not follow rows moved to an overflow page, reports a false yes/no as
// NULL, cannot tell an empty text from NULL through its bound columns and cuts
// long memos at its bind size. libmdb still decodes the table definitions and
// splits each row into its fields (mdb_crack_row); values are read from the
// stored bytes.

namespace {

constexpr quint16 kRowDeleted = 0x8000;
constexpr quint16 kRowOverflow = 0x4000;
constexpr quint16 kRowOffsetMask = 0x1FFF;
constexpr int kMemoHeader = 12;

quint16 U16(const uchar *p) {
  return qFromLittleEndian<quint16>(p);
}
quint32 U32(const uchar *p) {
  return qFromLittleEndian<quint32>(p);
}

JetType TypeOf(int colType) {
  switch (colType) {
  case MDB_BOOL: return JetType::Bool;
  case MDB_BYTE: return JetType::Byte;
  case MDB_INT: return JetType::Integer;
  case MDB_LONGINT: return JetType::Long;
  case MDB_MONEY: return JetType::Money;
  case MDB_FLOAT: return JetType::Single;
  case MDB_DOUBLE: return JetType::Double;
  case MDB_DATETIME: return JetType::DateTime;
  case MDB_BINARY: return JetType::Binary;
  case MDB_TEXT: return JetType::Text;
  case MDB_OLE: return JetType::Ole;
  case MDB_MEMO: return JetType::Memo;
  case MDB_REPID: return JetType::Guid;
  case MDB_NUMERIC: return JetType::Numeric;
  default: return JetType::Other;
  }
}

// Jet 4 text is UTF-16LE; under "Unicode compression" a value starting with
// FF FE holds runs of one byte per character, a 0x00 switching between those
// and runs of UTF-16LE.
QString DecodeJet4Text(const uchar *p, int n) {
  if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
    QString out;
    out.reserve(n - 2);
    bool compressed = true;
    for (int i = 2; i < n;) {
      if (p[i] == 0) {
        compressed = !compressed;
        ++i;
      } else if (compressed) {
        out += QChar(char16_t(p[i]));
        ++i;
      } else if (i + 1 < n) {
        out += QChar(char16_t(p[i] | (p[i + 1] << 8)));
        i += 2;
      } else {
        break;
      }
    }
    return out;
  }
  QString out(n / 2, Qt::Uninitialized);
  qFromLittleEndian<quint16>(p, n / 2, out.data());
  return out;
}

// The row table of a data page: the slot's start and end in the page, or
// false when the page does not hold such a row.
bool FindRow(const uchar *page, int pageSize, int rowCountOffset, int row, int *start, int *end,
             quint16 *flags = nullptr) {
  const int rows = U16(page + rowCountOffset);
  if (row < 0 || row >= rows || rowCountOffset + 2 + 2 * rows > pageSize)
    return false;
  const quint16 raw = U16(page + rowCountOffset + 2 + 2 * row);
  *start = raw & kRowOffsetMask;
  *end = row == 0 ? pageSize : U16(page + rowCountOffset + 2 * row) & kRowOffsetMask;
  if (flags)
    *flags = raw & ~kRowOffsetMask;
  return *start >= rowCountOffset + 2 + 2 * rows && *start <= *end && *end <= pageSize;
}

} // namespace

JetTable::JetTable(std::shared_ptr<JetFile> file, void *tableDef) : m_file(std::move(file)), m_def(tableDef) {
  auto *def = static_cast<MdbTableDef *>(m_def);
  m_name = QString::fromUtf8(def->name);
  for (guint i = 0; i < def->columns->len; ++i) {
    auto *col = static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i));
    JetColumn c;
    c.name = QString::fromUtf8(col->name);
    c.type = TypeOf(col->col_type);
    c.size = col->col_size;
    c.autoNumber = col->is_long_auto;
    m_byExactName.insert(c.name, m_columns.size());
    m_byName.insert(c.name.toLower(), m_columns.size());
    m_columns << c;
  }
  m_rowCount = def->num_rows;
  rewind();
}

JetTable::~JetTable() {
  if (m_def)
    mdb_free_tabledef(static_cast<MdbTableDef *>(m_def));
}

int JetTable::columnIndex(const QString &column) const {
  // Callers mostly spell names as the file does; only other spellings pay for
  // the folding.
  const auto exact = m_byExactName.constFind(column);
  return exact != m_byExactName.cend() ? *exact : m_byName.value(column.toLower(), -1);
}

void JetTable::rewind() {
  mdb_rewind_table(static_cast<MdbTableDef *>(m_def));
  m_started = false;
  m_atEnd = false;
  m_rowsRead = 0;
  m_slot = m_slots = 0;
  m_values = QList<QVariant>(m_columns.size());
}

QVariant JetTable::value(int column) const {
  return column >= 0 && column < m_values.size() ? m_values[column] : QVariant();
}

QVariant JetTable::value(const QString &column) const {
  return value(columnIndex(column));
}

bool JetTable::fail(const QString &detail) {
  m_error = m_file->damaged(QStringLiteral("数据表 %1：%2").arg(m_name, detail));
  m_atEnd = true;
  m_values = QList<QVariant>(m_columns.size());
  return false;
}

bool JetTable::next() {
  if (m_atEnd || hasError())
    return false;
  auto *def = static_cast<MdbTableDef *>(m_def);
  MdbHandle *mdb = m_file->mdb;
  const int pageSize = m_file->pageSize();
  const int rco = mdb->fmt->row_count_offset;
  for (;;) {
    if (!m_started || m_slot >= m_slots) {
      const guint32 pg = mdb_read_next_dpg(def);
      m_started = true;
      if (!pg) {
        m_atEnd = true;
        m_values = QList<QVariant>(m_columns.size());
        if (m_rowsRead != m_rowCount)
          return fail(QStringLiteral("应有 %1 条记录，实际读到 %2 条").arg(m_rowCount).arg(m_rowsRead));
        return false;
      }
      m_page = QByteArray(reinterpret_cast<const char *>(mdb->pg_buf), pageSize);
      m_pageNumber = pg;
      m_slots = U16(reinterpret_cast<const uchar *>(m_page.constData()) + rco);
      m_slot = 0;
      if (rco + 2 + 2 * m_slots > pageSize)
        return fail(QStringLiteral("第 %1 页的记录表无效").arg(pg));
      continue;
    }
    const auto *page = reinterpret_cast<const uchar *>(m_page.constData());
    const int slot = m_slot++;
    int start = 0, end = 0;
    quint16 flags = 0;
    if (!FindRow(page, pageSize, rco, slot, &start, &end, &flags))
      return fail(QStringLiteral("第 %1 页第 %2 条记录的位置无效").arg(m_pageNumber).arg(slot));
    if (flags & kRowDeleted)
      continue;
    // The page may have been replaced by another cursor or a long value read.
    memcpy(mdb->pg_buf, page, pageSize);
    // A row that grew when it was edited may have moved to another page,
    // leaving a pointer (row number, 3-byte page number) in its place.
    for (int hops = 0; flags & kRowOverflow; ++hops) {
      const auto *here = reinterpret_cast<const uchar *>(mdb->pg_buf);
      if (end - start < 4 || hops > 8)
        return fail(QStringLiteral("第 %1 页第 %2 条记录的转移指针无效").arg(m_pageNumber).arg(slot));
      const int row = here[start];
      const quint32 pg = here[start + 1] | (here[start + 2] << 8) | (here[start + 3] << 16);
      if (qint64(pg) * pageSize >= m_file->fileSize || mdb_read_pg(mdb, pg) != pageSize ||
          mdb->pg_buf[0] != MDB_PAGE_DATA ||
          !FindRow(reinterpret_cast<const uchar *>(mdb->pg_buf), pageSize, rco, row, &start, &end, &flags))
        return fail(QStringLiteral("第 %1 页第 %2 条记录转移到的位置无效").arg(m_pageNumber).arg(slot));
      flags &= ~kRowDeleted; // the moved row is marked deleted so that scans skip it
    }
    if (!crackCurrentRow(start, end - start))
      return false;
    ++m_rowsRead;
    return true;
  }
}

bool JetTable::crackCurrentRow(int rowStart, int rowSize) {
  auto *def = static_cast<MdbTableDef *>(m_def);
  MdbHandle *mdb = m_file->mdb;
  const int pageSize = m_file->pageSize();
  const int rco = mdb->fmt->row_count_offset;
  const int columns = m_columns.size();
  std::vector<MdbField> fields(std::max(columns, 1));
  if (rowSize <= 0 || mdb_crack_row(def, rowStart, rowSize, fields.data()) < columns)
    return fail(QStringLiteral("第 %1 条记录无法解析").arg(m_rowsRead + 1));

  // Long values (memo, OLE) live in the row or on long-value pages; those are
  // read into libmdb's second page buffer so that the row stays in place.
  auto readLvalRow = [&](quint32 pgRow, QByteArray *out) {
    const quint32 pg = pgRow >> 8;
    const int row = pgRow & 0xFF;
    if (pg == 0 || qint64(pg) * pageSize >= m_file->fileSize || mdb_read_alt_pg(mdb, pg) != pageSize ||
        mdb->alt_pg_buf[0] != MDB_PAGE_DATA)
      return false;
    int start = 0, end = 0;
    if (!FindRow(mdb->alt_pg_buf, pageSize, rco, row, &start, &end))
      return false;
    *out = QByteArray(reinterpret_cast<const char *>(mdb->alt_pg_buf) + start, end - start);
    return true;
  };
  auto readLongValue = [&](const uchar *field, int size, QByteArray *out) {
    out->clear();
    if (size == 0)
      return true;
    if (size < kMemoHeader)
      return false;
    const quint32 word = U32(field);
    const qint64 length = word & 0x3FFFFFFF;
    if (length > m_file->fileSize)
      return false;
    switch (word & 0xC0000000) {
    case 0x80000000: // in the row
      if (kMemoHeader + length > size)
        return false;
      *out = QByteArray(reinterpret_cast<const char *>(field) + kMemoHeader, length);
      return true;
    case 0x40000000: // one long-value row
      if (!readLvalRow(U32(field + 4), out) || out->size() < length)
        return false;
      out->truncate(length);
      return true;
    case 0: { // a chain of rows, each starting with the next one's pointer
      quint32 pgRow = U32(field + 4);
      QByteArray part;
      QSet<quint32> visited; // a damaged chain may run in a circle
      out->reserve(length);
      while (out->size() < length) {
        if (pgRow == 0 || visited.contains(pgRow) || !readLvalRow(pgRow, &part) || part.size() < 4)
          return false;
        visited.insert(pgRow);
        pgRow = U32(reinterpret_cast<const uchar *>(part.constData()));
        out->append(part.constData() + 4, part.size() - 4);
      }
      out->truncate(length);
      return true;
    }
    default: return false;
    }
  };
  auto text = [&](const uchar *p, int n) {
    return m_file->isJet3() ? FromGbk(QByteArray(reinterpret_cast<const char *>(p), n))
                            : DecodeJet4Text(p, n);
  };

  QList<QVariant> values(columns);
  for (int i = 0; i < columns; ++i) {
    const MdbField &f = fields[i];
    const int c = f.colnum;
    if (c < 0 || c >= columns)
      return fail(QStringLiteral("第 %1 条记录无法解析").arg(m_rowsRead + 1));
    const JetColumn &col = m_columns[c];
    // A yes/no lives in the row's null mask: a set bit is true, so libmdb's
    // "null" is simply false.
    if (col.type == JetType::Bool) {
      values[c] = !f.is_null;
      continue;
    }
    if (f.is_null)
      continue;
    if (f.start < 0 || f.siz < 0 || f.start + f.siz > pageSize)
      return fail(QStringLiteral("第 %1 条记录的字段 %2 越出数据页").arg(m_rowsRead + 1).arg(col.name));
    const auto *p = reinterpret_cast<const uchar *>(mdb->pg_buf) + f.start;
    auto need = [&](int bytes) { return f.siz >= bytes; };
    bool ok = true;
    switch (col.type) {
    case JetType::Byte: ok = need(1) && (values[c] = int(p[0]), true); break;
    case JetType::Integer: ok = need(2) && (values[c] = int(qint16(U16(p))), true); break;
    case JetType::Long: ok = need(4) && (values[c] = int(qint32(U32(p))), true); break;
    case JetType::Money:
      ok = need(8) && (values[c] = double(qFromLittleEndian<qint64>(p)) / 10000.0, true);
      break;
    case JetType::Single: ok = need(4) && (values[c] = double(qFromLittleEndian<float>(p)), true); break;
    case JetType::Double:
    case JetType::DateTime: ok = need(8) && (values[c] = qFromLittleEndian<double>(p), true); break;
    case JetType::Text: values[c] = text(p, f.siz); break;
    case JetType::Binary: values[c] = QByteArray(reinterpret_cast<const char *>(p), f.siz); break;
    case JetType::Memo:
    case JetType::Ole: {
      QByteArray bytes;
      ok = readLongValue(p, f.siz, &bytes);
      if (ok)
        values[c] = col.type == JetType::Ole
                        ? QVariant(bytes)
                        : QVariant(text(reinterpret_cast<const uchar *>(bytes.constData()), bytes.size()));
      break;
    }
    case JetType::Guid:
      if ((ok = need(16))) {
        char *s = mdb_uuid_to_string(mdb->pg_buf, f.start);
        values[c] = QString::fromLatin1(s);
        g_free(s);
      }
      break;
    case JetType::Numeric:
      if ((ok = need(17))) {
        auto *col0 = static_cast<MdbColumn *>(g_ptr_array_index(def->columns, c));
        char *s = mdb_numeric_to_string(mdb, f.start, col0->col_scale, col0->col_prec);
        values[c] = QByteArray(s).toDouble();
        g_free(s);
      }
      break;
    case JetType::Bool:
    case JetType::Other: break;
    }
    if (!ok)
      return fail(QStringLiteral("第 %1 条记录的字段 %2 无法读取").arg(m_rowsRead + 1).arg(col.name));
  }
  m_values = std::move(values);
  return true;
}
