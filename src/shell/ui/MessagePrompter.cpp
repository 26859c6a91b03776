#include "shell/ui/MessagePrompter.h"

#include "shell/ui/SoMsag.h"

bool MessagePrompter::ask(int type, const QString &text) {
  TSoMsag box(m_clock, m_parent);
  return box.ask(type, text);
}
