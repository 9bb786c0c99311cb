#include "platform/word/word_process.h"

#include <objbase.h>
#include <tlhelp32.h>

#include <cwctype>
#include <vector>

namespace pravelo::platform::word {

namespace {

std::wstring lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring fileNameOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The program path at the start of a command line, quoted or not; an unquoted
// path may hold blanks, so it ends after ".exe".
std::wstring programOf(const std::wstring& command) {
    if (!command.empty() && command.front() == L'"') {
        const auto end = command.find(L'"', 1);
        return command.substr(1, end == std::wstring::npos ? std::wstring::npos : end - 1);
    }
    const auto exe = lower(command).find(L".exe");
    if (exe != std::wstring::npos) return command.substr(0, exe + 4);
    return command.substr(0, command.find(L' '));
}

// Process ids are reused quickly (at once under Wine), so a process counts as
// new by its start time, not by its id.
bool startedSince(DWORD pid, const FILETIME& since) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return false;
    FILETIME created{}, exited{}, kernel{}, user{};
    const bool known = GetProcessTimes(process, &created, &exited, &kernel, &user) != 0;
    CloseHandle(process);
    return known && CompareFileTime(&created, &since) >= 0;
}

FILETIME createdAt(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    return created;
}

bool hasVisibleWindow(DWORD pid) {
    struct Search {
        DWORD pid;
        bool found = false;
    } search{pid};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != search->pid || !IsWindowVisible(window)) return TRUE;
            search->found = true;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring temporaryFolder() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    return length == 0 || length > MAX_PATH ? std::wstring() : std::wstring(folder, length);
}

constexpr wchar_t kMarkerPattern[] = L"Pravelo-Word-*.start";

struct MarkerContents {
    DWORD writer;
    FILETIME writerStarted;
    FILETIME noted;
    wchar_t imageName[64];
};

FILETIME later(FILETIME time, std::chrono::milliseconds by) {
    ULARGE_INTEGER value{};
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    value.QuadPart += static_cast<ULONGLONG>(by.count()) * 10000;
    return FILETIME{value.LowPart, value.HighPart};
}

bool stillRunning(DWORD pid, const FILETIME& started) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) return false;
    const FILETIME created = createdAt(process);
    const bool running =
        WaitForSingleObject(process, 0) == WAIT_TIMEOUT && CompareFileTime(&created, &started) == 0;
    CloseHandle(process);
    return running;
}

}  // namespace

std::set<DWORD> processesNamed(const std::wstring& imageName) {
    std::set<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    const std::wstring wanted = lower(imageName);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (lower(fileNameOf(entry.szExeFile)) == wanted) found.insert(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return found;
}

std::wstring registeredServerImage(const CLSID& server, const std::wstring& fallback) {
    wchar_t id[64];
    if (StringFromGUID2(server, id, 64) == 0) return fallback;
    const std::wstring key = std::wstring(L"CLSID\\") + id + L"\\LocalServer32";
    std::vector<wchar_t> value(2048);
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    // REG_SZ, or REG_EXPAND_SZ expanded.
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value.data(),
                     &size) != ERROR_SUCCESS) {
        return fallback;
    }
    const std::wstring name = fileNameOf(programOf(value.data()));
    return name.empty() ? fallback : name;
}

WordProcess::WordProcess(std::wstring imageName) : imageName_(std::move(imageName)) {}

WordProcess::~WordProcess() {
    // Closing the job ends a process that was not handed over.
    if (job_ != nullptr) CloseHandle(job_);
    if (process_ != nullptr) CloseHandle(process_);
}

void WordProcess::noteStart() {
    GetSystemTimeAsFileTime(&start_);
}

std::set<DWORD> WordProcess::startedSinceNote() const {
    std::set<DWORD> fresh;
    for (DWORD pid : processesNamed(imageName_)) {
        if (startedSince(pid, start_)) fresh.insert(pid);
    }
    return fresh;
}

bool WordProcess::adoptNew() {
    const std::set<DWORD> fresh = startedSinceNote();
    if (fresh.size() != 1) return false;
    HANDLE process = OpenProcess(
        PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_SET_QUOTA | PROCESS_QUERY_LIMITED_INFORMATION,
        FALSE, *fresh.begin());
    if (process == nullptr) return false;
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job != nullptr) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                     sizeof limits) ||
            !AssignProcessToJobObject(job, process)) {
            // Without the job a killed program may leave Word behind; the
            // step limit and quit still end it.
            CloseHandle(job);
            job = nullptr;
        }
    }
    std::lock_guard lock(mutex_);
    process_ = process;
    job_ = job;
    return true;
}

