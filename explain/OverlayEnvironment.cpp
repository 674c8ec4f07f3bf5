#include "explain/OverlayEnvironment.h"

#include <windows.h>

#include "base/WideText.h"

namespace {

bool sameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// This process's environment block with the overlay's variables in place of
// any of the same name.
std::wstring environmentBlock(const std::vector<std::pair<std::string, std::string>>& overlay) {
    std::vector<std::wstring> names;
    std::wstring block;
    for (const auto& [name, value] : overlay) names.push_back(toWide(name));

    if (LPWCH strings = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
            std::wstring text(entry);
            // A name may begin with "=" (the per-drive folders "=C:").
            std::size_t equals = text.find(L'=', 1);
            std::wstring name = text.substr(0, equals);
            bool replaced = false;
            for (const std::wstring& overlaid : names) replaced = replaced || sameName(name, overlaid);
            if (!replaced) block += text + L'\0';
        }
        FreeEnvironmentStringsW(strings);
    }
    for (std::size_t i = 0; i < overlay.size(); ++i)
        block += names[i] + L'=' + toWide(overlay[i].second) + L'\0';
    return block + L'\0';
}

struct CountedString {
    USHORT length;  // bytes
    USHORT maximumLength;
    PWSTR buffer;
};
using ExpandEntry = LONG(NTAPI*)(PCWSTR environment, const CountedString* source,
                                 CountedString* target, PULONG returnedBytes);

}  // namespace

void OverlayEnvironment::set(const char* name, const std::string& value) {
    for (auto& variable : variables_) {
        if (lstrcmpiA(variable.first.c_str(), name) == 0) {
            variable.second = value;
            return;
        }
    }
    variables_.emplace_back(name, value);
}

// ExpandEnvironmentStringsA is the same expansion against the process's own
// block: the text in UTF-16 through the ANSI code page, expanded by ntdll,
// and back.
std::string OverlayEnvironment::expand(const std::string& text) { return nearestAnsi(expand(toWide(text))); }

std::wstring OverlayEnvironment::expand(const std::wstring& text) {
    static const auto expandWith = reinterpret_cast<ExpandEntry>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlExpandEnvironmentStrings_U"));
    std::wstring source = text;
    if (!expandWith || source.size() * sizeof(wchar_t) > 0xFFFE) return text;

    std::wstring block = environmentBlock(variables_);
    CountedString in = {static_cast<USHORT>(source.size() * sizeof(wchar_t)),
                        static_cast<USHORT>(source.size() * sizeof(wchar_t)), source.data()};
    std::wstring result(32767, L'\0');
    CountedString out = {0, static_cast<USHORT>(0xFFFE), result.data()};
    ULONG bytes = 0;
    if (expandWith(block.c_str(), &in, &out, &bytes) < 0) return text;
    result.resize(out.length / sizeof(wchar_t));
    return result;
}
