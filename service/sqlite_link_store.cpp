#include "service/sqlite_link_store.h"

#include <sqlite3.h>

#include <cstdio>

namespace brenvik {

namespace {

constexpr int kBusyTimeoutMs = 5000;
constexpr auto kVisitFlushInterval = std::chrono::seconds(1);

constexpr const char* kLinkColumns = "alias, long_url, generated, created_at, visits";

void ReportError(sqlite3* db, const char* what) {
    std::fprintf(stderr, "brenvik-shortd: database: %s: %s\n", what,
                 db ? sqlite3_errmsg(db) : "out of memory");
}

// One prepared statement, finalized with its owner.
class Statement {
public:
    Statement() = default;
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Prepare(sqlite3* db, const std::string& sql) {
        return sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size() + 1),
                                  SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr) == SQLITE_OK;
    }
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// Resets the statement and drops its bindings whatever way the caller leaves.
class StatementUse {
public:
    explicit StatementUse(const Statement& statement) : stmt_(statement.get()) {}
    ~StatementUse() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

    void Bind(int index, std::string_view text) {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    }
    void Bind(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
    int Step() { return sqlite3_step(stmt_); }
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3_stmt* stmt_;
};

std::string ColumnText(sqlite3_stmt* stmt, int column) {
    const auto* text = sqlite3_column_text(stmt, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)))
                : std::string();
}

Link ReadLinkRow(sqlite3_stmt* stmt) {
    Link link;
    link.alias = ColumnText(stmt, 0);
    link.longUrl = ColumnText(stmt, 1);
    link.generated = sqlite3_column_int64(stmt, 2) != 0;
    link.createdAt = sqlite3_column_int64(stmt, 3);
    link.visits = sqlite3_column_int64(stmt, 4);
    return link;
}

}  // namespace

struct SqliteLinkStore::Connection {
    sqlite3* db = nullptr;
    Statement begin, beginImmediate, commit, rollback;
    Statement insert, byAlias, generatedFor, addVisits, everyLink;

    ~Connection() {
        // Statements are finalized by their own destructors, which run after this body:
        // close_v2 defers the close until the last one is gone.
        sqlite3_close_v2(db);
    }

    // Runs a statement that returns no data we need (pragmas and schema).
    bool Run(const std::string& sql) {
        Statement statement;
        if (!statement.Prepare(db, sql)) return false;
        int rc;
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        }
        return rc == SQLITE_DONE;
    }

    bool Step(const Statement& statement) {
        StatementUse use(statement);
        return use.Step() == SQLITE_DONE;
    }

    bool Open(const std::string& path, bool isWriter) {
        if (sqlite3_open_v2(path.c_str(), &db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            return false;
        }
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        // FULL: the WAL is synced at every commit, so an acknowledged link is on disk,
        // not only in the kernel's cache (NORMAL would survive kill -9 but not a power cut).
        if (!Run("PRAGMA journal_mode = WAL") || !Run("PRAGMA synchronous = FULL")) return false;
        if (isWriter && !Run("CREATE TABLE IF NOT EXISTS links ("
                             " id INTEGER PRIMARY KEY,"
                             " alias TEXT NOT NULL,"
                             " long_url TEXT NOT NULL,"
                             " generated INTEGER NOT NULL,"
                             " created_at INTEGER NOT NULL,"
                             " visits INTEGER NOT NULL DEFAULT 0)")) {
            return false;
        }
        if (isWriter &&
            (!Run("CREATE UNIQUE INDEX IF NOT EXISTS links_alias ON links(alias)") ||
             // One generated alias per address, so that racing requests for the same
             // address end with one link as well.
             !Run("CREATE UNIQUE INDEX IF NOT EXISTS links_generated_url ON links(long_url)"
                  " WHERE generated = 1"))) {
            return false;
        }
        const std::string columns = kLinkColumns;
        return begin.Prepare(db, "BEGIN") && beginImmediate.Prepare(db, "BEGIN IMMEDIATE") &&
               commit.Prepare(db, "COMMIT") && rollback.Prepare(db, "ROLLBACK") &&
               insert.Prepare(db, "INSERT INTO links (" + columns + ") VALUES (?, ?, ?, ?, ?)") &&
               byAlias.Prepare(db, "SELECT " + columns + " FROM links WHERE alias = ?") &&
               generatedFor.Prepare(
                   db, "SELECT " + columns + " FROM links WHERE long_url = ? AND generated = 1") &&
               addVisits.Prepare(db, "UPDATE links SET visits = visits + ? WHERE alias = ?") &&
               everyLink.Prepare(db, "SELECT " + columns + " FROM links ORDER BY alias");
    }

    InsertOutcome InsertRow(const Link& link) {
        StatementUse use(insert);
        use.Bind(1, link.alias);
        use.Bind(2, link.longUrl);
        use.Bind(3, std::int64_t{link.generated ? 1 : 0});
        use.Bind(4, link.createdAt);
        use.Bind(5, link.visits);
        const int rc = use.Step();
        if (rc == SQLITE_DONE) return InsertOutcome::Inserted;
        if (rc == SQLITE_CONSTRAINT_UNIQUE) return InsertOutcome::Clash;
        ReportError(db, "insert");
        return InsertOutcome::Failed;
    }

    LookupResult Find(const Statement& statement, std::string_view key) {
        StatementUse use(statement);
        use.Bind(1, key);
        const int rc = use.Step();
        if (rc == SQLITE_ROW) return {LookupStatus::Found, ReadLinkRow(use.get())};
        if (rc == SQLITE_DONE) return {LookupStatus::NotFound, {}};
        ReportError(db, "lookup");
        return {LookupStatus::Failed, {}};
    }
};

