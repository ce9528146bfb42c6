#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace brenvik {

struct Link {
    std::string alias;
    std::string longUrl;
    bool generated = false;      // the service chose the alias
    std::int64_t createdAt = 0;  // seconds since 1970
    std::int64_t visits = 0;

    bool operator==(const Link&) const = default;
};

enum class InsertOutcome {
    Inserted,
    // A unique index refused the row: the alias is in use, or (for a generated link)
    // the address already has a generated alias.
    Clash,
    Failed,
};

enum class LookupStatus { Found, NotFound, Failed };

struct LookupResult {
    LookupStatus status = LookupStatus::NotFound;
    Link link;
};

struct BatchOutcome {
    bool committed = false;
    std::size_t inserted = 0;
    std::size_t alreadyPresent = 0;  // identical links that were there before
    // When not committed: the index of the link that clashed, if one did.
    std::optional<std::size_t> clashAt;
};

// Where links live. Implementations are safe to call from many threads at once.
// Aliases compare byte for byte.
class LinkStore {
public:
    virtual ~LinkStore() = default;

    // Adds one link; returns only when an Inserted link is durable, so that it may be
    // acknowledged. Clashes are decided by the store's unique indexes.
    virtual InsertOutcome Insert(const Link& link) = 0;
    virtual LookupResult FindByAlias(std::string_view alias) = 0;
    // The generated link made earlier for this address, if any.
    virtual LookupResult FindGeneratedFor(std::string_view longUrl) = 0;
    // Counts one visit; the count may reach storage a little later.
    virtual void CountVisit(std::string_view alias) = 0;

    // Adds all links or none: links already present unchanged are skipped; any other
    // clash or failure leaves the store as it was.
    virtual BatchOutcome InsertAll(std::span<const Link> links) = 0;
    // Calls `visit` for each link in alias order, from one consistent snapshot; stops
    // early when it returns false. False when reading failed.
    virtual bool ForEachLink(const std::function<bool(const Link&)>& visit) = 0;
};

}  // namespace brenvik
