#include "app/check_model.h"

#include <string>
#include <vector>

#include "oof/model_check.h"
#include "oof/model_report.h"

namespace torvale {
namespace {

// Keeps only the reader's refusals, for a check that prints no report.
class RefusalsOnly : public OutputSink {
public:
    explicit RefusalsOnly(OutputSink& out) : out_(out) {}
    void PrintOutput(std::string_view message) override {
        if (message.find("Error: ") != std::string_view::npos)
            out_.PrintOutput(message);
    }

private:
    OutputSink& out_;
};

}  // namespace

ModelCheckResult PrintModelCheck(std::span<const std::uint8_t> oofBytes,
                                 std::string_view fileName,
                                 bool ship,
                                 OutputSink& out,
                                 bool withReport) {
    RefusalsOnly refusals(out);
    OutputSink& report = withReport ? out : refusals;
    ModelCheckOptions options;
    options.ship = ship;
    options.fileName = fileName;
    std::vector<ModelFinding> findings;
    ModelCheckResult result;
    result.read = ReadAndCheckModel(oofBytes, fileName, report, options, findings);
    if (!result.read) {
        out.PrintOutput(ErrorReadingMessage(fileName));
        return result;
    }
    if (withReport)
        out.PrintOutput(FinishedLoadingMessage(fileName));
    PrintModelFindings(fileName, findings, out);
    result.findings = findings.size();
    return result;
}

}  // namespace torvale
