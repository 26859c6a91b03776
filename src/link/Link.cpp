#include "link/Link.h"

#include "shell/Clock.h"

Link::Link(Clock &clock, QObject *parent) : QObject(parent), m_clock(clock) {}
Link::~Link() = default;

bool Link::SendCommand(const QString &command) {
  m_replyReady = false;
  m_lastReply.clear();
  if (!m_connected)
    return false;
  return false;
}

void Link::Sound(int n) {
  switch (n) {
  case 1: SendCommand(QStringLiteral("S8863")); break;
  case 2: SendCommand(QStringLiteral("S885E")); SendCommand(QStringLiteral("S8862")); break;
  case 3: SendCommand(QStringLiteral("S5662")); SendCommand(QStringLiteral("S8960")); break;
  case 4: SendCommand(QStringLiteral("SB660")); break;
  case 5: SendCommand(QStringLiteral("S6862")); break;
  case 6: SendCommand(QStringLiteral("S6864")); SendCommand(QStringLiteral("S4F62")); break;
  case 7: SendCommand(QStringLiteral("SD05D")); break;
  case 8: SendCommand(QStringLiteral("SA060")); break;
  case 9: SendCommand(QStringLiteral("SD05D")); break;
  case 10: SendCommand(QStringLiteral("SAB5D")); break;
  case 11: SendCommand(QStringLiteral("S905D")); break;
  case 12: SendCommand(QStringLiteral("S685D")); break;
  case 13: SendCommand(QStringLiteral("SC040")); break;
  default: break;
  }
}

void Link::SendIdle() { SendCommand(QStringLiteral("X0000")); }
