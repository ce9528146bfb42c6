#include "service/link_transfer.h"

#include <vector>

#include "service/flat_json_reader.h"
#include "service/json_writer.h"
#include "service/link_rules.h"

namespace brenvik {

namespace {

constexpr std::size_t kMaxLineBytes = 1 << 20;

template <typename T>
const T* Member(const FlatJsonObject& object, std::string_view name, bool& wrongType) {
    const auto found = object.find(name);
    if (found == object.end()) return nullptr;
    const T* value = std::get_if<T>(&found->second);
    if (value == nullptr) wrongType = true;
    return value;
}

// Reads one line without its end; false at end of input. A line longer than the
// limit sets `tooLong`.
bool ReadLine(std::FILE* in, std::string& line, bool& tooLong) {
    line.clear();
    int c;
    bool any = false;
    while ((c = std::fgetc(in)) != EOF) {
        any = true;
        if (c == '\n') return true;
        if (line.size() >= kMaxLineBytes) {
            tooLong = true;
            return true;
        }
        line.push_back(static_cast<char>(c));
    }
    return any;
}

}  // namespace

std::string LinkToJsonLine(const Link& link) {
    return JsonObjectWriter()
        .Add("alias", link.alias)
        .Add("longurl", link.longUrl)
        .Add("generated", link.generated)
        .Add("created", link.createdAt)
        .Add("visits", link.visits)
        .Finish();
}

std::optional<Link> LinkFromJsonLine(std::string_view line, std::string& why) {
    const auto object = ReadFlatJsonObject(line);
    if (!object) {
        why = "not a flat JSON object";
        return std::nullopt;
    }
    bool wrongType = false;
    const auto* alias = Member<std::string>(*object, "alias", wrongType);
    const auto* longUrl = Member<std::string>(*object, "longurl", wrongType);
    const auto* generated = Member<bool>(*object, "generated", wrongType);
    const auto* created = Member<std::int64_t>(*object, "created", wrongType);
    const auto* visits = Member<std::int64_t>(*object, "visits", wrongType);
    if (wrongType) {
        why = "a member has the wrong type";
        return std::nullopt;
    }
    if (alias == nullptr || longUrl == nullptr || alias->empty()) {
        why = "alias and longurl are required";
        return std::nullopt;
    }
    if (const char* broken = CheckAlias(*alias)) {
        why = std::string("alias: ") + broken;
        return std::nullopt;
    }
    if (const char* broken = CheckLongUrl(*longUrl, {})) {
        why = std::string("longurl: ") + broken;
        return std::nullopt;
    }
    if (visits != nullptr && *visits < 0) {
        why = "visits is negative";
        return std::nullopt;
    }
    Link link;
    link.alias = *alias;
    link.longUrl = *longUrl;
    link.generated = generated != nullptr && *generated;
    link.createdAt = created ? *created : 0;
    link.visits = visits ? *visits : 0;
    return link;
}

bool ExportLinks(LinkStore& store, std::FILE* out, std::string& error) {
    bool written = true;
    const bool read = store.ForEachLink([&](const Link& link) {
        const std::string line = LinkToJsonLine(link) + "\n";
        written = std::fwrite(line.data(), 1, line.size(), out) == line.size();
        return written;
    });
    if (std::fflush(out) != 0) written = false;
    if (!read) error = "cannot read the links from the database";
    if (!written) error = "cannot write the export";
    return read && written;
}

ImportReport ImportLinks(LinkStore& store, std::FILE* in) {
    ImportReport report;
    std::vector<Link> links;
    std::vector<std::size_t> lineNumbers;
    std::string line;
    std::size_t lineNumber = 0;
    bool tooLong = false;
    while (ReadLine(in, line, tooLong)) {
        ++lineNumber;
        if (tooLong) {
            report.error = "line " + std::to_string(lineNumber) + ": longer than 1 MiB";
            return report;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        std::string why;
        auto link = LinkFromJsonLine(line, why);
        if (!link) {
            report.error = "line " + std::to_string(lineNumber) + ": " + why;
            return report;
        }
        links.push_back(std::move(*link));
        lineNumbers.push_back(lineNumber);
    }
    if (std::ferror(in)) {
        report.error = "cannot read the input";
        return report;
    }
    const BatchOutcome outcome = store.InsertAll(links);
    if (!outcome.committed) {
        report.error = outcome.clashAt
                           ? "line " + std::to_string(lineNumbers[*outcome.clashAt]) +
                                 ": the alias (or the generated link for this address) is "
                                 "already used differently; nothing was imported"
                           : "cannot write to the database; nothing was imported";
        return report;
    }
    report.ok = true;
    report.inserted = outcome.inserted;
    report.alreadyPresent = outcome.alreadyPresent;
    return report;
}

}  // namespace brenvik
