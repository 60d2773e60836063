// Start and end of the skin library, and the choice of theme.
#include "libs/osgrim/skin.h"
#include "platform/osgrim.h"

SkinState g_skin;

extern "C" {

// The OG_ classes exist from here on; calling it again changes nothing.
OSGRIM_API BOOL WINAPI InitOsgrim(HINSTANCE program)
{
    if (g_skin.initialised) return TRUE;
    g_skin.program = program ? program : GetModuleHandleA(NULL);
    if (!MakeFonts() || !MakeThemeObjects(DefaultTheme())) {
        FreeFonts();
        FreeThemeObjects();
        return FALSE;
    }
    bool classes = RegisterControlClasses();
    bool windows = RegisterTaskWindowClass() && RegisterMenuOwnerClass();
    g_skin.initialised = true;
    return classes && windows;
}

// "" gives the default look; so does a name the library does not know (FALSE then).
OSGRIM_API BOOL WINAPI SetOsgrimTheme(const char *themeName)
{
    if (!g_skin.initialised) return FALSE;
    const SkinTheme *theme = FindTheme(themeName);
    if (!MakeThemeObjects(theme ? *theme : DefaultTheme())) return FALSE;
    RedrawSkinnedWindows();
    return theme != NULL;
}

OSGRIM_API BOOL WINAPI ExitOsgrim(HINSTANCE program)
{
    (void)program;
    if (!g_skin.initialised) return FALSE;
    DestroyMenuOwner();
    UnregisterTaskWindowClass();
    UnregisterControlClasses();
    FreeThemeObjects();
    FreeFonts();
    g_skin.theme = NULL;
    g_skin.program = NULL;
    g_skin.initialised = false;
    return TRUE;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_skin.module = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}
