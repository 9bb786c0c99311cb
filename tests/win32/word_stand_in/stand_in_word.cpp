// The stand-in's process: registration of its class, the record, and when to end.
#include "stand_in_word.h"

#include <objbase.h>
#include <windows.h>

#include <string>

namespace pravelo::testing::word_stand_in {

std::atomic<long> liveObjects{0};
std::atomic<bool> quitCalled{false};
std::atomic<bool> visible{false};

namespace {

std::atomic<bool> connected{false};

std::string toUtf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

class Factory : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        return S_OK;
    }
    // Registered for the process's whole life: nothing to count.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (busy()) {
            record(L"creation turned away");
            return RPC_E_CALL_REJECTED;
        }
        IDispatch* application = newApplication();
        const HRESULT result = application->QueryInterface(iid, out);
        application->Release();
        if (!connected.exchange(true)) startBusyPeriod();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        liveObjects += lock ? 1 : -1;
        return S_OK;
    }
};

// Polls, rather than signals: the stand-in's timing needs no precision.
bool waitFor(const std::atomic<bool>& flag, DWORD timeoutMs) {
    for (DWORD waited = 0; !flag; waited += 20) {
        if (waited >= timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

}  // namespace

void record(const std::wstring& text) {
    const DWORD size = GetEnvironmentVariableW(kRecordVariable, nullptr, 0);
    if (size == 0) return;
    std::wstring path(size, L'\0');
    path.resize(GetEnvironmentVariableW(kRecordVariable, path.data(), size));
    const std::string line = toUtf8(std::to_wstring(GetCurrentProcessId()) + L" " + text) + "\r\n";

    HANDLE mutex = CreateMutexW(nullptr, FALSE, kRecordMutex);
    WaitForSingleObject(mutex, INFINITE);  // an abandoned mutex is ours just the same
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
    }
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

}  // namespace pravelo::testing::word_stand_in

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace pravelo::testing::word_stand_in;
    // Free-threaded: a hung call must not hold up the calls that follow it.
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 1;
    record(L"start");
    startBusyPeriod();

    CLSID classId{};
    CLSIDFromString(kClassId, &classId);
    static Factory factory;
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(classId, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE,
                                     &cookie))) {
        record(L"exit");
        return 2;
    }

    if (waitFor(connected, 60000)) {
        while (!quitCalled && liveObjects > 0) Sleep(20);
        if (quitCalled) {
            // Let the client release what it holds, so Quit's reply gets out first.
            for (int waited = 0; liveObjects > 0 && waited < 2000; waited += 20) Sleep(20);
        } else if (visible) {
            Sleep(120000);
        }
    }
    record(L"exit");
    CoRevokeClassObject(cookie);
    // A hung call may still hold a thread; CoUninitialize would wait for it.
    ExitProcess(0);
}
