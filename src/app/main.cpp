// Pelmora's entry point: the application object, the main window, the checker window, the event
// loop. The start-up show request is the only input taken from the command line.
#include <windows.h>

#include <exception>

#include "ApplicationShell.h"
#include "FailureDisplay.h"
#include "SettingsFile.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    try {
        pelmora::app::ApplicationShell application;
        application.CreateWindows(pelmora::ModuleSettingsPath);
        const int exitCode = application.Run(showCommand);
        application.DestroyWindows();  // the checker first, then the main window
        return exitCode;
    } catch (...) {
        // Only start-up can end here (a window the system refused): nothing else is shown.
        // Whatever ends it is still said, not lost.
        pelmora::app::FailureDisplay::ShowAtStartUp(std::current_exception());
    }
    return 1;
}
