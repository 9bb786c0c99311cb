#include "run_archive/undo_texts.h"

#include "run_archive/run_archive.h"

namespace pravelo::run_archive {

std::string documentCount(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " dokument" : " dokumenter");
}

std::string notPutBackLogText(const std::string& path, const std::string& reason) {
    return std::to_string(NotPutBack) + ", " + path + ", Ikke sat tilbage: " + reason;
}

std::string undoQuestion(const RunManifest& run) {
    return "Fortryd kørslen " + run.started + " med makroen " + run.macro + "?\r\n\r\n" +
           documentCount(run.documents.size()) +
           " skrives tilbage, som de var før kørslen. Et dokument, der er ændret, flyttet "
           "eller slettet siden, røres ikke.";
}

std::string putBackStatus(int count) {
    return documentCount(static_cast<std::size_t>(count < 0 ? 0 : count)) + " sat tilbage!";
}

}  // namespace pravelo::run_archive