std::unique_ptr<SqliteLinkStore> SqliteLinkStore::Open(const std::string& path,
                                                       std::string& error) {
    auto writer = std::make_unique<Connection>();
    if (!writer->Open(path, true)) {
        error = writer->db ? sqlite3_errmsg(writer->db) : "out of memory";
        return nullptr;
    }
    return std::unique_ptr<SqliteLinkStore>(new SqliteLinkStore(path, std::move(writer)));
}

SqliteLinkStore::SqliteLinkStore(std::string path, std::unique_ptr<Connection> writer)
    : path_(std::move(path)), writer_(std::move(writer)) {
    writerThread_ = std::thread([this] { RunWriter(); });
}

SqliteLinkStore::~SqliteLinkStore() {
    {
        std::lock_guard lock(queueMutex_);
        stopping_ = true;
    }
    workArrived_.notify_all();
    writerThread_.join();
    idleReaders_.clear();
    writer_.reset();
}

void SqliteLinkStore::RunWriter() {
    auto lastVisitFlush = std::chrono::steady_clock::now();
    std::unique_lock lock(queueMutex_);
    while (true) {
        workArrived_.wait_for(lock, kVisitFlushInterval,
                              [this] { return stopping_ || !queue_.empty(); });
        const auto now = std::chrono::steady_clock::now();
        std::vector<PendingInsert*> group;
        group.swap(queue_);
        VisitCounts visits;
        if (stopping_ || now - lastVisitFlush >= kVisitFlushInterval) {
            visits.swap(pendingVisits_);
            lastVisitFlush = now;
        }
        if (group.empty() && visits.empty()) {
            if (stopping_) return;
            continue;
        }
        lock.unlock();
        WriteGroup(group, visits);
        lock.lock();
        for (PendingInsert* pending : group) pending->done = true;
        groupWritten_.notify_all();
    }
}

void SqliteLinkStore::WriteGroup(const std::vector<PendingInsert*>& group,
                                 const VisitCounts& visits) {
    std::lock_guard lock(writerMutex_);
    Connection& db = *writer_;
    if (!db.Step(db.beginImmediate)) {
        ReportError(db.db, "begin");
        for (PendingInsert* pending : group) pending->outcome = InsertOutcome::Failed;
        return;
    }
    // A clash aborts only its own statement; the rest of the group goes on.
    for (PendingInsert* pending : group) pending->outcome = db.InsertRow(*pending->link);
    for (const auto& [alias, count] : visits) {
        StatementUse use(db.addVisits);
        use.Bind(1, count);
        use.Bind(2, alias);
        if (use.Step() != SQLITE_DONE) ReportError(db.db, "visit count");
    }
    if (!db.Step(db.commit)) {
        ReportError(db.db, "commit");
        db.Step(db.rollback);
        for (PendingInsert* pending : group) pending->outcome = InsertOutcome::Failed;
    }
}

