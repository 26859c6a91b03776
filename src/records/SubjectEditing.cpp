#include "records/SubjectEditing.h"

#include <cmath>

namespace {

void takeEditedFields(SubjectRecord &to, const SubjectRecord &from) {
  to.CustNo = from.CustNo.trimmed();
  to.Name = from.Name.trimmed();
  to.Sex = from.Sex;
  to.DBirth = from.DBirth > 0 ? std::floor(from.DBirth) : 0.0;
  to.Addr = from.Addr.trimmed();
  to.Tel = from.Tel.trimmed();
  to.Tel2 = from.Tel2.trimmed();
  to.Tel3 = from.Tel3.trimmed();
  to.EMail = from.EMail.trimmed();
  to.Memo = from.Memo;
}

SubjectEditOutcome failed(const QString &message) {
  return {SubjectEditOutcome::Failed, message, QString()};
}

// The duplicate check; Failed with a message when the lookup itself failed.
std::optional<SubjectEditOutcome> duplicateOf(QSqlDatabase db, const QString &no) {
  QString error;
  const std::optional<SubjectRecord> other = FindSubject(db, no, &error);
  if (!error.isEmpty())
    return failed(error);
  if (other)
    return SubjectEditOutcome{SubjectEditOutcome::Duplicate, DuplicateSubjectText(other->Name), QString()};
  return std::nullopt;
}

} // namespace

QString DuplicateSubjectText(const QString &otherName) {
  return QStringLiteral("您所输入的受测者编号已经与姓名为\n[ %1 ]\n重复!!请重新指定另一个编号。")
      .arg(otherName.trimmed());
}

SubjectEditOutcome SaveChangedSubject(QSqlDatabase db, const QString &rowCustNo,
                                      const SubjectRecord &values) {
  QString error;
  const std::optional<SubjectRecord> row = FindSubject(db, rowCustNo, &error);
  if (!row)
    return failed(error.isEmpty() ? QStringLiteral("找不到受测者 %1，可能已被删除。").arg(rowCustNo.trimmed())
                                  : error);
  SubjectRecord s = *row;
  takeEditedFields(s, values);
  if (s.CustNo.isEmpty())
    return failed(QStringLiteral("受测者编号不可空白。"));
  // Letter case counts here: a new spelling of one's own number is a change,
  // and the check below then finds the subject itself.
  if (s.CustNo != row->CustNo.trimmed()) {
    if (std::optional<SubjectEditOutcome> dup = duplicateOf(db, s.CustNo))
      return *dup;
  }
  if (!UpdateSubject(db, row->CustNo, s, &error))
    return failed(error);
  return {SubjectEditOutcome::Saved, QString(), s.CustNo};
}

SubjectEditOutcome SaveNewSubject(QSqlDatabase db, const SubjectRecord &values) {
  SubjectRecord s;
  takeEditedFields(s, values);
  if (s.CustNo.isEmpty())
    return failed(QStringLiteral("受测者编号不可空白。"));
  if (std::optional<SubjectEditOutcome> dup = duplicateOf(db, s.CustNo))
    return *dup;
  QString error;
  if (!InsertSubject(db, s, &error))
    return failed(error);
  return {SubjectEditOutcome::Saved, QString(), s.CustNo};
}
