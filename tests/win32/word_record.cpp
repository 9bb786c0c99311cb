#include "word_record.h"

#include <algorithm>
#include <sstream>

#include "platform/word/word_process.h"
#include "win32_test_support.h"

namespace pravelo::testing {

namespace {

std::vector<std::pair<unsigned long, std::string>> recordLines(const std::string& path) {
    std::vector<std::pair<unsigned long, std::string>> lines;
    std::istringstream in(platform::win32::testing::readBytes(path));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto blank = line.find(' ');
        if (blank == std::string::npos) continue;
        lines.emplace_back(std::stoul(line.substr(0, blank)), line.substr(blank + 1));
    }
    return lines;
}

}  // namespace

WordCalls readWordRecord(const std::string& path) {
    WordCalls calls;
    for (const auto& [pid, call] : recordLines(path)) calls[pid].push_back(call);
    return calls;
}

std::vector<unsigned long> wordProcessesInOrder(const std::string& path) {
    std::vector<unsigned long> order;
    for (const auto& line : recordLines(path)) {
        if (std::find(order.begin(), order.end(), line.first) == order.end()) {
            order.push_back(line.first);
        }
    }
    return order;
}

int runningStandIns() {
    return static_cast<int>(platform::word::processesNamed(L"WordStandIn.exe").size());
}

}  // namespace pravelo::testing