InsertOutcome SqliteLinkStore::Insert(const Link& link) {
    PendingInsert pending;
    pending.link = &link;
    std::unique_lock lock(queueMutex_);
    if (stopping_) return InsertOutcome::Failed;
    queue_.push_back(&pending);
    workArrived_.notify_one();
    groupWritten_.wait(lock, [&pending] { return pending.done; });
    return pending.outcome;
}

std::unique_ptr<SqliteLinkStore::Connection> SqliteLinkStore::TakeReader() {
    {
        std::lock_guard lock(readersMutex_);
        if (!idleReaders_.empty()) {
            auto reader = std::move(idleReaders_.back());
            idleReaders_.pop_back();
            return reader;
        }
    }
    auto reader = std::make_unique<Connection>();
    if (!reader->Open(path_, false)) {
        ReportError(reader->db, "open");
        return nullptr;
    }
    return reader;
}

void SqliteLinkStore::ReturnReader(std::unique_ptr<Connection> reader) {
    std::lock_guard lock(readersMutex_);
    idleReaders_.push_back(std::move(reader));
}

LookupResult SqliteLinkStore::Lookup(bool byAlias, std::string_view key) {
    auto reader = TakeReader();
    if (!reader) return {LookupStatus::Failed, {}};
    LookupResult result = reader->Find(byAlias ? reader->byAlias : reader->generatedFor, key);
    ReturnReader(std::move(reader));
    return result;
}

LookupResult SqliteLinkStore::FindByAlias(std::string_view alias) { return Lookup(true, alias); }

LookupResult SqliteLinkStore::FindGeneratedFor(std::string_view longUrl) {
    return Lookup(false, longUrl);
}

void SqliteLinkStore::CountVisit(std::string_view alias) {
    std::lock_guard lock(queueMutex_);
    auto found = pendingVisits_.find(std::string(alias));
    if (found != pendingVisits_.end()) {
        ++found->second;
    } else {
        pendingVisits_.emplace(alias, 1);
    }
}

BatchOutcome SqliteLinkStore::InsertAll(std::span<const Link> links) {
    BatchOutcome outcome;
    std::lock_guard lock(writerMutex_);
    Connection& db = *writer_;
    if (!db.Step(db.beginImmediate)) {
        ReportError(db.db, "begin");
        return outcome;
    }
    for (std::size_t i = 0; i < links.size(); ++i) {
        const Link& link = links[i];
        const InsertOutcome inserted = db.InsertRow(link);
        if (inserted == InsertOutcome::Inserted) {
            ++outcome.inserted;
            continue;
        }
        if (inserted == InsertOutcome::Clash) {
            const LookupResult existing = db.Find(db.byAlias, link.alias);
            if (existing.status == LookupStatus::Found && existing.link.longUrl == link.longUrl &&
                existing.link.generated == link.generated) {
                ++outcome.alreadyPresent;
                continue;
            }
            outcome.clashAt = i;
        }
        db.Step(db.rollback);
        outcome.inserted = 0;
        outcome.alreadyPresent = 0;
        return outcome;
    }
    if (!db.Step(db.commit)) {
        ReportError(db.db, "commit");
        db.Step(db.rollback);
        outcome.inserted = 0;
        outcome.alreadyPresent = 0;
        return outcome;
    }
    outcome.committed = true;
    return outcome;
}

bool SqliteLinkStore::ForEachLink(const std::function<bool(const Link&)>& visit) {
    auto reader = TakeReader();
    if (!reader) return false;
    bool ok = reader->Step(reader->begin);
    if (ok) {
        StatementUse use(reader->everyLink);
        int rc;
        while ((rc = use.Step()) == SQLITE_ROW) {
            if (!visit(ReadLinkRow(use.get()))) break;
        }
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            ReportError(reader->db, "export");
            ok = false;
        }
    }
    reader->Step(reader->commit);
    ReturnReader(std::move(reader));
    return ok;
}

}  // namespace brenvik
