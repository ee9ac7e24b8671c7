#pragma once
// The option tests the windows ask of the global state: the state of a check box or option
// button of the main window or the conditions window, read by window and control name, so they
// answer False while that window is not loaded.
namespace qv {

bool IsDetectR();        // main window chkDetectR ticked, and no trigger set up
bool IsStorageMode();    // main window optStorage
bool IsBlobrelayOn();    // main window chkBlobrelay ticked
bool IsUseCal();         // main window chkUseCAL ticked: values in engineering units
bool IsGetRemoteHost();  // conditions window optGetRemoteHost
bool IsGetADBoard();     // conditions window optGetADBoard
bool IsTerminalMode();   // conditions window chkTerminalMode ticked
// The local board source is chosen and the selected board of the conditions window's list is
// the catalogue's VylS80 (type 31).
bool IsVylS80Board();

}  // namespace qv
