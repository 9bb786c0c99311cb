#include "run_archive/undo_texts.h"

namespace pravelo::run_archive {

namespace {
std::string documents(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " dokument" : " dokumenter");
}
}  // namespace

std::string undoQuestion(const RunManifest& run) {
    return "Fortryd kørslen " + run.started + " med makroen " + run.macro + "?\r\n\r\n" +
           documents(run.documents.size()) +
           " skrives tilbage, som de var før kørslen. Et dokument, der er ændret, flyttet "
           "eller slettet siden, røres ikke.";
}

std::string putBackStatus(int count) {
    return documents(static_cast<std::size_t>(count < 0 ? 0 : count)) + " sat tilbage!";
}

}  // namespace pravelo::run_archive
