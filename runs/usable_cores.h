#pragma once

// The number of processors this process may run on: its affinity, which a
// container, `taskset` or a batch system may have narrowed, not every
// processor of the machine. At least one.
namespace waitline::batch {

unsigned UsableCores();

}  // namespace waitline::batch
