// The manifest and the version block: what they say, and that the loader acted on the
// manifest (common controls 6, UTF-8 code page, per-monitor DPI awareness) for this process.
#include <gtest/gtest.h>
#include <windows.h>

#include <winver.h>

#include <cstdio>
#include <string>
#include <vector>

#include "build_version.h"

namespace zentrik::test {
namespace {

std::string ManifestText() {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const char* text = static_cast<const char*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    return text != nullptr ? std::string(text, SizeofResource(module, found)) : std::string();
}

// The text of element `name` (its first occurrence), or of attribute `attribute` in it.
std::string Element(const std::string& xml, const std::string& name,
                    const std::string& attribute = {}) {
    std::size_t open = xml.find("<" + name);
    while (open != std::string::npos) {
        const char next = xml[open + 1 + name.size()];
        if (next == ' ' || next == '>' || next == '/' || next == '\n') {
            break;
        }
        open = xml.find("<" + name, open + 1);
    }
    if (open == std::string::npos) {
        return "<none>";
    }
    const std::size_t close = xml.find('>', open);
    if (!attribute.empty()) {
        const std::string tag = xml.substr(open, close - open);
        const std::size_t at = tag.find(" " + attribute + "=\"");
        if (at == std::string::npos) {
            return "<none>";
        }
        const std::size_t start = at + attribute.size() + 3;
        return tag.substr(start, tag.find('"', start) - start);
    }
    return xml.substr(close + 1, xml.find('<', close) - close - 1);
}

TEST(Manifest, SaysCommonControls6PerMonitorDpiUtf8AndAsInvoker) {
    const std::string xml = ManifestText();
    ASSERT_FALSE(xml.empty()) << "no manifest resource 1";
    const std::string dependency = xml.substr(xml.find("<dependency>"));
    EXPECT_EQ(Element(dependency, "assemblyIdentity", "name"), "Microsoft.Windows.Common-Controls");
    EXPECT_EQ(Element(dependency, "assemblyIdentity", "version"), "6.0.0.0");
    EXPECT_EQ(Element(xml, "dpiAwareness"), "PerMonitorV2, PerMonitor");
    EXPECT_EQ(Element(xml, "dpiAware"), "true/pm");
    EXPECT_EQ(Element(xml, "activeCodePage"), "UTF-8");
    EXPECT_EQ(Element(xml, "requestedExecutionLevel", "level"), "asInvoker");
}

template <typename Fn>
Fn Function(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

TEST(Manifest, TakesEffectInThisProcess) {
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));

    // Common controls 6 come from their side-by-side assembly (wine's answers 5.81 to
    // DllGetVersion even then, so the place it was loaded from tells).
    wchar_t comctl[MAX_PATH] = {};
    GetModuleFileNameW(LoadLibraryW(L"comctl32.dll"), comctl, MAX_PATH);
    std::wstring path = comctl;
    CharLowerW(path.data());
    EXPECT_NE(path.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::wstring::npos)
        << std::string(path.begin(), path.end());

    // Per-monitor awareness (DPI_AWARENESS_PER_MONITOR_AWARE = 2).
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    using GetContext = HANDLE(WINAPI*)();
    using GetAwareness = int(WINAPI*)(HANDLE);
    auto getContext = Function<GetContext>(user32, "GetThreadDpiAwarenessContext");
    auto getAwareness = Function<GetAwareness>(user32, "GetAwarenessFromDpiAwarenessContext");
    ASSERT_NE(getContext, nullptr);
    ASSERT_NE(getAwareness, nullptr);
    EXPECT_EQ(getAwareness(getContext()), 2);
}

std::vector<BYTE> OwnVersionInfo() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(path, &handle));
    if (info.empty() ||
        !GetFileVersionInfoW(path, 0, static_cast<DWORD>(info.size()), info.data())) {
        info.clear();
    }
    return info;
}

std::wstring VersionString(std::vector<BYTE>& info, const wchar_t* name) {
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    wchar_t* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) ||
        length == 0) {
        return L"<none>";
    }
    return std::wstring(text, length - 1);  // the length counts the terminating null
}

std::wstring Wide(const char* text) {
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

TEST(VersionResource, CarriesThisBuildsVersionAndTheRelease) {
    std::vector<BYTE> info = OwnVersionInfo();
    ASSERT_FALSE(info.empty()) << "no version resource";

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwProductVersionMS, static_cast<DWORD>(MAKELONG(1, 3)));  // 3.1
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);                                  // .0.0
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    // The file version's numbers are the build version's leading a.b.c.
    unsigned major = 0, minor = 0, patch = 0;
    ASSERT_EQ(std::sscanf(kBuildVersion, "%u.%u.%u", &major, &minor, &patch), 3);
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(minor, major)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, patch)));

    EXPECT_EQ(VersionString(info, L"FileVersion"), Wide(kBuildVersion));
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"3.1.0");
    EXPECT_EQ(VersionString(info, L"ProductName"), L"Halvorn Zentrik");
    EXPECT_EQ(VersionString(info, L"CompanyName"), L"Halvorn");
    EXPECT_EQ(VersionString(info, L"OriginalFilename"), L"zentrik.exe");
}

}  // namespace
}  // namespace zentrik::test
