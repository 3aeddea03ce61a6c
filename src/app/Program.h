#pragma once

namespace kzm {

class TfmMain;
class TfmTQ200;

// The windows behind the main window's buttons.
void SetFunctionWindows(TfmMain& main);

// A registration workstation after its login: the terminal window opened in the main window and
// its run started. The window, or nothing when it could not stay open.
TfmTQ200* StartRegistrationStation(TfmMain& main);

} // namespace kzm
