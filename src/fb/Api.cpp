#include "fb/Api.h"

#include "core/Win1250.h"

#include <QByteArray>
#include <vector>

namespace fb::detail {

Firebird::IMaster* master() {
    static Firebird::IMaster* m = Firebird::fb_get_master_interface();
    return m;
}

Firebird::IUtil* util() {
    static Firebird::IUtil* u = master()->getUtilInterface();
    return u;
}

namespace {

// The embedded engine runs threads of its own; they must be stopped before the process
// tears down its statics, or they may run into freed memory at exit.
struct EngineShutdown {
    Firebird::IProvider* p;
    ~EngineShutdown() {
        Firebird::IStatus* status = master()->getStatus();
        Firebird::CheckStatusWrapper st(status);
        p->shutdown(&st, 0, fb_shutrsn_app_stopped);
        status->dispose();
    }
};

} // namespace

Firebird::IProvider* provider() {
    static Firebird::IProvider* p = master()->getDispatcher();
    static EngineShutdown shutdown{p};
    return p;
}

Error errorFrom(Firebird::IStatus* status) {
    const intptr_t* errors = status->getErrors();
    const long code = (errors && errors[0] == isc_arg_gds) ? static_cast<long>(errors[1]) : 0;
    std::vector<long> codes;
    for (const intptr_t* p = errors; p && *p != isc_arg_end;) {
        if (*p == isc_arg_gds)
            codes.push_back(static_cast<long>(p[1]));
        p += *p == isc_arg_cstring ? 3 : 2;
    }
    std::vector<char> buf(4096);
    const unsigned len =
        util()->formatStatus(buf.data(), static_cast<unsigned>(buf.size()), status);
    QString text = kzm::FromWin1250(QByteArray(buf.data(), static_cast<int>(len))).trimmed();
    return Error(code, text, std::move(codes));
}

Firebird::IXpbBuilder* newXpb(unsigned kind) {
    Status st;
    return call([&] { return util()->getXpbBuilder(&st, kind, nullptr, 0); });
}

} // namespace fb::detail
