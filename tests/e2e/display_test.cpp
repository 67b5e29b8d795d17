// What Windows reads from the program before it runs (its manifest) and what
// the running program looks like on a display of any DPI: the version 6
// common controls loaded, the main window and its list grown with the DPI.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "base/handle_win.h"
#include "resources/resource.h"
#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

// The manifest resource (RT_MANIFEST 1) of the built program, or "".
std::string program_manifest()
{
    std::string exe = host_path(QS_EXE_PATH);
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr)
        return "";
    std::string text;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    if (loaded != nullptr)
        text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
    FreeLibrary(module);
    return text;
}

// The element of the manifest that holds this text, from its "<" to its ">".
std::string element_with(const std::string& manifest, const std::string& text)
{
    std::size_t at = manifest.find(text);
    if (at == std::string::npos)
        return "";
    std::size_t begin = manifest.rfind('<', at);
    std::size_t end = manifest.find('>', at);
    return manifest.substr(begin, end - begin + 1);
}

TEST(Manifest, BuiltProgramCarriesItsApplicationManifest)
{
    std::string manifest = program_manifest();
    ASSERT_FALSE(manifest.empty()) << "no RT_MANIFEST 1 in " << QS_EXE_PATH;
    struct Case {
        const char* what;
        const char* element;   // a text that finds the element
        const char* attribute; // what the element must say
    } cases[] = {
        {"runs as the invoking user", "requestedExecutionLevel", "level=\"asInvoker\""},
        {"Windows Vista", "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "supportedOS"},
        {"Windows 7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "supportedOS"},
        {"Windows 8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "supportedOS"},
        {"Windows 8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "supportedOS"},
        {"Windows 10 and 11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "supportedOS"},
        {"common controls 6", "name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\""},
        {"common controls' publisher", "name=\"Microsoft.Windows.Common-Controls\"",
         "publicKeyToken=\"6595b64144ccf1df\""},
        {"system DPI aware", "<dpiAware ", "SMI/2005/WindowsSettings"},
    };
    for (const Case& c : cases) {
        std::string element = element_with(manifest, c.element);
        EXPECT_NE(element.find(c.attribute), std::string::npos) << c.what << ": " << element;
    }
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">system</dpiAwareness>"), std::string::npos);
    EXPECT_EQ(manifest.find("requireAdministrator"), std::string::npos);
}

// The paths of the modules loaded in another process, in lower case.
std::vector<std::string> loaded_modules(DWORD process_id)
{
    std::vector<std::string> paths;
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process_id));
    if (!snapshot.valid())
        return paths;
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot.get(), &module); more; more = Module32Next(snapshot.get(), &module)) {
        std::string lower = module.szExePath;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        paths.push_back(lower);
    }
    return paths;
}

// The version 6 controls come from the side-by-side store, never from the
// system folder: a program without the dependency gets version 5 there.
TEST(Desktop, RunningProgramUsesVersion6ControlsAndGrowsWithTheDpi)
{
    OneRowProgram one(settings_file({}));
    ASSERT_NE(one.main, nullptr);

    std::string comctl;
    for (const std::string& path : loaded_modules(one.program.id()))
        if (path.size() >= 12 && path.compare(path.size() - 12, 12, "comctl32.dll") == 0)
            comctl = path;
    EXPECT_NE(comctl.find("\\winsxs\\"), std::string::npos) << comctl;
    EXPECT_NE(comctl.find("microsoft.windows.common-controls_6595b64144ccf1df_6.0."), std::string::npos) << comctl;

    RECT window = {}, client = {}, list = {};
    GetWindowRect(one.main, &window);
    HWND view = FindWindowExA(one.main, nullptr, WC_LISTVIEWA, nullptr);
    ASSERT_NE(view, nullptr);
    // The list is fitted to the window when the window first gets its size,
    // which a loaded machine may not have delivered yet.
    wait_until([&] { return GetWindowRect(view, &list) && list.bottom > list.top; }, 5000);
    GetClientRect(one.main, &client);
    // The system keeps a window within the largest size it lets one be
    // dragged to: at 200 % on this 1280 x 1024 display, 1200 pixels do not fit.
    EXPECT_EQ(window.right - window.left, std::min(at_display_dpi(600), GetSystemMetrics(SM_CXMAXTRACK)));
    EXPECT_EQ(window.bottom - window.top, std::min(at_display_dpi(600), GetSystemMetrics(SM_CYMAXTRACK)));
    EXPECT_EQ(list.bottom - list.top, client.bottom - at_display_dpi(20));
    const int widths[] = {100, 150, 250, 40, 48};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(SendMessageA(view, LVM_GETCOLUMNWIDTH, i, 0), at_display_dpi(widths[i])) << i;
    EXPECT_EQ(end_by_menu(one.program, one.main), 0);
}

}  // namespace
