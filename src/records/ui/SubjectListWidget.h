#pragma once
// The subject list as the save window, the record browser and the comparison
// window show it: the search row ("搜寻：", box, button, status image, date
// example, "资料总笔数:" and the count) and the grid. The logic is SubjectList's;
// this widget shows it and forwards header clicks, typing and selection.
// Windows may move searchBar() into their own layout.
#include <QWidget>

class AppContext;
class SubjectList;
class SubjectListColumnModel;
class QLabel;
class QLineEdit;
class QTableView;
class QToolButton;

class SubjectListWidget : public QWidget {
  Q_OBJECT
public:
  explicit SubjectListWidget(AppContext &ctx, QWidget *parent = nullptr);

  SubjectList &list() const { return *m_list; }
  QTableView *grid() const { return m_grid; }
  QWidget *searchBar() const { return m_searchBar; }
  QLineEdit *searchBox() const { return m_searchBox; }
  QToolButton *searchButton() const { return m_searchButton; }
  QLabel *statusImage() const { return m_image; }
  QLabel *exampleLabel() const { return m_example; }
  QLabel *countLabel() const { return m_count; }
  void setSearchHint(const QString &hint);
  // Whether the search row shows "资料总笔数:" and the count.
  void setCountShown(bool shown);
  void setCountText(const QString &text);

  // Opens the list in the shared sort order and empties the search box.
  void open();
  void search();

signals:
  // A double click or Enter on a row.
  void rowActivated(int row);

private:
  void syncSearchState();
  void syncSortIndicator();
  void syncSelection(int row);

  AppContext &m_ctx;
  SubjectList *m_list;
  SubjectListColumnModel *m_columns;
  QWidget *m_searchBar;
  QLineEdit *m_searchBox;
  QToolButton *m_searchButton;
  QLabel *m_image, *m_example, *m_countCaption, *m_count;
  QTableView *m_grid;
  bool m_syncing = false;
};

// The small status image of the search: 0 unavailable, 1 ready, 2 found,
// 3 not found.
QPixmap SearchStatusPixmap(int image);
