#pragma once
// The subject list shared by the save window, the record browser and the
// comparison window: its query, the sort state kept in
// AppContext::SubjectSortCode, sorting by a column through SQL, the search with
// its availability and status image, and the current row. Windows show it
// (records/ui/SubjectListWidget.h) and forward clicks and typing here.
#include "records/RecordStore.h"
#include "records/SubjectQueryModel.h"

#include <QDate>
#include <QObject>
#include <optional>

class AppContext;

class SubjectList : public QObject {
  Q_OBJECT
public:
  // Status images of the search.
  enum SearchImage { SearchUnavailable = 0, SearchReady = 1, SearchFound = 2, SearchNotFound = 3 };

  explicit SubjectList(AppContext &ctx, QObject *parent = nullptr);

  SubjectQueryModel &model() { return m_model; }
  const SubjectQueryModel &model() const { return m_model; }

  // Opens the list sorted by the shared sort code (0 is taken as -1).
  bool OpenSubjectList();
  // A header click on column 0..11 (0 counts as 1): the same column reverses
  // the direction, another keeps it. The current subject stays selected.
  bool SortSubjectList(int column);
  // Locates the first row, in list order, that the trimmed text selects in
  // the sort column; true when found (the row becomes current).
  bool SearchSubject(const QString &text);
  // The search text changed: image back to "ready", button follows the text.
  void SearchTextChanged(const QString &text);
  // Runs the statement again (after a write elsewhere), keeping the order.
  bool reopen();
  void close();

  int sortColumn() const; // 1..11
  bool descending() const;
  bool searchAvailable() const { return m_searchAvailable; }
  bool searchButtonEnabled() const { return m_searchAvailable && !m_text.trimmed().isEmpty(); }
  int searchImage() const { return m_image; }
  bool exampleShown() const { return sortColumn() == 4; }
  // "范例：" and the date 5000 days before today, short date format.
  QString exampleText() const;
  QString countText() const; // the number of subjects, "%6.0d"
  // The record browser's and the comparison's count: the subjects with
  // "%6.0d", "  -  [ ", the measurements with "%6.0d" trimmed, " ]".
  static QString CombinedCountText(int subjects, int measurements);

  int currentRow() const { return m_current; }
  void setCurrentRow(int row);
  QString currentCustNo() const;
  std::optional<SubjectRecord> currentRecord() const;
  // Makes the subject numbered custNo current (exact, any case); with
  // prefix, the first row whose number begins with it.
  bool locate(const QString &custNo, bool prefix = false);

  // A date typed in the short date format (two-digit years taken in the
  // century that puts them nearest to today); invalid otherwise.
  static QDate ParseShortDate(const QString &text, const QDate &today);

signals:
  void currentChanged(int row);
  void searchStateChanged();
  void reopened();

private:
  void updateSearchAvailability();
  QDate today() const;

  AppContext &m_ctx;
  SubjectQueryModel m_model;
  int m_current = -1;
  bool m_searchAvailable = true;
  int m_image = SearchReady;
  QString m_text;
};
