#pragma once

#include <string>

#include "run_archive/manifest.h"

namespace pravelo::run_archive {

inline constexpr const char* UndoTitle = "Fortryd sidste kørsel";
inline constexpr const char* NothingToUndo = "Der er ingen kørsel at fortryde.";

// The Ja/Nej question naming the run and how many documents it changed.
std::string undoQuestion(const RunManifest& run);
// "1 dokument sat tilbage!", "4 dokumenter sat tilbage!"
std::string putBackStatus(int count);

}  // namespace pravelo::run_archive
