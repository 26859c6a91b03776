#pragma once
// The run's instrument in the program: the link to the connected instrument.
#include "measure/RunInstrument.h"

#include <memory>

std::unique_ptr<RunInstrument> MakeLinkInstrument(Link &link);
