#pragma once
// What a measurement run needs of the instrument. The program runs on the
// link (LinkInstrument); tests can drive the run with readings of their own.
#include <QString>

class Link;

class RunInstrument {
public:
  virtual ~RunInstrument() = default;
  virtual bool isConnected() const = 0;
  virtual void SendCommand(const QString &command) = 0;
  virtual int ReadProbe() = 0; // raw count 0..4095; 0 when no reply
  virtual void Sound(int n) = 0;
  // Identity read at connection: newer hardware carries its own references.
  virtual bool NewerHardware() const = 0;
  virtual int StandardReference() const = 0;
  virtual int HighReference() const = 0;
};
