#pragma once
// TSoREdit: the subject editor. Mode 1 changes the subject numbered
// rowCustNo (record browser), mode 2 adds one from the record browser,
// mode 3 from the save window. Saving goes through records/SubjectEditing.h;
// the caller reopens its list and locates storedCustNo().
#include <QDateTime>
#include <QDialog>

class AppContext;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QToolButton;

class TSoREdit : public QDialog {
  Q_OBJECT
public:
  TSoREdit(AppContext &ctx, int mode, const QString &rowCustNo = QString(), QWidget *parent = nullptr);

  int EditorMode() const { return m_mode; }
  // True after a successful add; cleared by the exit button.
  bool SubjectAdded() const { return m_subjectAdded; }
  // The number as stored by the last successful save.
  QString storedCustNo() const { return m_storedCustNo; }
  QDateTime PickerStart() const { return m_pickerStart; }

  QLineEdit *field(const QString &name) const; // "CustNo", "Name", "Addr", "Tel", "Tel2", "Tel3", "EMail"
  QCheckBox *birthBox() const { return m_birthBox; }
  QDateEdit *picker() const { return m_picker; }
  QRadioButton *maleButton() const { return m_male; }
  QRadioButton *femaleButton() const { return m_female; }
  QPlainTextEdit *memoBox() const { return m_memo; }
  QToolButton *saveButton() const { return m_save; }
  QToolButton *exitButton() const { return m_exit; }
  QString statusText() const;

  void SaveClick();
  void ExitClick();

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void buildUi();
  void FormShow();
  void enterPressed(QWidget *w);

  AppContext &m_ctx;
  int m_mode;
  QString m_rowCustNo;
  bool m_subjectAdded = false;
  QString m_storedCustNo;
  QDateTime m_pickerStart;
  QLineEdit *m_custNo = nullptr, *m_name = nullptr, *m_addr = nullptr, *m_tel = nullptr, *m_tel2 = nullptr,
            *m_tel3 = nullptr, *m_email = nullptr;
  QCheckBox *m_birthBox = nullptr;
  QDateEdit *m_picker = nullptr;
  QRadioButton *m_male = nullptr, *m_female = nullptr;
  QPlainTextEdit *m_memo = nullptr;
  QToolButton *m_save = nullptr, *m_exit = nullptr;
  QLabel *m_status = nullptr;
};
