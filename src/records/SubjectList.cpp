#include "records/SubjectList.h"

#include "records/CalculatedFields.h"
#include "records/Database.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/DayNumber.h"
#include "shell/Format.h"

#include <QLocale>
#include <cstdlib>

SubjectList::SubjectList(AppContext &ctx, QObject *parent) : QObject(parent), m_ctx(ctx) {
  m_model.setNow([this] { return m_ctx.clock().now(); });
  connect(&m_model, &QAbstractItemModel::modelReset, this, [this] {
    if (m_current >= m_model.rowCount())
      m_current = m_model.rowCount() - 1;
  });
}

QDate SubjectList::today() const {
  return m_ctx.clock().now().date();
}

int SubjectList::sortColumn() const {
  const int c = std::abs(m_ctx.SubjectSortCode);
  return c >= 1 && c <= 11 ? c : 1;
}

bool SubjectList::descending() const {
  return m_ctx.SubjectSortCode <= 0;
}

bool SubjectList::OpenSubjectList() {
  if (m_ctx.SubjectSortCode == 0)
    m_ctx.SubjectSortCode = -1;
  updateSearchAvailability();
  const bool ok = m_model.openSorted(m_ctx.database().working(), m_ctx.SubjectSortCode);
  m_current = m_model.rowCount() > 0 ? 0 : -1;
  emit reopened();
  emit currentChanged(m_current);
  return ok;
}

bool SubjectList::reopen() {
  const QString no = currentCustNo();
  const bool ok = m_model.openSorted(m_ctx.database().working(), m_ctx.SubjectSortCode);
  m_current = -1;
  emit reopened();
  if (no.isEmpty() || !locate(no)) {
    m_current = m_model.rowCount() > 0 ? 0 : -1;
    emit currentChanged(m_current);
  }
  return ok;
}

void SubjectList::close() {
  m_model.close();
  m_current = -1;
}

bool SubjectList::SortSubjectList(int column) {
  if (column <= 0 || column > 11)
    column = 1;
  const QString no = currentCustNo();
  if (m_ctx.SubjectSortCode == 0)
    m_ctx.SubjectSortCode = -1;
  if (column == std::abs(m_ctx.SubjectSortCode))
    m_ctx.SubjectSortCode = -m_ctx.SubjectSortCode;
  else
    m_ctx.SubjectSortCode = m_ctx.SubjectSortCode < 0 ? -column : column;
  updateSearchAvailability();
  const bool ok = m_model.openSorted(m_ctx.database().working(), m_ctx.SubjectSortCode);
  m_current = -1;
  emit reopened();
  // The same subject again: its exact number first, so that "A1" does not
  // land on "A10" when that one comes first in the new order.
  if (no.isEmpty() || !(locate(no) || locate(no, true))) {
    m_current = m_model.rowCount() > 0 ? 0 : -1;
    emit currentChanged(m_current);
  }
  return ok;
}

void SubjectList::updateSearchAvailability() {
  m_searchAvailable = SubjectSortSearchable(sortColumn());
  m_image = m_searchAvailable ? SearchReady : SearchUnavailable;
  emit searchStateChanged();
}

void SubjectList::SearchTextChanged(const QString &text) {
  m_text = text;
  if (m_searchAvailable)
    m_image = SearchReady;
  emit searchStateChanged();
}

bool SubjectList::SearchSubject(const QString &text) {
  m_text = text;
  if (!m_searchAvailable)
    return false;
  const QString t = text.trimmed();
  const int c = sortColumn();
  int row = -1;
  if (!t.isEmpty()) {
    if (c == 4) {
      const QDate d = ParseShortDate(t, today());
      if (d.isValid())
        row = m_model.findValue(QStringLiteral("DBirth"), ToDayNumber(d));
    } else {
      row = m_model.findRow(SubjectSearchField(c), t, PagedQueryModel::Match::Prefix);
    }
  }
  m_image = row >= 0 ? SearchFound : SearchNotFound;
  if (row >= 0)
    setCurrentRow(row);
  emit searchStateChanged();
  return row >= 0;
}

QString SubjectList::exampleText() const {
  return QStringLiteral("范例：") + QLocale().toString(today().addDays(-5000), QLocale::ShortFormat);
}

QString SubjectList::countText() const {
  return FormatNumber("%6.0d", m_model.rowCount());
}

QString SubjectList::CombinedCountText(int subjects, int measurements) {
  return FormatNumber("%6.0d", subjects) + QStringLiteral("  -  [ ") +
         FormatNumber("%6.0d", measurements).trimmed() + QStringLiteral(" ]");
}

void SubjectList::setCurrentRow(int row) {
  if (row < -1 || row >= m_model.rowCount())
    row = -1;
  if (row == m_current)
    return;
  m_current = row;
  emit currentChanged(row);
}

QString SubjectList::currentCustNo() const {
  return m_current < 0 ? QString() : m_model.value(m_current, QStringLiteral("CustNo")).toString();
}

std::optional<SubjectRecord> SubjectList::currentRecord() const {
  if (m_current < 0)
    return std::nullopt;
  const QSqlRecord r = m_model.record(m_current);
  if (r.isEmpty())
    return std::nullopt;
  return SubjectRecord::fromSql(r);
}

bool SubjectList::locate(const QString &custNo, bool prefix) {
  const QString no = custNo.trimmed();
  if (no.isEmpty())
    return false;
  const int row = m_model.findRow(QStringLiteral("CustNo"), no,
                                  prefix ? PagedQueryModel::Match::Prefix : PagedQueryModel::Match::Exact);
  if (row < 0)
    return false;
  if (row == m_current)
    emit currentChanged(row); // a reopened list shows its row again
  else
    setCurrentRow(row);
  return true;
}

QDate SubjectList::ParseShortDate(const QString &text, const QDate &today) {
  const QString t = text.trimmed();
  if (t.isEmpty())
    return QDate();
  const QLocale locale;
  QString format = locale.dateFormat(QLocale::ShortFormat);
  QDate d = locale.toDate(t, format);
  const bool twoDigitYear = format.contains(QLatin1String("yy")) && !format.contains(QLatin1String("yyyy"));
  if (d.isValid() && twoDigitYear) {
    // Qt reads "yy" as 19yy; take the century nearest to today instead.
    const int yy = d.year() % 100;
    int year = today.year() / 100 * 100 + yy;
    if (year > today.year() + 20)
      year -= 100;
    d = QDate(year, d.month(), d.day());
  }
  if (!d.isValid() && twoDigitYear)
    d = locale.toDate(t, format.replace(QLatin1String("yy"), QLatin1String("yyyy")));
  if (!d.isValid())
    d = QDate::fromString(t, Qt::ISODate);
  return d;
}
