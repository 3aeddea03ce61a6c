#include "app/Program.h"

#include "app/TfmMain.h"
#include "lists/forms/TfmWykazy.h"
#include "terminals/forms/TfmParam.h"
#include "terminals/forms/TfmTQ200.h"

#include <QPushButton>

namespace kzm {

void SetFunctionWindows(TfmMain& main) {
    main.setFactory(FunctionSlot::Wykazy, [](TfmMain& m) {
        auto* w = new TfmWykazy(m);
        // A closed hub leaves the focus on the button that opens it.
        QPushButton* button = m.button(FunctionSlot::Wykazy);
        QObject::connect(w, &TfmWykazy::closed, button, [button] { button->setFocus(); });
        return w;
    });
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
