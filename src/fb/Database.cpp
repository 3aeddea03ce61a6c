#include "fb/Database.h"

#include "core/Win1250.h"
#include "fb/Api.h"

#include <algorithm>

namespace fb {

using namespace detail;

DatabasePath DatabasePath::parse(const QString& connectionString) {
    DatabasePath p;
    QString s = connectionString.trimmed();
    const int colon = s.indexOf(':');
    if (colon > 1 && !s.startsWith('/') && !s.startsWith('\\')) {
        p.host = s.left(colon).trimmed();
        s = s.mid(colon + 1);
    }
    p.file = s.replace('\\', '/');
    return p;
}

QString DatabasePath::connectionString() const {
    return host.isEmpty() ? file : host + ':' + file;
}

Database::Database() : d_(std::make_unique<Impl>()) {}

Database::~Database() {
    disconnect();
}

bool Database::connected() const {
    return static_cast<bool>(d_->att);
}

void Database::connect(const ConnectParams& params) {
    disconnect();
    params_ = params;
    XpbBuilder dpb(newXpb(Firebird::IXpbBuilder::DPB));
    Status st;
    call([&] {
        dpb->insertString(&st, isc_dpb_user_name, kzm::ToWin1250(params.user).constData());
        dpb->insertString(&st, isc_dpb_password, kzm::ToWin1250(params.password).constData());
        if (!params.role.isEmpty())
            dpb->insertString(&st, isc_dpb_sql_role_name, kzm::ToWin1250(params.role).constData());
        if (!params.charset.isEmpty())
            dpb->insertString(&st, isc_dpb_lc_ctype, params.charset.toLatin1().constData());
        dpb->insertInt(&st, isc_dpb_sql_dialect, params.dialect);
        if (params.pageBuffers > 0)
            dpb->insertInt(&st, isc_dpb_num_buffers, params.pageBuffers);
        const QByteArray name = kzm::ToWin1250(DatabasePath::parse(params.path).connectionString());
        d_->att.reset(provider()->attachDatabase(&st, name.constData(), dpb->getBufferLength(&st),
                                                 dpb->getBuffer(&st)));
    });
}

void Database::endTransactions() {
    for (Transaction* t : std::vector<Transaction*>(transactions_)) {
        t->rollbackQuietly();
        t->forget();
    }
}

void Database::disconnect() {
    endTransactions();
    if (!d_->att)
        return;
    Status st;
    try {
        d_->att->detach(&st);
        d_->att.release(); // detach released the interface
    } catch (const Firebird::FbException&) {
        d_->att.reset(); // a dead connection: drop our reference anyway
    }
}

void Database::dropDatabase() {
    if (!d_->att)
        throw Error(0, QStringLiteral("Brak połączenia z bazą danych"));
    endTransactions();
    Status st;
    call([&] { d_->att->dropDatabase(&st); });
    d_->att.release(); // dropDatabase released the interface
}

void Database::createDatabase(const QString& createStatement, int dialect) {
    const QByteArray sql = kzm::ToWin1250(createStatement);
    Status st;
    call([&] {
        FB_BOOLEAN isCreate = 0;
        Ref<Firebird::IAttachment> att(util()->executeCreateDatabase(
            &st, static_cast<unsigned>(sql.size()), sql.constData(), dialect, &isCreate));
        if (!isCreate || !att)
            throw Error(0, QStringLiteral("To nie jest polecenie CREATE DATABASE"));
        att->detach(&st);
        att.release();
    });
}

void Database::attach(Transaction* t) {
    transactions_.push_back(t);
}

void Database::detach(Transaction* t) {
    transactions_.erase(std::remove(transactions_.begin(), transactions_.end(), t),
                        transactions_.end());
}

} // namespace fb
