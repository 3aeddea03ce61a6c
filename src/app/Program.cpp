#include "app/Program.h"

#include "app/TfmMain.h"
#include "lists/forms/TfmWykazy.h"
#include "planning/forms/TfmDane.h"
#include "terminals/forms/TfmParam.h"
#include "terminals/forms/TfmTQ200.h"

#include <QPushButton>

namespace kzm {

namespace {

// A hub behind a button of the main window; a closed hub leaves the focus on that button.
template <class Hub> void SetHub(TfmMain& main, FunctionSlot slot) {
    main.setFactory(slot, [slot](TfmMain& m) {
        auto* w = new Hub(m);
        QPushButton* button = m.button(slot);
        QObject::connect(w, &HubWindow::closed, button, [button] { button->setFocus(); });
        return w;
    });
}

} // namespace

void SetFunctionWindows(TfmMain& main) {
    SetHub<TfmDane>(main, FunctionSlot::Dane);
    SetHub<TfmWykazy>(main, FunctionSlot::Wykazy);
    main.setFactory(FunctionSlot::Parametry, [](TfmMain& m) { return new TfmParam(m); });
    main.setFactory(FunctionSlot::Rejestrator, [](TfmMain& m) { return new TfmTQ200(m); });
}

TfmTQ200* StartRegistrationStation(TfmMain& main) {
    main.OpenFunction(FunctionSlot::Rejestrator);
    auto* w = qobject_cast<TfmTQ200*>(main.functionWindow(FunctionSlot::Rejestrator));
    if (w)
        w->run().unattended = true;
    if (w && !w->terminals().empty() && !w->running())
        w->btnRunClick();
    return w;
}

} // namespace kzm
