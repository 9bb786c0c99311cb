#include "command_line/progress_display.h"

#include <cmath>
#include <cstdio>

#include "word_engine/log_escape.h"

namespace pravelo::command_line {

namespace {

constexpr std::size_t kShownPathCharacters = 50;

// The end of a long path, where the file name is, cut at a character boundary.
std::string tail(const std::string& text, std::size_t characters) {
    std::size_t count = 0;
    for (std::size_t at = text.size(); at > 0; --at) {
        if ((static_cast<unsigned char>(text[at - 1]) & 0xC0) != 0x80 && ++count == characters)
            return at == 1 ? text : "..." + text.substr(at - 1);
    }
    return text;
}

}  // namespace

std::string DurationText(double seconds) {
    const long total = std::lround(std::max(0.0, seconds));
    char buffer[32];
    if (total >= 3600) {
        std::snprintf(buffer, sizeof buffer, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(buffer, sizeof buffer, "%ld:%02ld", total / 60, total % 60);
    }
    return buffer;
}

std::optional<double> SecondsLeft(double elapsed, int done, int total) {
    if (done <= 0) return std::nullopt;
    return elapsed / done * std::max(0, total - done);
}

std::string LiveLine(int done, int total, int failures, std::optional<double> secondsLeft,
                     const std::string& current) {
    std::string line = std::to_string(done) + "/" + std::to_string(total) + " | " +
                       std::to_string(failures) + " fejl | ";
    line += secondsLeft ? DurationText(*secondsLeft) + " tilbage" : "beregner tid";
    if (!current.empty())
        line += " | " + tail(word_engine::EscapeControls(current), kShownPathCharacters);
    return line;
}

std::string DoneLine(int done, int total, const DocumentOutcome& outcome) {
    // Appended piece by piece: temporaries built from a literal upset one compiler's
    // overlap warning.
    std::string line = "[";
    line.append(std::to_string(done)).append("/").append(std::to_string(total)).append("] ");
    line.append(ResultText(outcome.result));
    if (outcome.errorNumber) line.append(" ").append(std::to_string(*outcome.errorNumber));
    line.append(" (").append(SecondsText(outcome.seconds)).append(" s): ").append(outcome.path);
    if (!outcome.description.empty()) line.append(": ").append(outcome.description);
    return word_engine::EscapeControls(line);
}

void ProgressDisplay::started(const std::string& path) {
    std::lock_guard lock(mutex_);
    current_ = path;
    if (live_) drawLive();
}

void ProgressDisplay::finished(const DocumentOutcome& outcome) {
    std::lock_guard lock(mutex_);
    ++done_;
    if (outcome.result == DocumentResult::Failed) ++failures_;
    if (live_) {
        drawLive();
    } else {
        out_ << DoneLine(done_, total_, outcome) << '\n' << std::flush;
    }
}

void ProgressDisplay::tick(double elapsed) {
    std::lock_guard lock(mutex_);
    elapsed_ = elapsed;
    if (live_) drawLive();
}

void ProgressDisplay::end() {
    std::lock_guard lock(mutex_);
    if (live_ && drawn_) out_ << '\n' << std::flush;
    drawn_ = false;
}

void ProgressDisplay::drawLive() {
    // Carriage return and erase to the line's end: the line is redrawn in place.
    out_ << "\r\x1B[K"
         << LiveLine(done_, total_, failures_, SecondsLeft(elapsed_, done_, total_), current_)
         << std::flush;
    drawn_ = true;
}

}  // namespace pravelo::command_line
