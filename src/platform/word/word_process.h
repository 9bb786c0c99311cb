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
    const std::wstring& imageName() const { return imageName_; }
    // False once the adopted process has ended.
    bool running() const;

    // Safe from any thread. Before adoption it ends the one process that started
    // since noteStart(), if there is exactly one.
    void terminate();
    bool waitForExit(std::chrono::milliseconds grace);
    // A visible Word stays with the user after we end.
    void handOver();
    // The title of a dialog box (class #32770) the adopted process shows, or "".
    std::wstring dialogTitle() const;

  private:
    std::set<DWORD> startedSinceNote() const;

    std::wstring imageName_;
    FILETIME start_{};
    mutable std::mutex mutex_;
    HANDLE process_ = nullptr;
    HANDLE job_ = nullptr;
};

// Between asking COM for a Word and putting its process in our job, a Word
// would outlive us if we were killed: no one knows it yet. A marker file in
// the temporary folder says when we asked; it is removed once the Word is ours
// or gone. A marker whose program has ended is found by the next start of
// Word, in any Pravelo, which then ends the one hidden Word of that name that
// started within the creation limit after the mark.
class StartMarker {
  public:
    StartMarker(const std::wstring& imageName);
    ~StartMarker();
    StartMarker(const StartMarker&) = delete;
    StartMarker& operator=(const StartMarker&) = delete;

    static void endOrphans(std::chrono::milliseconds creationLimit);

  private:
    std::wstring path_;
};

}  // namespace pravelo::platform::word
