// Commands beyond the clone set. Add yours here, one line each, e.g.
//   radio.AddCommand(std::make_unique<TestModeQuery>());
#include "RadioModel.h"

namespace rm427::sim {

void InstallExtraCommands(RadioModel& /*radio*/) {}

}  // namespace rm427::sim
