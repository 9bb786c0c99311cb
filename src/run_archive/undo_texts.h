#pragma once

#include <cstddef>
#include <string>

#include "run_archive/manifest.h"

namespace pravelo::run_archive {

inline constexpr const char* UndoTitle = "Fortryd sidste kørsel";
inline constexpr const char* NothingToUndo = "Der er ingen kørsel at fortryde.";

// The Ja/Nej question naming the run and how many documents it changed.
std::string undoQuestion(const RunManifest& run);
// "1 dokument sat tilbage!", "4 dokumenter sat tilbage!"
std::string putBackStatus(int count);
// "1 dokument", "4 dokumenter"
std::string documentCount(std::size_t count);
// The run log's text for a document a Fortryd left as it was.
std::string notPutBackLogText(const std::string& path, const std::string& reason);

}  // namespace pravelo::run_archive
