// The layer's own view of the channel table, shared by the files that open and write channels.
// Not for use outside textio/.
#pragma once

#include "textio/channels.h"

namespace textio {

/// The open channel of `unit`, or nullptr.
Channel* findChannel(UnitNumber unit);

/// A cleared, unused entry with its block attached, or nullptr when the table is full.
Channel* freeChannel();

/// Forgets which command-line arguments blank file names have taken.
void resetArgumentsForTesting();

}  // namespace textio
