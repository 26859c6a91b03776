#include "shell/Prompter.h"

bool ScriptedPrompter::ask(int type, const QString &text) {
  m_questions.append({type, text});
  if (!m_answers.isEmpty())
    return m_answers.takeFirst();
  return m_default;
}
