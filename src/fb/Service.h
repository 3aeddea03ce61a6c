#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace Firebird {
class IXpbBuilder;
}
namespace fb::detail {
class Status;
}

namespace fb {

struct UserAccount {
    QString name;
    QString password;
    QString firstName;
    QString lastName;
};

// The services manager of a server (host given) or of the embedded engine (host empty):
// attaching checks the credentials; accounts are listed and added through it.
class Service {
public:
    Service();
    ~Service();
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    void attach(const QString& host, const QString& user, const QString& password); // throws
    void detach();                                                                  // never throws
    bool attached() const;

    QStringList users();                   // account names, upper case
    void addUser(const UserAccount& user); // throws fb::Error
    void deleteUser(const QString& name);  // throws fb::Error

    struct Impl;

private:
    void requireAttached() const;
    // Starts an action whose parameters `fill` adds, and waits for it to finish.
    void runAction(unsigned char action,
                   const std::function<void(Firebird::IXpbBuilder*, detail::Status&)>& fill);
    std::unique_ptr<Impl> d_;
};

} // namespace fb
