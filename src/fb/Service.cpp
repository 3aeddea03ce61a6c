#include "fb/Service.h"

#include "core/Win1250.h"
#include "fb/Api.h"

#include <vector>

namespace fb {

using namespace detail;

struct Service::Impl {
    Ref<Firebird::IService> svc;
};

namespace {

unsigned readLength(const unsigned char* p) {
    return p[0] | (unsigned(p[1]) << 8);
}

// Waits for the started action to finish, collecting its output lines.
void drain(Firebird::IService* svc, Status& st) {
    const unsigned char items[] = {isc_info_svc_line};
    std::vector<unsigned char> out(1024);
    for (;;) {
        svc->query(&st, 0, nullptr, sizeof items, items, static_cast<unsigned>(out.size()),
                   out.data());
        if (out[0] != isc_info_svc_line || readLength(out.data() + 1) == 0)
            return;
    }
}

} // namespace

Service::Service() : d_(std::make_unique<Impl>()) {}

Service::~Service() {
    detach();
}

bool Service::attached() const {
    return static_cast<bool>(d_->svc);
}

void Service::attach(const QString& host, const QString& user, const QString& password) {
    detach();
    XpbBuilder spb(newXpb(Firebird::IXpbBuilder::SPB_ATTACH));
    Status st;
    const QByteArray name =
        kzm::ToWin1250(host.isEmpty() ? QStringLiteral("service_mgr") : host + ":service_mgr");
    call([&] {
        spb->insertString(&st, isc_spb_user_name, kzm::ToWin1250(user).constData());
        spb->insertString(&st, isc_spb_password, kzm::ToWin1250(password).constData());
        d_->svc.reset(provider()->attachServiceManager(
            &st, name.constData(), spb->getBufferLength(&st), spb->getBuffer(&st)));
    });
}

void Service::detach() {
    if (!d_->svc)
        return;
    Status st;
    try {
        d_->svc->detach(&st);
        d_->svc.release();
    } catch (const Firebird::FbException&) {
        d_->svc.reset();
    }
}

QStringList Service::users() {
    requireAttached();
    QStringList names;
    Status st;
    call([&] {
        const unsigned char action[] = {isc_action_svc_display_user};
        d_->svc->start(&st, sizeof action, action);
        const unsigned char items[] = {isc_info_svc_get_users};
        std::vector<unsigned char> out(65535);
        // The list comes in one or more blocks; an empty block ends it.
        for (;;) {
            d_->svc->query(&st, 0, nullptr, sizeof items, items, static_cast<unsigned>(out.size()),
                           out.data());
            if (out[0] != isc_info_svc_get_users)
                break;
            const unsigned len = readLength(out.data() + 1);
            if (len == 0)
                break;
            const unsigned char* p = out.data() + 3;
            const unsigned char* end = p + len;
            while (p < end) {
                const unsigned char tag = *p++;
                switch (tag) {
                case isc_spb_sec_username:
                case isc_spb_sec_firstname:
                case isc_spb_sec_middlename:
                case isc_spb_sec_lastname:
                case isc_spb_sec_groupname: {
                    const unsigned n = readLength(p);
                    if (tag == isc_spb_sec_username)
                        names << kzm::FromWin1250(QByteArray(reinterpret_cast<const char*>(p + 2),
                                                             static_cast<int>(n)))
                                     .trimmed()
                                     .toUpper();
                    p += 2 + n;
                    break;
                }
                case isc_spb_sec_userid:
                case isc_spb_sec_groupid:
                case isc_spb_sec_admin:
                    p += 4;
                    break;
                default:
                    p = end; // an item this reader does not know: stop safely
                    break;
                }
            }
        }
    });
    return names;
}

void Service::addUser(const UserAccount& user) {
    runAction(isc_action_svc_add_user, [&](Firebird::IXpbBuilder* spb, Status& st) {
        spb->insertString(&st, isc_spb_sec_username, kzm::ToWin1250(user.name).constData());
        spb->insertString(&st, isc_spb_sec_password, kzm::ToWin1250(user.password).constData());
        if (!user.firstName.isEmpty())
            spb->insertString(&st, isc_spb_sec_firstname,
                              kzm::ToWin1250(user.firstName).constData());
        if (!user.lastName.isEmpty())
            spb->insertString(&st, isc_spb_sec_lastname, kzm::ToWin1250(user.lastName).constData());
    });
}

void Service::deleteUser(const QString& name) {
    runAction(isc_action_svc_delete_user, [&](Firebird::IXpbBuilder* spb, Status& st) {
        spb->insertString(&st, isc_spb_sec_username, kzm::ToWin1250(name).constData());
    });
}

void Service::requireAttached() const {
    if (!d_->svc)
        throw Error(0, QStringLiteral("Usługa serwera nie jest dołączona"));
}

void Service::runAction(unsigned char action,
                        const std::function<void(Firebird::IXpbBuilder*, Status&)>& fill) {
    requireAttached();
    XpbBuilder spb(newXpb(Firebird::IXpbBuilder::SPB_START));
    Status st;
    call([&] {
        spb->insertTag(&st, action);
        fill(spb.get(), st);
        d_->svc->start(&st, spb->getBufferLength(&st), spb->getBuffer(&st));
        drain(d_->svc.get(), st);
    });
}

} // namespace fb
