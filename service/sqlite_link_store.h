#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "service/link_store.h"

namespace brenvik {

// Links in one SQLite file (WAL journal, synchronous=FULL, unique index on the alias).
//
// Creates from all request threads go to one writer thread, which commits whatever
// has queued up in a single transaction and then wakes the waiting requests: one
// fsync acknowledges a whole group, and every acknowledged link is on disk, so it
// survives a killed process and a power cut alike. Visit counts are gathered in
// memory and written with the next group, at least once a second and at close.
// Reads use a pool of connections of their own, which WAL lets run beside the writer.
class SqliteLinkStore final : public LinkStore {
public:
    // Opens (creating when missing) the database at `path`. Null when it cannot be
    // opened or set up; `error` then says why.
    static std::unique_ptr<SqliteLinkStore> Open(const std::string& path, std::string& error);
    // Writes the visit counts still pending and closes every connection.
    ~SqliteLinkStore() override;
    SqliteLinkStore(const SqliteLinkStore&) = delete;
    SqliteLinkStore& operator=(const SqliteLinkStore&) = delete;

    InsertOutcome Insert(const Link& link) override;
    LookupResult FindByAlias(std::string_view alias) override;
    LookupResult FindGeneratedFor(std::string_view longUrl) override;
    void CountVisit(std::string_view alias) override;
    BatchOutcome InsertAll(std::span<const Link> links) override;
    bool ForEachLink(const std::function<bool(const Link&)>& visit) override;

    struct Connection;

private:
    struct PendingInsert {
        const Link* link = nullptr;
        InsertOutcome outcome = InsertOutcome::Failed;
        bool done = false;
    };
    using VisitCounts = std::unordered_map<std::string, std::int64_t>;

    SqliteLinkStore(std::string path, std::unique_ptr<Connection> writer);

    void RunWriter();
    void WriteGroup(const std::vector<PendingInsert*>& group, const VisitCounts& visits);
    std::unique_ptr<Connection> TakeReader();
    void ReturnReader(std::unique_ptr<Connection> reader);
    LookupResult Lookup(bool byAlias, std::string_view key);

    const std::string path_;

    std::mutex writerMutex_;  // one user of the writing connection at a time
    std::unique_ptr<Connection> writer_;

    std::mutex queueMutex_;
    std::condition_variable workArrived_;
    std::condition_variable groupWritten_;
    std::vector<PendingInsert*> queue_;
    VisitCounts pendingVisits_;
    bool stopping_ = false;
    std::thread writerThread_;

    std::mutex readersMutex_;
    std::vector<std::unique_ptr<Connection>> idleReaders_;
};

}  // namespace brenvik
