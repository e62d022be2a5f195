#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace AnalyticsCollector {

// How the collector answers posts: accept (200, records written), fail (500), answer without content
// (204), never answer (stall), or fail and accept in turn, failing first (alternate).
enum class Answer { Ok, Fail, Empty, Stall, Alternate };

std::optional<Answer> ParseAnswer(std::string_view text);
std::string AnswerName(Answer answer);

} // namespace AnalyticsCollector
