// The instrument's operations, built on SendCommand.
#include "link/HidController.h"
#include "link/Link.h"
#include "shell/AppContext.h"
#include "shell/Branding.h"

using namespace LinkProtocol;

namespace {
constexpr int kDefaultReference = 4060;

QString trimmedString(const QString &s) {
  // USB strings may come padded with NULs as well as blanks.
  qsizetype b = 0, e = s.size();
  while (b < e && s.at(b).unicode() <= 0x20)
    ++b;
  while (e > b && s.at(e - 1).unicode() <= 0x20)
    --e;
  return s.mid(b, e - b);
}

bool isByte(const QString &digits) {
  return digits.size() == 2 && HexValue(digits, -1) >= 0;
}
} // namespace

int Link::ReadProbe() {
  SendCommand(QStringLiteral("D0000"));
  const QString reply = m_lastReply;
  if (reply == QLatin1String("Z0001")) {
    if (m_ctx)
      m_ctx->showBalloon(Branding::ProductTitle() + QStringLiteral(" Information"),
                         Branding::ProductTitle() + QStringLiteral(" 检测棒异常！请检查.."), TrayState::Error,
                         10000);
    m_probeFaultShown = true;
    return 1;
  }
  if (m_probeFaultShown) {
    if (m_ctx)
      m_ctx->hideBalloon();
    m_probeFaultShown = false;
  }
  return ProbeValue(reply);
}

QString Link::ReadRegister(int reg) {
  SendCommand(ReadRegisterCommand(reg));
  return RegisterDigits(m_lastReply);
}

int Link::RegisterValue(const QString &digits, int fallback) {
  return digits.size() == 2 ? HexValue(digits, fallback) : fallback;
}

void Link::WriteRegister(int reg, int byte) {
  SendCommand(WriteRegisterCommand(reg, byte));
}

void Link::ReadInstrumentInfo() {
  m_info.HardwareVersion = m_device ? trimmedString(m_device->indexedString(3)) : QString();
  m_info.NewerHardware = m_info.HardwareVersion == QLatin1String(kNewerHardware);

  QString serial;
  for (int reg = 0x00; reg <= 0x05; ++reg)
    serial += ReadRegister(reg);
  m_info.SerialNumber = serial;

  if (m_info.NewerHardware) {
    // Both bytes must be readable: one missing byte would shift the other
    // into a plausible but wrong reference.
    const auto reference = [this](int high, int low) {
      const QString h = ReadRegister(high);
      const QString l = ReadRegister(low);
      return isByte(h) && isByte(l) ? HexValue(h + l, kDefaultReference) : kDefaultReference;
    };
    m_info.StandardReference = reference(0x0B, 0x0C);
    m_info.HighReference = reference(0x09, 0x0A);
  } else {
    m_info.StandardReference = kDefaultReference;
    m_info.HighReference = kDefaultReference;
  }
}

int Link::ReadMeasurementCounter(bool increment) {
  const QString d6 = ReadRegister(0x06);
  const QString d7 = ReadRegister(0x07);
  const QString d8 = ReadRegister(0x08);
  const bool readable = isByte(d6) && isByte(d7) && isByte(d8);
  const int count = (HexValue(d6, 0) << 16) | (HexValue(d7, 0) << 8) | HexValue(d8, 0);
  m_info.MeasurementCount = count;
  if (increment && readable) {
    const int next = (count + 1) & 0xFFFFFF;
    WriteRegister(0x06, (next >> 16) & 0xFF);
    WriteRegister(0x07, (next >> 8) & 0xFF);
    WriteRegister(0x08, next & 0xFF);
    m_info.MeasurementCount = next;
  }
  return m_info.MeasurementCount;
}

void Link::Sound(int n) {
  for (const QString &command : SoundCommands(n))
    SendCommand(command);
}

void Link::SendIdle() {
  SendCommand(QStringLiteral("X0000"));
}
