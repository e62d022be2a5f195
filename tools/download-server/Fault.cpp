#include "tools/download-server/Fault.h"

#include <charconv>
#include <limits>

namespace DownloadServer {
namespace {

template <typename Number> std::optional<Number> ParseNumber(std::string_view text, Number min, Number max) {
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < min ||
        value > max)
        return std::nullopt;
    return value;
}

} // namespace

FaultParse ParseFault(std::string_view list) {
    Fault fault;
    std::optional<bool> getOnly;
    bool anyEffect = false;
    while (true) {
        const size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        const size_t equals = item.find('=');
        const std::string_view key = item.substr(0, equals);
        const std::string_view value = equals == std::string_view::npos ? "" : item.substr(equals + 1);
        const bool hasValue = equals != std::string_view::npos;
        auto invalid = [&] {
            return FaultParse{std::nullopt, "invalid fault item '" + std::string(item) + "'"};
        };

        if (key == "cut") {
            fault.cutAfter = ParseNumber<std::uint64_t>(value, 0, std::numeric_limits<std::uint64_t>::max());
            if (!fault.cutAfter)
                return invalid();
        } else if (key == "reset" && !hasValue) {
            fault.reset = true;
        } else if (key == "stall" && !hasValue) {
            fault.stall = true;
        } else if (key == "status") {
            // Below 200 the answer would not be a final one.
            fault.status = ParseNumber(value, 200, 599);
            if (!fault.status)
                return invalid();
        } else if (key == "nolength" && !hasValue) {
            fault.noLength = true;
        } else if (key == "norange" && !hasValue) {
            fault.noRange = true;
        } else if (key == "overrange") {
            auto extra = ParseNumber<std::uint64_t>(value, 1, std::numeric_limits<std::uint64_t>::max());
            if (!extra)
                return invalid();
            fault.overRange = *extra;
        } else if (key == "delay") {
            auto ms = ParseNumber<long>(value, 0, 3'600'000);
            if (!ms)
                return invalid();
            fault.delay = std::chrono::milliseconds(*ms);
        } else if ((key == "head" && value == "ok") || (key == "get" && !hasValue)) {
            getOnly = true;
        } else if (key == "times") {
            fault.times = ParseNumber(value, 1u, std::numeric_limits<unsigned>::max());
            if (!fault.times)
                return invalid();
        } else {
            return invalid();
        }
        if (key != "head" && key != "get" && key != "times")
            anyEffect = true;
        if (comma == std::string_view::npos)
            break;
        list.remove_prefix(comma + 1);
    }

    if (!anyEffect)
        return {std::nullopt, "the fault changes nothing"};
    const bool shapesBody =
        fault.cutAfter || fault.stall || fault.noLength || fault.noRange || fault.overRange;
    if ((fault.reset || fault.status) && shapesBody)
        return {std::nullopt, "reset and status send no body, so no body fault goes with them"};
    if (fault.reset && fault.status)
        return {std::nullopt, "reset and status exclude each other"};
    if (fault.stall && fault.cutAfter)
        return {std::nullopt, "stall and cut exclude each other"};
    // A HEAD has no body to damage, but a failing status or a dropped connection is worth seeing there.
    fault.getOnly = getOnly.value_or(!fault.reset && !fault.status && shapesBody);
    return {fault, {}};
}

} // namespace DownloadServer
