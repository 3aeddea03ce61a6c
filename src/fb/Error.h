#pragma once

#include <QString>
#include <stdexcept>
#include <vector>

namespace fb {

// A failure reported by the database server or the client library: the ISC error code of the
// first status entry and the server's formatted text (lines separated by "\n").
class Error : public std::runtime_error {
public:
    Error(long code, const QString& text, std::vector<long> codes = {});

    long code() const { return code_; }
    const QString& text() const { return text_; }
    // Every ISC code of the status, the first one included.
    const std::vector<long>& codes() const { return codes_; }
    bool has(long code) const;

private:
    long code_;
    QString text_;
    std::vector<long> codes_;
};

// ISC codes the program decides on.
namespace isc {
constexpr long login = 335544472;              // user name and password not defined
constexpr long io_error = 335544344;           // I/O error during file operation
constexpr long unavailable = 335544375;        // server unavailable
constexpr long network_error = 335544721;      // unable to complete network request
constexpr long no_meta_update = 335544351;     // unsuccessful metadata update
constexpr long dsql_error = 335544569;         // dynamic SQL error
constexpr long unique_key = 335544665;         // violation of PRIMARY or UNIQUE KEY constraint
constexpr long deadlock = 335544336;           // deadlock / update conflict
constexpr long lock_conflict = 335544345;      // lock conflict on no wait transaction
constexpr long no_dup = 335544349;             // attempt to store duplicate value in a unique index
constexpr long bad_db_format = 335544323;      // file is not a valid database
constexpr long obj_in_use = 335544453;         // object is in use
constexpr long update_conflict = 335544451;    // update conflicts with concurrent update
constexpr long net_connect_err = 335544722;    // failed to establish a connection
constexpr long conn_lost = 335544648;          // connection lost to database
constexpr long net_read_err = 335544726;       // error reading data from the connection
constexpr long net_write_err = 335544727;      // error writing data to the connection
constexpr long lost_db_connection = 335544741; // connection lost to database
constexpr long shutdown = 335544528;           // database shutdown
constexpr long att_shutdown = 335544856;       // connection shutdown
} // namespace isc

} // namespace fb
