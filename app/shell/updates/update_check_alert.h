#pragma once

namespace zentrel {

struct UpdateCheckOutcome;

// Tells the user how a check ended, in a window of its own that does not wait; an automatic
// check that found nothing new says nothing.
void showUpdateCheckOutcome(const UpdateCheckOutcome &outcome);

} // namespace zentrel
