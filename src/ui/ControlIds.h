// The numbers by which windows are told apart and talked to: the main window's control IDs, which
// other programs see, and the program's private window messages. The end-to-end tests read the
// IDs from this file: each stays on one line of the form `inline constexpr int k<Name>Id = <n>;`.
#pragma once

#include <windows.h>

namespace pelmora::ui {

inline constexpr int kNameBoxId = 101;
inline constexpr int kSaveId = 111;
inline constexpr int kRecallId = 112;
inline constexpr int kDeleteId = 113;
inline constexpr int kReadoutId = 121;

// To the application window: the activation it got goes on to the program window active last.
inline constexpr UINT kForwardActivationMessage = WM_APP + 1;
// To the application window: the windows that stay on top are to be placed again.
inline constexpr UINT kPlaceBandMessage = WM_APP + 2;
// To the readout's edit control: the text it is to show is to be written into it.
inline constexpr UINT kReadoutWriteMessage = WM_APP + 20;

}  // namespace pelmora::ui
