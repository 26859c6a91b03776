#include "measure/LinkInstrument.h"

#include "link/Link.h"

namespace {
class LinkInstrument final : public RunInstrument {
public:
  explicit LinkInstrument(Link &link) : m_link(link) {}
  bool isConnected() const override { return m_link.isConnected(); }
  void SendCommand(const QString &command) override { m_link.SendCommand(command); }
  int ReadProbe() override { return m_link.ReadProbe(); }
  void Sound(int n) override { m_link.Sound(n); }
  bool NewerHardware() const override { return m_link.info().NewerHardware; }
  int StandardReference() const override { return m_link.info().StandardReference; }
  int HighReference() const override { return m_link.info().HighReference; }

private:
  Link &m_link;
};
} // namespace

std::unique_ptr<RunInstrument> MakeLinkInstrument(Link &link) { return std::make_unique<LinkInstrument>(link); }
