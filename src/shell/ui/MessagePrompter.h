#pragma once
#include "shell/Prompter.h"

class QWidget;

// Shows each question in the system's message box.
class MessagePrompter final : public Prompter {
public:
  explicit MessagePrompter(QWidget *parent = nullptr) : m_parent(parent) {}
  bool ask(int type, const QString &text) override;
  void setParent(QWidget *parent) { m_parent = parent; }

private:
  QWidget *m_parent;
};
