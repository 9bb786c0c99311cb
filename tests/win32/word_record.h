#pragma once

#include <map>
#include <string>
#include <vector>

namespace pravelo::testing {

// The stand-in Word's record, one list of calls per server process, in the
// order each process saw them (pid prefix removed).
using WordCalls = std::map<unsigned long, std::vector<std::string>>;
WordCalls readWordRecord(const std::string& path);

// The processes the order of first appearance gives: document 1's Word first.
std::vector<unsigned long> wordProcessesInOrder(const std::string& path);

// Stand-in Word processes still running.
int runningStandIns();

}  // namespace pravelo::testing
