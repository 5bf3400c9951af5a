// Recalculating a sheet of formulas as the host does, on one thread or on several at once.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "harness/host/evaluator.h"
#include "harness/host/sim_host.h"

// What becomes of each formula's evaluation: called once per formula with its index, on the
// thread that evaluated it (with several threads, at the same time as for other formulas).
typedef std::function<void(std::size_t index, const Evaluation& evaluation)> EvaluationSink;

// Evaluates every formula of formulas in host and gives each evaluation to sink. With threads 1
// (or less) all of it happens on the calling thread, in order. With more, as the host recalculates
// with that many calculation threads: new threads (up to platform::kMaxThreads) read the formulas
// and call the functions registered thread-safe, all at once; afterwards the calling thread, the
// host's main thread, calls every other function in formula order. Returns false when the system
// would not start the threads; what they did not evaluate is then evaluated on the calling thread.
bool Recalculate(SimHost& host, const std::vector<std::string>& formulas, int threads,
                 const EvaluationSink& sink);
