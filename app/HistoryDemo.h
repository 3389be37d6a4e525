#pragma once
// A made-up history of one of the demo fleet's drives ("QX M7A0 120G"), for
// the screenshots and the history view's benchmark: hourly samples whose
// life falls slowly, whose temperature follows the day, whose written data
// grows, with a few changes for the worse on the way.

#include "history/HealthStore.h"

namespace history_demo {

// The demo drive's identity.
history::DriveKey DemoDrive();

// `hours` hourly samples up to now into `store`, oldest first (so that old
// samples are thinned and the changes become alert events), or newest first
// (every sample kept: the worst case for the view). Oldest first, the
// latest `leaveOut` hours are left out, for a reading to find them changed.
// `drive` above 0 makes another drive of the same kind (its serial numbered).
bool FillHistory(history::HealthStore& store, int hours, bool newestFirst, std::string& error, int leaveOut = 0,
                 int drive = 0);

}  // namespace history_demo
