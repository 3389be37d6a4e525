// A build without the health history (no SQLite): no record or history.
#include "cli/HistoryCommands.h"

const CommandTable kHistoryCommands;
const char* const kHistorySynopsis = "";
const char* const kHistoryDescription = "";