bool WordProcess::known() const {
    std::lock_guard lock(mutex_);
    return process_ != nullptr;
}

bool WordProcess::running() const {
    std::lock_guard lock(mutex_);
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void WordProcess::terminate() {
    std::lock_guard lock(mutex_);
    if (process_ != nullptr) {
        TerminateProcess(process_, 1);
        return;
    }
    // Not yet adopted: only a process that can be told apart is ours to end.
    const std::set<DWORD> fresh = startedSinceNote();
    if (fresh.size() != 1) return;
    for (DWORD pid : fresh) {
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
            TerminateProcess(process, 1);
            CloseHandle(process);
        }
    }
}

bool WordProcess::waitForExit(std::chrono::milliseconds grace) {
    HANDLE process = nullptr;
    {
        std::lock_guard lock(mutex_);
        process = process_;
    }
    if (process == nullptr) return true;
    return WaitForSingleObject(process, static_cast<DWORD>(grace.count())) == WAIT_OBJECT_0;
}

std::wstring WordProcess::dialogTitle() const {
    DWORD pid = 0;
    {
        std::lock_guard lock(mutex_);
        if (process_ != nullptr) pid = GetProcessId(process_);
    }
    struct Search {
        DWORD pid;
        std::wstring title;
    } search{pid, {}};
    if (pid == 0) return {};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            wchar_t className[16] = L"";
            GetWindowThreadProcessId(window, &owner);
            GetClassNameW(window, className, 16);
            if (owner != search->pid || std::wstring(className) != L"#32770") return TRUE;
            // Another process's caption is read without a message, so a hung Word can't hold it.
            wchar_t title[256] = L"";
            GetWindowTextW(window, title, 256);
            search->title = title;
            return search->title.empty();
        },
        reinterpret_cast<LPARAM>(&search));
    return search.title;
}

void WordProcess::handOver() {
    std::lock_guard lock(mutex_);
    if (job_ == nullptr) return;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    CloseHandle(job_);
    job_ = nullptr;
}

}  // namespace pravelo::platform::word

namespace pravelo::platform::word {

StartMarker::StartMarker(const std::wstring& imageName) {
    const std::wstring folder = temporaryFolder();
    if (folder.empty()) return;
    MarkerContents contents{};
    contents.writer = GetCurrentProcessId();
    contents.writerStarted = createdAt(GetCurrentProcess());
    GetSystemTimeAsFileTime(&contents.noted);
    imageName.copy(contents.imageName, std::size(contents.imageName) - 1);
    path_ = folder + L"Pravelo-Word-" + std::to_wstring(contents.writer) + L".start";
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        path_.clear();
        return;
    }
    DWORD written = 0;
    WriteFile(file, &contents, sizeof contents, &written, nullptr);
    CloseHandle(file);
}

StartMarker::~StartMarker() {
    if (!path_.empty()) DeleteFileW(path_.c_str());
}

void StartMarker::endOrphans(std::chrono::milliseconds creationLimit) {
    const std::wstring folder = temporaryFolder();
    if (folder.empty()) return;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + kMarkerPattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring path = folder + found.cFileName;
        MarkerContents contents{};
        DWORD read = 0;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        const bool whole =
            ReadFile(file, &contents, sizeof contents, &read, nullptr) && read == sizeof contents;
        CloseHandle(file);
        if (whole && stillRunning(contents.writer, contents.writerStarted)) continue;
        if (whole) {
            contents.imageName[std::size(contents.imageName) - 1] = L'\0';
            const FILETIME until = later(contents.noted, creationLimit);
            std::set<DWORD> orphans;
            for (DWORD pid : processesNamed(contents.imageName)) {
                HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
                if (process == nullptr) continue;
                const FILETIME created = createdAt(process);
                CloseHandle(process);
                // A Word the user works in is visible; an orphan of ours never was.
                if (CompareFileTime(&created, &contents.noted) >= 0 &&
                    CompareFileTime(&created, &until) <= 0 && !hasVisibleWindow(pid)) {
                    orphans.insert(pid);
                }
            }
            if (orphans.size() == 1) {
                if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, *orphans.begin())) {
                    TerminateProcess(process, 1);
                    CloseHandle(process);
                }
            }
        }
        DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace pravelo::platform::word
