// What Windows reads from zarv.exe itself: the icon of Explorer, the taskbar and the window, the
// details of its Properties, and the manifest, read through Wine's own loader (which refuses a
// malformed one).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::wstring setting(HANDLE context, const wchar_t* space, const wchar_t* name) {
    wchar_t value[128] = {};
    return QueryActCtxSettingsW(0, context, space, name, value, 128, nullptr) ? value : L"(missing)";
}

const wchar_t* const kSettings2016 = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";

}  // namespace

// The icon, Properties, and the manifest's per-monitor DPI awareness and run level. (The systems it
// declares are a fixed list of ids, which the loader's accepting the manifest covers.)
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

    // Properties > Details shows the version information (its strings are the resource script's).
    std::vector<char> info(GetFileVersionInfoSizeA(ZARV_BINARY, nullptr));
    char* version = nullptr;
    UINT length = 0;
    ASSERT_TRUE(!info.empty() && GetFileVersionInfoA(ZARV_BINARY, 0, static_cast<DWORD>(info.size()), info.data()));
    EXPECT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\ProductVersion",
                               reinterpret_cast<void**>(&version), &length));
    EXPECT_STREQ(length > 0 ? version : "", ZARV_VERSION);

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
    ReleaseActCtx(context);
    // The test program carries the game's resource script, so the loader applied the same manifest
    // to this process at its start, as to a started game: its default context holds the setting.
    EXPECT_EQ(setting(nullptr, kSettings2016, L"dpiAwareness"), L"PerMonitorV2, PerMonitor");
}
