#pragma once
// The libmdb handle of an open Jet file, shared by JetDatabase and the
// JetTable cursors made from it (internal to the Jet reader).
#include <mdbtools.h>

#include <QString>

struct JetFile {
  MdbHandle *mdb = nullptr;
  QString path;
  qint64 fileSize = 0;
  ~JetFile() {
    if (mdb)
      mdb_close(mdb);
  }
  bool isJet3() const { return mdb->f->jet_version == MDB_VER_JET3; }
  int pageSize() const { return int(mdb->fmt->pg_size); }
  // "数据库文件 «path» 已损坏或已加密，无法读取（detail）。"
  QString damaged(const QString &detail) const;
};
