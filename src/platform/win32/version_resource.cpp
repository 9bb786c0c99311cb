#include "platform/win32/version_resource.h"

#include <windows.h>

#include <vector>

#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

namespace {

std::string stringEntry(const std::vector<unsigned char>& block, const std::wstring& table,
                        const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\" + table + L"\\" + name;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || value == nullptr) return {};
    std::wstring_view text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0') text.remove_suffix(1);
    return fromWide(text);
}

}  // namespace

std::optional<VersionRecord> readVersionResource(void* module) {
    const auto handle = static_cast<HMODULE>(module);
    HRSRC found = FindResourceW(handle, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    if (found == nullptr) return std::nullopt;
    HGLOBAL loaded = LoadResource(handle, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return std::nullopt;
    // VerQueryValue wants a block it may write into, not the mapped image.
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::vector<unsigned char> block(bytes, bytes + SizeofResource(handle, found));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
        return std::nullopt;
    }
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    wchar_t table[16] = L"040904B0";
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                       reinterpret_cast<void**>(&translation), &length) &&
        translation != nullptr && length >= sizeof(Translation)) {
        swprintf(table, 16, L"%04X%04X", translation->language, translation->codePage);
    }

    VersionRecord record;
    record.productName = stringEntry(block, table, L"ProductName");
    record.major = static_cast<std::int16_t>(HIWORD(fixed->dwFileVersionMS));
    record.minor = static_cast<std::int16_t>(LOWORD(fixed->dwFileVersionMS));
    record.revision = static_cast<std::int16_t>(LOWORD(fixed->dwFileVersionLS));
    record.fileVersionText = fileVersionText(record.major, record.minor, record.revision);
    record.comments = stringEntry(block, table, L"Comments");
    record.legalCopyright = stringEntry(block, table, L"LegalCopyright");
    record.companyName = stringEntry(block, table, L"CompanyName");
    return record;
}

}  // namespace pravelo::platform::win32

namespace pravelo::platform {

// A program built without its resource still runs, with the build's own values.
const VersionRecord& programVersionRecord() {
    static const VersionRecord record =
        win32::readVersionResource(nullptr).value_or(builtVersionRecord());
    return record;
}

}  // namespace pravelo::platform
