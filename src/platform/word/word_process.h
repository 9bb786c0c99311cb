#pragma once

#include <windows.h>

#include <chrono>
#include <mutex>
#include <set>
#include <string>

namespace pravelo::platform::word {

// Process ids of every running program with this file name (e.g. WINWORD.EXE).
std::set<DWORD> processesNamed(const std::wstring& imageName);

// The program file name registered as the local server of a class, read from
// its LocalServer32 command; fallback when nothing usable is registered.
std::wstring registeredServerImage(const CLSID& server, const std::wstring& fallback);

// The one Word process started for one document. COM does not say which
// process serves an object, so it is the one process of the server's name
// that started after we asked for it. Only that process is ever ended.
// It is also put in a job that ends it with us, until it is handed to the user.
class WordProcess {
  public:
    WordProcess(std::wstring imageName);
    ~WordProcess();
    WordProcess(const WordProcess&) = delete;
    WordProcess& operator=(const WordProcess&) = delete;

    // Just before the start: processes of the name started earlier are someone else's.
    void noteStart();
    // After the start: adopts the new one. False when none or several are new.
    bool adoptNew();
    bool known() const;
    // False once the adopted process has ended.
    bool running() const;

    // Safe from any thread. Before adoption it ends the one process that started
    // since noteStart(), if there is exactly one.
    void terminate();
    bool waitForExit(std::chrono::milliseconds grace);
    // A visible Word stays with the user after we end.
    void handOver();

  private:
    std::set<DWORD> startedSinceNote() const;

    std::wstring imageName_;
    FILETIME start_{};
    mutable std::mutex mutex_;
    HANDLE process_ = nullptr;
    HANDLE job_ = nullptr;
};

}  // namespace pravelo::platform::word
