// Pelmora's entry point: the application object, the main window, the checker window, the event
// loop. The start-up show request is the only input taken from the command line.
#include <windows.h>

#include "ApplicationShell.h"
#include "Errors.h"
#include "SettingsFile.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    try {
        pelmora::app::ApplicationShell application;
        application.CreateWindows(pelmora::ModuleSettingsPath);
        const int exitCode = application.Run(showCommand);
        application.DestroyWindows();  // the checker first, then the main window
        return exitCode;
    } catch (const pelmora::Exception& e) {
        // Only start-up can end here (a window the system refused): nothing else is shown.
        MessageBoxA(nullptr, e.Message().c_str(), "Pelmora", MB_OK | MB_ICONERROR);
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, e.what(), "Pelmora", MB_OK | MB_ICONERROR);
    } catch (...) {
        // Whatever else ends start-up is still said, not lost.
        MessageBoxA(nullptr, pelmora::AnsiFromWide(L"予期しないエラーが発生しました").c_str(),
                    "Pelmora", MB_OK | MB_ICONERROR);
    }
    return 1;
}
