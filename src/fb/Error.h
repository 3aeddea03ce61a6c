#pragma once

#include <QString>
#include <stdexcept>

namespace fb {

// A failure reported by the database server or the client library: the ISC error code of the
// first status entry and the server's formatted text (lines separated by "\n").
class Error : public std::runtime_error {
public:
    Error(long code, const QString& text);

    long code() const { return code_; }
    const QString& text() const { return text_; }

private:
    long code_;
    QString text_;
};

// ISC codes the program decides on.
namespace isc {
constexpr long login = 335544472;          // user name and password not defined
constexpr long io_error = 335544344;       // I/O error during file operation
constexpr long unavailable = 335544375;    // server unavailable
constexpr long network_error = 335544721;  // unable to complete network request
constexpr long no_meta_update = 335544351; // unsuccessful metadata update
constexpr long dsql_error = 335544569;     // dynamic SQL error
constexpr long unique_key = 335544665;     // violation of PRIMARY or UNIQUE KEY constraint
constexpr long deadlock = 335544336;       // deadlock / update conflict
constexpr long lock_conflict = 335544345;  // lock conflict on no wait transaction
constexpr long no_dup = 335544349;         // attempt to store duplicate value in a unique index
} // namespace isc

} // namespace fb
