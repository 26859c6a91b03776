#pragma once
// The link to the instrument and its command set. Other subsystems use only
// this facade: whether an instrument is connected, SendCommand and LastReply,
// and the instrument operations built on them.
#include <QObject>
#include <QString>

class Clock;

class Link : public QObject {
  Q_OBJECT
public:
  explicit Link(Clock &clock, QObject *parent = nullptr);
  ~Link() override;

  bool isConnected() const { return m_connected; }
  const QString &lastReply() const { return m_lastReply; }
  bool replyReady() const { return m_replyReady; }

  bool SendCommand(const QString &command);
  void Sound(int n);
  void SendIdle();

signals:
  void connectedChanged(bool connected);

private:
  Clock &m_clock;
  bool m_connected = false;
  QString m_lastReply;
  bool m_replyReady = false;
};
