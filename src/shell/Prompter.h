#pragma once
// Every question and message of the program goes through a Prompter, so a test
// can answer by script. The real one shows the system's message box.
#include <QList>
#include <QString>

class Prompter {
public:
  virtual ~Prompter() = default;
  // type 1..6 as the message box defines them; returns the user's answer.
  virtual bool ask(int type, const QString &text) = 0;
};

// Answers from a queue (then with the default) and records every question.
class ScriptedPrompter final : public Prompter {
public:
  struct Question {
    int type;
    QString text;
  };
  explicit ScriptedPrompter(bool defaultAnswer = true) : m_default(defaultAnswer) {}
  bool ask(int type, const QString &text) override;
  void answer(bool a) { m_answers.append(a); }
  void setDefault(bool a) { m_default = a; }
  const QList<Question> &questions() const { return m_questions; }
  void clear() { m_questions.clear(); m_answers.clear(); }

private:
  bool m_default;
  QList<bool> m_answers;
  QList<Question> m_questions;
};
