#include "tools/analytics-collector/Answer.h"

namespace AnalyticsCollector {
namespace {

struct Named {
    Answer answer;
    const char* name;
};
constexpr Named kNames[] = {{Answer::Ok, "ok"},
                            {Answer::Fail, "fail"},
                            {Answer::Empty, "empty"},
                            {Answer::Stall, "stall"},
                            {Answer::Alternate, "alternate"}};

} // namespace

std::optional<Answer> ParseAnswer(std::string_view text) {
    for (const Named& named : kNames)
        if (text == named.name)
            return named.answer;
    return std::nullopt;
}

std::string AnswerName(Answer answer) {
    for (const Named& named : kNames)
        if (answer == named.answer)
            return named.name;
    return "?";
}

} // namespace AnalyticsCollector
