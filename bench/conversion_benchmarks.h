// Benchmarks of whole conversions: the Mensora function as the host calls it, and UDUNITS-2.
#pragma once

#include <string>
#include <vector>

#include "bench/conversion_pairs.h"
#include "bench/udunits_peer.h"

// Who converts, and how.
enum class Contender {
  kMensora,     // the exported function end to end: cell value built, handed back, xlAutoFree
  kMensora12,   // its version 12 form: counted UTF-16 in, the calling thread's value out
  kEngine,      // the unit engine's ConvertValue alone
  kPeer,        // UDUNITS-2 parsing both texts and making a converter on every call
  kPeerReused,  // UDUNITS-2 with one converter made beforehand
};

// The cold pair: velocities, each spelled differently (units, prefixes, blanks, s^-1 for /s),
// read by both engines alike. Call i converts spelling i into spelling ColdPartner(i), round and
// round, so that a text comes back only after half of all the others have been used: long after
// any table of recent texts has let it go.
const std::vector<std::string>& ColdSpellings();
std::size_t ColdPartner(std::size_t i, std::size_t count);

// The label and benchmark name of the cold pair.
std::string ColdPairLabel();
std::string ColdBenchmarkName(Contender contender);

// Converts 1 along cold pair i as contender does (kMensora or kPeer); false when it refuses.
bool ConvertColdOnce(Contender contender, const UdunitsPeer& peer, std::size_t i, double* value);

// "mi/hr -> m/s": how a pair is shown in the table.
std::string PairLabel(const ConversionPair& pair);

// The name under which the benchmark of contender on pair is registered.
std::string ConversionBenchmarkName(Contender contender, const ConversionPair& pair);

// Converts 1 from the pair's input to its output units as contender does; false when the
// contender refuses the pair. Used to check that both engines agree before they are timed.
bool ConvertOnce(Contender contender, const UdunitsPeer& peer, const ConversionPair& pair,
                 double* value);

// Registers the five contenders on every pair, and Mensora, ConvertValue and UDUNITS-2 on the
// cold pair. peer must outlive the benchmark run.
void RegisterConversionBenchmarks(const UdunitsPeer& peer);
