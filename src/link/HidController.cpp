#include "link/HidController.h"

HidDevice *HidController::take(quint16 vendorId, quint16 productId) {
  return take([=](const HidDeviceInfo &d) { return d.vendorId == vendorId && d.productId == productId; });
}

HidDevice *HidController::take(const AttributeTest &test) {
  for (const HidDeviceInfo &d : enumerate())
    if (test(d))
      if (HidDevice *dev = open(d))
        return dev;
  return nullptr;
}
