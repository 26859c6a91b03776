#pragma once
#include "shell/Prompter.h"

class Clock;
class QWidget;

// Shows each question in the system's message box (TSoMsag).
class MessagePrompter final : public Prompter {
public:
  explicit MessagePrompter(QWidget *parent = nullptr, Clock *clock = nullptr) : m_parent(parent), m_clock(clock) {}
  bool ask(int type, const QString &text) override;
  void setParent(QWidget *parent) { m_parent = parent; }
  // The clock that times the box's fade-out.
  void setClock(Clock *clock) { m_clock = clock; }

private:
  QWidget *m_parent;
  Clock *m_clock;
};
