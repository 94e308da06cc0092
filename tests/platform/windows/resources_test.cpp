// What Windows reads from zarv.exe itself: the icon of Explorer, the taskbar and the window, the
// details of its Properties, and the manifest, read through Wine's own loader (which refuses a
// malformed one).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The layout Windows 10 1903 and Wine fill in; MinGW's headers lack MaxVersionTested.
struct CompatibilityInformation {
    DWORD count;
    struct {
        GUID id;
        DWORD type;
        ULONGLONG maxVersionTested;
    } elements[8];
};

std::wstring setting(HANDLE context, const wchar_t* space, const wchar_t* name) {
    wchar_t value[128] = {};
    return QueryActCtxSettingsW(0, context, space, name, value, 128, nullptr) ? value : L"(missing)";
}

const wchar_t* const kSettings2016 = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";

}  // namespace

// The icon, Properties, and the manifest's per-monitor DPI awareness, run level and Windows 7 to 11.
TEST(GameResources, IconAtEverySizePropertiesAndTheManifestAsWindowsReadsThem) {
    const HMODULE exe = LoadLibraryExA(ZARV_BINARY, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe, nullptr) << ZARV_BINARY;
    std::string first = "(none: Explorer shows the generic icon)";
    EnumResourceNamesA(
        exe, RT_GROUP_ICON,
        [](HMODULE, LPCSTR, LPSTR name, LONG_PTR out) {
            *reinterpret_cast<std::string*>(out) = IS_INTRESOURCE(name) ? "#" : name;
            return FALSE;
        },
        reinterpret_cast<LONG_PTR>(&first));
    ASSERT_EQ(first, "GLUT_ICON") << "freeglut's window class takes the icon of this name";
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(exe, FindResourceA(exe, "GLUT_ICON", RT_GROUP_ICON))));
    std::set<int> sizes;
    for (int i = 0; i < group[4]; ++i) {
        const BYTE* entry = group + 6 + 14 * i;  // width (0 for 256), height, ..., bits at 6
        EXPECT_EQ(entry[6], 32) << "with an alpha channel";
        sizes.insert(entry[0] == 0 ? 256 : entry[0]);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64, 256}));
    FreeLibrary(exe);

    std::vector<char> info(GetFileVersionInfoSizeA(ZARV_BINARY, nullptr));
    ASSERT_FALSE(info.empty()) << "no version information: Properties > Details is empty";
    ASSERT_TRUE(GetFileVersionInfoA(ZARV_BINARY, 0, static_cast<DWORD>(info.size()), info.data()));
    const char* const expected[][2] = {
        {"ProductName", "zarv"},
        {"FileDescription", "zarv, a vector arcade shooter"},
        {"ProductVersion", ZARV_VERSION},
        {"FileVersion", ZARV_VERSION},
        {"CompanyName", "The zarv developers"},
        {"LegalCopyright", "Copyright 2026 the zarv developers. MIT License."},
    };
    for (const auto& row : expected) {
        char* value = nullptr;
        UINT length = 0;
        const std::string key = std::string("\\StringFileInfo\\040904B0\\") + row[0];
        EXPECT_TRUE(VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) << row[0];
        EXPECT_STREQ(length > 0 ? value : "", row[1]) << row[0];
    }

    // The manifest, as the loader and this process read it.
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = ZARV_BINARY;
    request.lpResourceName = MAKEINTRESOURCEA(1);
    const HANDLE context = CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "no manifest, or one the loader refuses: " << GetLastError();
    EXPECT_EQ(setting(context, kSettings2016, L"dpiAwareness"), L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(setting(context, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), L"true/pm")
        << "for Windows 7 to 10 1511";

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level, sizeof level, nullptr));
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    CompatibilityInformation compatibility{};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, &compatibility,
                             sizeof compatibility, nullptr));
    std::set<unsigned long> systems;
    for (DWORD i = 0; i < compatibility.count && i < 8; ++i) {
        systems.insert(compatibility.elements[i].id.Data1);
    }
    // Windows 7, 8, 8.1, and 10 and 11 (which share one id).
    EXPECT_EQ(systems, (std::set<unsigned long>{0x35138b9a, 0x4a2f28e3, 0x1f676c76, 0x8e0f7a12}));
    ReleaseActCtx(context);
    // The test program carries the game's resource script, so the loader applied the same manifest
    // to this process at its start, as to a started game: its default context holds the setting.
    EXPECT_EQ(setting(nullptr, kSettings2016, L"dpiAwareness"), L"PerMonitorV2, PerMonitor");
}
