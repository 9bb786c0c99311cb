#pragma once

#include <mutex>
#include <optional>
#include <ostream>
#include <string>

#include "command_line/run_report.h"

namespace pravelo::command_line {

// "1:05:09", "4:07", "0:12".
std::string DurationText(double seconds);

// What is left, from the pace so far: elapsed / done × (total − done). Nothing
// before the first document is done.
std::optional<double> SecondsLeft(double elapsed, int done, int total);

// The live line on a terminal: done/total, failures, time left, the document in hand.
std::string LiveLine(int done, int total, int failures, std::optional<double> secondsLeft,
                     const std::string& current);

// The plain line written when a document is done and no terminal shows the live one.
std::string DoneLine(int done, int total, const DocumentOutcome& outcome);

// Progress of a run for a person: on a terminal one line rewritten in place,
// otherwise one line per finished document. Callable from any thread.
class ProgressDisplay {
  public:
    ProgressDisplay(std::ostream& out, bool live, int total)
        : out_(out), live_(live), total_(total) {}

    void started(const std::string& path);
    void finished(const DocumentOutcome& outcome);
    // Refreshes the live line's time left.
    void tick(double elapsed);
    // Ends the live line, so what follows starts on a line of its own.
    void end();

  private:
    void drawLive();

    std::mutex mutex_;
    std::ostream& out_;
    bool live_;
    int total_;
    int done_ = 0;
    int failures_ = 0;
    double elapsed_ = 0;
    std::string current_;
    bool drawn_ = false;
};

}  // namespace pravelo::command_line
