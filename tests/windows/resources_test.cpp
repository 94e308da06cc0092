// What Windows reads from zarv.exe itself: the icon of Explorer, the taskbar and the window, the
// details of its Properties, and the manifest the loader applies (read through Wine's own loader,
// which refuses a malformed one). This program carries the same resources, so it also sees what
// the system tells the game about its DPI awareness.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

struct IconDirEntry {
    BYTE width;  // 0 for 256
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};

// The layout Windows 10 1903 and Wine fill in; MinGW's headers still lack MaxVersionTested.
struct CompatibilityElement {
    GUID id;
    DWORD type;
    ULONGLONG maxVersionTested;
};
struct CompatibilityInformation {
    DWORD count;
    CompatibilityElement elements[8];
};

BOOL CALLBACK collectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
    reinterpret_cast<std::vector<std::string>*>(names)->push_back(IS_INTRESOURCE(name) ? "#" : name);
    return TRUE;
}

std::string versionString(const std::vector<char>& info, const char* key) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + key;
    return VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) && length > 0
               ? std::string(value)
               : std::string("(missing)");
}

std::wstring setting(HANDLE context, const wchar_t* space, const wchar_t* name) {
    wchar_t value[128] = {};
    SIZE_T written = 0;
    return QueryActCtxSettingsW(0, context, space, name, value, 128, &written) ? value : L"(missing)";
}

const wchar_t* const kSettings2005 = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
const wchar_t* const kSettings2016 = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";

}  // namespace

TEST(GameResources, TheShipIconIsTheFirstIconAndGlutsAtEverySize) {
    const HMODULE exe = LoadLibraryExA(ZARV_BINARY, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe, nullptr) << ZARV_BINARY;
    std::vector<std::string> groups;
    EnumResourceNamesA(exe, RT_GROUP_ICON, collectName, reinterpret_cast<LONG_PTR>(&groups));
    ASSERT_FALSE(groups.empty()) << "no icon: Explorer shows the generic program icon";
    EXPECT_EQ(groups.front(), "GLUT_ICON") << "freeglut's window class takes the icon of this name";

    const HRSRC found = FindResourceA(exe, "GLUT_ICON", RT_GROUP_ICON);
    ASSERT_NE(found, nullptr);
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(exe, found)));
    const WORD count = *reinterpret_cast<const WORD*>(group + 4);
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        IconDirEntry entry{};
        std::memcpy(&entry, group + 6 + 14 * i, 14);
        EXPECT_EQ(entry.width, entry.height);
        EXPECT_EQ(entry.bitCount, 32) << "with an alpha channel";
        EXPECT_NE(FindResourceA(exe, MAKEINTRESOURCEA(entry.id), RT_ICON), nullptr);
        sizes.insert(entry.width == 0 ? 256 : entry.width);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64, 256}));
    FreeLibrary(exe);
}

TEST(GameResources, PropertiesShowTheProductItsVersionCopyrightAndLicence) {
    const DWORD size = GetFileVersionInfoSizeA(ZARV_BINARY, nullptr);
    ASSERT_GT(size, 0u) << "no version information: Properties > Details is empty";
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(ZARV_BINARY, 0, size, info.data()));
    const struct {
        const char* key;
        std::string shown;
    } expected[] = {
        {"ProductName", "zarv"},
        {"FileDescription", "zarv, a vector arcade shooter"},
        {"ProductVersion", ZARV_VERSION},
        {"FileVersion", ZARV_VERSION},
        {"CompanyName", "The zarv developers"},
        {"LegalCopyright", "Copyright 2026 the zarv developers. MIT License."},
        {"OriginalFilename", "zarv.exe"},
    };
    for (const auto& row : expected) {
        EXPECT_EQ(versionString(info, row.key), row.shown) << row.key;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    unsigned major = 0, minor = 0, patch = 0;
    ASSERT_EQ(std::sscanf(ZARV_VERSION, "%u.%u.%u", &major, &minor, &patch), 3);
    EXPECT_EQ(fixed->dwFileVersionMS, major << 16 | minor);
    EXPECT_EQ(fixed->dwFileVersionLS, patch << 16);
}

TEST(GameResources, TheLoaderReadsPerMonitorDpiAsInvokerAndWindows7To11) {
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = ZARV_BINARY;
    request.lpResourceName = MAKEINTRESOURCEA(1);
    const HANDLE context = CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "no manifest, or one the loader refuses: " << GetLastError();

    EXPECT_EQ(setting(context, kSettings2016, L"dpiAwareness"), L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(setting(context, kSettings2005, L"dpiAware"), L"true/pm") << "for Windows 7 to 10 1511";

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level, sizeof level,
                             nullptr));
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_FALSE(level.UiAccess);

    CompatibilityInformation compatibility{};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, &compatibility,
                             sizeof compatibility, nullptr));
    std::set<std::string> systems;
    for (DWORD i = 0; i < compatibility.count && i < 8; ++i) {
        const GUID& id = compatibility.elements[i].id;
        char text[40];
        std::snprintf(text, sizeof text, "%08lx-%04x", static_cast<unsigned long>(id.Data1), id.Data2);
        systems.insert(text);
    }
    // Windows 7, 8, 8.1, and 10 and 11 (which share one id).
    EXPECT_EQ(systems, (std::set<std::string>{"35138b9a-5d96", "4a2f28e3-53b9", "1f676c76-80e1", "8e0f7a12-bfb3"}));
    ReleaseActCtx(context);
}

TEST(GameResources, AProcessUnderTheGamesManifestIsPerMonitorDpiAware) {
    // The process's own default context: what the loader took from this exe's manifest at start.
    EXPECT_EQ(setting(nullptr, kSettings2016, L"dpiAwareness"), L"PerMonitorV2, PerMonitor");
    EXPECT_TRUE(IsProcessDPIAware());
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()), DPI_AWARENESS_PER_MONITOR_AWARE);
}
