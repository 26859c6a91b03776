#pragma once
// The subject editor's saving: the duplicate check (numbers compare without
// regard to letter case) and the write, one transaction each, so that a
// changed number and the subject's measurements move together.
#include "records/RecordStore.h"

#include <QSqlDatabase>
#include <QString>

struct SubjectEditOutcome {
  enum Result { Saved, Duplicate, Failed };
  Result result = Failed;
  QString message; // the duplicate message, or why the write failed
  QString custNo;  // the number as stored
};

// "您所输入的受测者编号已经与姓名为" / "[ name ]" / "重复!!请重新指定另一个编号。"
QString DuplicateSubjectText(const QString &otherName);

// The fields the editor shows (CustNo, Name, Sex, DBirth, Addr, Tel, Tel2,
// Tel3, EMail, Memo) are taken from values, trimmed; DBirth loses its time.
// Changes the subject numbered rowCustNo. A number that differs from the
// row's, even by letter case only, must not be found in the table: the
// subject found (possibly this one) is named in the duplicate message. The
// other fields (PRESOA, the carried-through ones) stay as they are.
SubjectEditOutcome SaveChangedSubject(QSqlDatabase db, const QString &rowCustNo, const SubjectRecord &values);
// Adds a subject, refusing a number already used in any letter case.
SubjectEditOutcome SaveNewSubject(QSqlDatabase db, const SubjectRecord &values);
