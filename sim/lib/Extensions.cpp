// Commands beyond the clone set. Add yours here, one line each, e.g.
//   radio.AddCommand(std::make_unique<TestModeQuery>());
#include "RadioModel.h"
#include "TestModeCommands.h"

namespace rm427::sim {

void InstallExtraCommands(RadioModel& radio) { AddTestModeCommands(radio); }

}  // namespace rm427::sim
