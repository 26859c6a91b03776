#pragma once
// TSosave: the save window. Stores the measurement on screen as a new SoData
// row under a subject chosen from the subject list or added on the spot
// (measure/SaveMeasurement.h does the storing).
#include "measure/Measurement.h"

#include <QDialog>
#include <functional>

class AppContext;
class QLabel;
class QToolButton;
class SubjectListWidget;

class TSosave : public QDialog {
  Q_OBJECT
public:
  explicit TSosave(AppContext &ctx, QWidget *parent = nullptr);
  ~TSosave() override;

  // The subject the measurement will be stored under; its number is empty
  // while none is chosen and a single blank after "离  开".
  const Subject &SaveTarget() const { return m_target; }
  SubjectListWidget *subjectList() const { return m_list; }
  QToolButton *addButton() const { return m_add; }
  QToolButton *saveButton() const { return m_save; }
  QToolButton *exitButton() const { return m_exit; }
  QString statusText() const;
  QString shownCustNo() const;
  QString shownName() const;
  QString shownBirth() const;
  QString shownSex() const;

  void AddSubjectClick();
  void SaveClick();
  void ExitClick();
  void ListDoubleClick();
  // How the add button opens the subject editor; tests replace it. Returns
  // the number of the subject added, or empty when none was.
  using EditorRunner = std::function<QString(AppContext &, QWidget *parent)>;
  void setEditorRunner(EditorRunner runner) { m_runEditor = std::move(runner); }

protected:
  void done(int r) override;

private:
  void buildUi();
  void FormShow();
  void subjectChosen(int row);
  void showTarget();
  bool store();

  AppContext &m_ctx;
  Subject m_target;
  SubjectListWidget *m_list = nullptr;
  QToolButton *m_add = nullptr, *m_save = nullptr, *m_exit = nullptr;
  QLabel *m_custNo = nullptr, *m_name = nullptr, *m_birth = nullptr, *m_sex = nullptr, *m_status = nullptr;
  EditorRunner m_runEditor;
};
