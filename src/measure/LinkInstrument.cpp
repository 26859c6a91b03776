#include "measure/LinkInstrument.h"

#include "link/Link.h"

namespace {
class LinkInstrument final : public RunInstrument {
public:
  explicit LinkInstrument(Link &link) : m_link(link) {}
  bool isConnected() const override { return m_link.isConnected(); }
  void SendCommand(const QString &command) override { m_link.SendCommand(command); }
  int ReadProbe() override {
    m_link.SendCommand(QStringLiteral("D0000"));
    bool ok = false;
    const int v = m_link.lastReply().mid(2, 3).toInt(&ok, 16);
    return ok ? v : 0;
  }
  void Sound(int n) override { m_link.Sound(n); }
  bool NewerHardware() const override { return false; }
  int StandardReference() const override { return 4060; }
  int HighReference() const override { return 4060; }

private:
  Link &m_link;
};
} // namespace

std::unique_ptr<RunInstrument> MakeLinkInstrument(Link &link) { return std::make_unique<LinkInstrument>(link); }
