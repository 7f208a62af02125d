#include "core/finding_lines.h"

#include <algorithm>
#include <vector>

#include "core/number_text.h"

namespace torvale {

void PrintFindingLines(std::string_view check,
                       std::string_view fileName,
                       std::span<const FindingLine> findings,
                       const std::function<std::string_view(int)>& pluralOfKind,
                       OutputSink& out) {
    std::vector<const FindingLine*> order;
    order.reserve(findings.size());
    for (const FindingLine& finding : findings)
        order.push_back(&finding);
    std::stable_sort(order.begin(), order.end(),
                     [](const FindingLine* a, const FindingLine* b) { return a->kind < b->kind; });

    const std::string crlf(kCrLf);
    for (std::size_t at = 0; at < order.size();) {
        const int kind = order[at]->kind;
        std::size_t shown = 0;
        std::size_t end = at;
        for (; end < order.size() && order[end]->kind == kind; ++end) {
            if (shown < kFindingLinesPerKind) {
                out.PrintOutput(order[end]->line + crlf);
                ++shown;
            }
        }
        if (end - at > shown) {
            out.PrintOutput("Warning: " + std::string(fileName) + ": ... and " +
                            FormatInteger(static_cast<std::int64_t>(end - at - shown)) + " more " +
                            std::string(pluralOfKind(kind)) + crlf);
        }
        at = end;
    }

    std::string summary = std::string(check) + " of " + std::string(fileName) + ": ";
    if (findings.empty())
        summary += "no findings";
    else if (findings.size() == 1)
        summary += "1 finding";
    else
        summary += FormatInteger(static_cast<std::int64_t>(findings.size())) + " findings";
    out.PrintOutput(summary + crlf);
}

}  // namespace torvale
