#pragma once
#include "engine/TableDef.h"
#include "schema/SchemaError.h"
#include "schema/Tables.h"
#include "schema/UserRights.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vm {
class Cursor;
class Database;
} // namespace vm

// Creating a data root, a company and the per-session work tables.
//
// Paths: the user names a root DIR; the data root (DataDir) is
// DIR/Valmorand/data; company n lives in DataDir immediately followed by n
// (DIR/Valmorand/data1, .../data12).
namespace vm::schema {

constexpr int kSessionSlots = 16; // session rows 0..15
constexpr int kMaxCompany = 9999;

std::string dataDirOf(const std::string& root);
std::string companyDirOf(const std::string& dataDir, int company);
// "car_temp", 3 -> "car_temp3"
std::string workTableName(std::string_view stem, int sessionId);

struct UserRecord {
    std::string password; // stored in upper case: the login upper-cases what is typed
    std::string code;
    std::string name;
    int detail = 0;
    int language = 0; // 0 keeps the workstation's language
    int company = 1;
    std::string printer;
    UserRights rights;
};

// Serialises creation in one data root: creating the data root and creating
// any of its companies run under this lock for their whole length, so that
// two processes (workstations, admin runs) never build the same thing at
// once. It is an exclusive lock on the file "<dataDir>.lock" beside the data
// root; the parent directories of the data root are made when missing. On a
// server it is a lock held on a connection of its own and keyed from the
// data root's schema (Database::tryLockName), which the server drops with
// the connection of a process that dies. Blocks until the lock is free;
// released on destruction.
class CreationLock {
public:
    explicit CreationLock(const std::string& dataDir);
    ~CreationLock();
    CreationLock(const CreationLock&) = delete;
    CreationLock& operator=(const CreationLock&) = delete;

    const std::string& dataDir() const { return dataDir_; }
    // On release, also remove the lock file and the parent directories that
    // were made for it (a data root whose creation failed leaves nothing).
    void discardOnRelease() { discard_ = true; }

private:
    std::string dataDir_, file_;
    std::unique_ptr<Database> server_; // holds the lock on a server
    int fd_ = -1;
    std::vector<std::string> madeDirs_; // deepest first
    bool discard_ = false;
};

// Creates the data root in dataDir (made, with its parents, when missing):
// every system table, the session and virmem rows 0..15, the languages
// English and French, the templates car_temp0, car_temp1 and artmp, and the
// given users. Throws SchemaError when dataDir is not a usable directory or
// already holds a database; on any failure nothing is left behind. Runs under
// the CreationLock; the database appears only when complete, and what a
// creation that was killed left is cleared by the next one.
void createDataRoot(const std::string& dataDir, const std::vector<UserRecord>& users = {});
bool isDataRoot(const std::string& dataDir);

// The language a company's own data is written in; numbered as
// User_language.
enum class Language { English = 1, French = 2 };

// The texts a new company starts with in its language.
struct CompanyTexts {
    std::array<const char*, 13> periods;       // Period_mth of periods 1..13
    std::array<const char*, 5> agingColumns;   // Ctrl_ar_dname1..5 and Ctrl_ap_dname1..5
    std::array<const char*, 5> paymentMethods; // Ctrl_pmt_name1..5
    const char* dollars;                       // Ctrl_dollars1..5, cheque words
    const char* cents;                         // Ctrl_cents1..5
};
const CompanyTexts& companyTexts(Language language);

// Adds company n: its comp row in the data root and its directory with every
// company table, the single ctrl row (defaults below) and Periods 1..13, in
// the given language. Throws SchemaError when n is out of 1..9999, the name
// is empty or longer than Comp_Name holds, dataDir is not a data root, or
// the company or its directory already exists; on any failure nothing is
// left behind. Runs under the CreationLock; the company is listed only when
// complete, and what a creation that was killed left (an unlisted company
// directory holding ".unfinished") is cleared by the next one. The data root
// must not be inside another connection's write transaction.
void createCompany(const std::string& dataDir, int company, const std::string& name,
                   Language language = Language::English);
// The same under a creation lock the caller already holds (the caller checks
// and fills the company under the same lock).
void createCompany(const CreationLock& lock, int company, const std::string& name,
                   Language language = Language::English);
// Takes company n out of the list and removes its tables (its directory,
// or on a server every table of its schema): undoes a creation that the
// caller could not complete under the same lock.
void discardCompany(const CreationLock& lock, int company);
// Gives a company the standard statement layout, printed (arecfrm,
// arecfrm1, arecfrm2) and mailed (Earecfrm*), with its texts in `language`
// and the aging names of its control row: company, client, date and page,
// the lines' date, invoice, debit, credit and balance, the five buckets,
// interest and total due. A layout of which any row exists is left as it is.
// Runs in the caller's transaction when there is one, else in its own.
// Returns whether anything was written.
bool writeDefaultStatementLayouts(Database& company, Language language);
// Whether company n is in the data root's list of companies.
bool companyListed(Database& dataRoot, int company);

// Adds a user to the data root's user table; kKeyViolation when the password
// is taken.
void addUser(Database& dataRoot, const UserRecord& user);
// ADMIN "Administrator" (every right) and CLERK "Counter Clerk" (the
// receivables Transactions group only), both on company 1, English.
std::vector<UserRecord> standardUsers();

// Per-session work tables in the company directory, each replacing any table
// of the same name. sessionId 0 is a valid session (suffix "0").
// Cash receipts: car_temp N and artmp N from the data root's templates
// car_temp0 and artmp, and cxtmp N with its one row of zero totals.
void createCashReceiptWorkTables(Database& companyDb, Database& dataRootDb, int sessionId);
// Cash disbursements: car_temp N (template car_temp1), aptmp N, cxtmp N.
void createDisbursementWorkTables(Database& companyDb, Database& dataRootDb, int sessionId);
// Cheque editing: apchqdtmp N (no index) and car_temp N (template car_temp1).
void createChequeWorkTables(Database& companyDb, Database& dataRootDb, int sessionId);
// Recurring cheques: apchqdtmp N only.
void createChequeLinesWorkTable(Database& companyDb, int sessionId);
// Client inquiry: Cartmp N.
void createInquiryWorkTable(Database& companyDb, int sessionId);

// Sets every field of the row being inserted to its type's empty value (""
// for text, 0, false), leaving dates, stamps and auto-increments blank, so
// that a new row carries no nulls where readers expect values.
void fillBlank(Cursor& cursor);

} // namespace vm::schema
