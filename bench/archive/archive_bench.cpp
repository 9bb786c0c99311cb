// What the way back costs an edit run: keeping each original (copy, digest,
// flush) and recording what was written, over a batch of documents of a
// common size, then putting the batch back. Prints seconds per document and
// the archive's bytes.
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/libreoffice/files/archive_store.h"
#include "run_archive/run_archive.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100;
    const std::size_t size = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 60 * 1024;
    std::string work = (fs::temp_directory_path() / "pravelo-archive-bench-XXXXXX").string();
    if (::mkdtemp(work.data()) == nullptr) return 1;
    ::setenv("XDG_DATA_HOME", (work + "/data").c_str(), 1);

    std::vector<std::string> documents;
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<char>((i * 7919) % 251);
    for (int i = 0; i < count; ++i) {
        documents.push_back(work + "/dokument " + std::to_string(i) + ".doc");
        std::ofstream(documents.back(), std::ios::binary) << content << i;
    }

    pravelo::platform::libreoffice::PosixArchiveStore store;
    pravelo::run_archive::RunArchive archive(store);
    double keeping = 0, settling = 0;
    archive.begin("bench", "RetDok");
    for (const auto& document : documents) {
        auto start = Clock::now();
        archive.keep(document);
        keeping += std::chrono::duration<double>(Clock::now() - start).count();
        std::ofstream(document, std::ios::binary | std::ios::app) << " + makro";
        start = Clock::now();
        archive.settle(document);
        settling += std::chrono::duration<double>(Clock::now() - start).count();
    }
    archive.finish();
    const auto folder = store.archiveFolder();
    const std::uint64_t bytes = store.folderBytes(folder);

    auto start = Clock::now();
    const auto outcome = archive.undo(*archive.lastRun());
    const double undoing = std::chrono::duration<double>(Clock::now() - start).count();

    std::printf("%d documents of %zu bytes\n", count, size);
    std::printf("keep the original:   %.4f s per document\n", keeping / count);
    std::printf("record what was written: %.4f s per document\n", settling / count);
    std::printf("archive cost in all: %.4f s per document\n", (keeping + settling) / count);
    std::printf("archive size: %llu bytes (%.0f per document, documents %zu)\n",
                static_cast<unsigned long long>(bytes), double(bytes) / count, size);
    std::printf("Fortryd: %.4f s per document, %d put back\n", undoing / count, outcome.putBack);
    fs::remove_all(work);
    return outcome.putBack == count ? 0 : 1;
}
