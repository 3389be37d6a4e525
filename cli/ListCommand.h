#pragma once
#include <ostream>

// `quillfence-cli list [--json]`: the disk list as the window builds it.
int listCommand(bool json, std::ostream& out);
