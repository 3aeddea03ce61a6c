#pragma once

#include <QString>
#include <QStringList>
#include <memory>

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
    std::unique_ptr<Impl> d_;
};

} // namespace fb
