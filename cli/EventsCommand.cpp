// tachy events CARD|FILE [--brake G --impact G --turn G] [--json]: incidents in the G-sensor data.

#include "cli/Command.h"
#include "cli/CommandRunner.h"
#include "cli/ExitCodes.h"
#include "cli/IncidentFinder.h"
#include "cli/Progress.h"
#include "cli/TextEscape.h"
#include "cli/TimeText.h"

#include <cstdio>

namespace tachy::cli {
namespace {

// Reads a threshold option; false when it is given but not a positive number.
bool Threshold(const Arguments& arguments, const char* option, double& value) {
    bool ok = true;
    const auto number = arguments.Number(option, ok);
    if (!ok || (number && !(*number > 0))) {
        return false;
    }
    value = number.value_or(value);
    return true;
}

std::string KindText(const Incident& incident) {
    std::string text = Incident::KindName(incident.kind);
    if (incident.kind == Incident::Kind::SharpTurn) {
        text += incident.right ? " (right)" : " (left)";
    }
    return text;
}

void PrintLines(const std::vector<Incident>& incidents) {
    for (const Incident& incident : incidents) {
        std::printf("%s.%03d  %-23s %.2f g  %5.1f s  %s\n", DateTimeText(incident.startMs).c_str(),
                    static_cast<int>(incident.startMs % 1000), KindText(incident).c_str(),
                    incident.peakG, static_cast<double>(incident.endMs - incident.startMs) / 1000,
                    incident.file.c_str());
    }
}

void PrintJson(const std::vector<Incident>& incidents, const IncidentThresholds& thresholds) {
    std::printf("{\n  \"thresholds\": {\"brake\": %.3f, \"impact\": %.3f, \"turn\": %.3f},\n  "
                "\"incidents\": [",
                thresholds.brakeG, thresholds.impactG, thresholds.turnG);
    for (std::size_t i = 0; i < incidents.size(); ++i) {
        const Incident& incident = incidents[i];
        std::printf(
            "%s\n    {\"kind\": %s, \"start\": %s, \"startMs\": %lld, \"endMs\": %lld, "
            "\"peakMs\": %lld, \"peakG\": %.3f, %s\"file\": %s}",
            i > 0 ? "," : "", JsonString(Incident::KindName(incident.kind)).c_str(),
            JsonString(IsoTimeText(incident.startMs)).c_str(),
            static_cast<long long>(incident.startMs), static_cast<long long>(incident.endMs),
            static_cast<long long>(incident.peakMs), incident.peakG,
            incident.kind == Incident::Kind::SharpTurn
                ? (incident.right ? "\"direction\": \"right\", " : "\"direction\": \"left\", ")
                : "",
            JsonString(incident.file).c_str());
    }
    std::printf("\n  ]\n}\n");
}

} // namespace

int RunEvents(const std::vector<std::string>& words) {
    Prepared prepared =
        Prepare("events", words, Arguments({"--brake", "--impact", "--turn"}, {"--json"}), 1, 1);
    if (!prepared.arguments) {
        return prepared.exitCode;
    }
    const Arguments& arguments = *prepared.arguments;
    IncidentThresholds thresholds;
    if (!Threshold(arguments, "--brake", thresholds.brakeG) ||
        !Threshold(arguments, "--impact", thresholds.impactG) ||
        !Threshold(arguments, "--turn", thresholds.turnG)) {
        return Fail("events", "thresholds are positive numbers of g", kExitUsage);
    }
    const auto options = OptionFolderFor("events", arguments);
    if (!options) {
        return kExitFailure;
    }
    TrackSource source;
    std::string error;
    {
        Progress progress("reading the card", arguments.Has("--progress"));
        if (!source.Read(arguments.Positional()[0], *options, progress, error)) {
            return Fail("events", error, kExitFailure);
        }
    }
    const std::vector<Incident> incidents = IncidentFinder(thresholds).Find(source.Files());
    if (arguments.Has("--json")) {
        PrintJson(incidents, thresholds);
    } else {
        PrintLines(incidents);
    }
    return kExitOk;
}

} // namespace tachy::cli
