// tachy repair CARD [--dry-run] [--log DIR]: the engine's repair of unfinished recordings.

#include "cli/Command.h"
#include "cli/CommandRunner.h"
#include "cli/ExitCodes.h"
#include "cli/Progress.h"
#include "engine/CArchiveAvi.h"
#include "engine/CRecoverAvi.h"
#include "engine/CStreamCatalogue.h"
#include "platform/folders/SpecialFolder.h"
#include "platform/fs/DirectoryListing.h"
#include "util/avi/AviErrors.h"
#include "util/avi/ParsedAviFile.h"

#include <cstdio>

namespace tachy::cli {
namespace {

// What the repair would touch in one folder: the recordings whose names do not follow the
// naming rule (a recording the recorder had not finished) and the "system_run" marker. The
// same tests as CRecoverAvi, so that the dry run lists what the repair does.
struct FolderPlan {
    std::filesystem::path folder;
    int mode = 0;
    std::vector<std::string> unfinished;
    bool marker = false;
};

FolderPlan Plan(const _AVI_NAME_FORMAT2& format, const std::filesystem::path& folder, int mode) {
    FolderPlan plan{folder, mode, {}, false};
    for (const auto& entry : tachy::DirectoryListing::list(folder, "*.*")) {
        if (entry.isDirectory) {
            continue;
        }
        const std::string& name = entry.name;
        naming::StreamFileName fields;
        int wanted = 0;
        if (name.size() >= 3 && name.compare(name.size() - 3, 3, "avi") == 0 &&
            naming::ParseNameFields(format, name, fields, wanted) < wanted - 1) {
            plan.unfinished.push_back(name);
        }
        plan.marker = plan.marker || name == "system_run";
    }
    return plan;
}

// The folders the card walk visits: the card and its sub-folders to the rule's search depth.
void Collect(const _AVI_NAME_FORMAT2& format, const CStreamCatalogue& catalogue,
             const std::filesystem::path& folder, int depth, std::vector<FolderPlan>& plans) {
    plans.push_back(Plan(format, folder, catalogue.FolderIndex(folder.filename().string())));
    if (depth <= 0) {
        return;
    }
    for (const auto& entry : tachy::DirectoryListing::list(folder, "*.*")) {
        if (entry.isDirectory) {
            Collect(format, catalogue, folder / entry.name, depth - 1, plans);
        }
    }
}

// The rule the card's finished recordings follow (the viewer's choice); the first rule when
// no recording on the card follows any.
bool ChooseRule(const std::filesystem::path& card, const std::filesystem::path& optionFolder,
                _AVI_NAME_FORMAT2& format) {
    const auto rules = tachy::DirectoryListing::list(optionFolder, "FileNameRule_*.ini");
    if (rules.empty()) {
        return false;
    }
    for (const auto& rule : rules) {
        format = naming::ReadNameFormat(optionFolder / rule.name, 2);
        CArchiveAvi reader;
        CStreamCatalogue catalogue(reader);
        catalogue.SetNameFormat(format);
        catalogue.SetDbPath(card.string());
        if (catalogue.CheckRecordMode() == 1 && catalogue.TotalStreamFileCount() > 0) {
            return true;
        }
    }
    format = naming::ReadNameFormat(optionFolder / rules.front().name, 2);
    return true;
}

// What a reader that changes nothing sees in an unfinished file.
std::string Describe(const std::filesystem::path& file) {
    util::ParsedAviFile parsed;
    if (parsed.open(file) != util::kAviOk) {
        return "not readable as a recording; the repair will leave it as it is";
    }
    const util::ParsedAviStream* video = parsed.findStream(tachy::avi::kVids);
    const std::string frames =
        std::to_string(video != nullptr ? video->length() : 0) + " video frames";
    return parsed.indexRebuilt() ? "no index, " + frames + " found in the movie data"
                                 : "indexed, " + frames;
}

int DryRun(const std::vector<FolderPlan>& plans) {
    int count = 0;
    for (const FolderPlan& plan : plans) {
        for (const std::string& name : plan.unfinished) {
            std::printf("would repair %s (%s)\n", (plan.folder / name).c_str(),
                        Describe(plan.folder / name).c_str());
            ++count;
        }
        if (plan.marker) {
            std::printf("would remove %s\n", (plan.folder / "system_run").c_str());
            ++count;
        }
    }
    if (count == 0) {
        std::printf("nothing to repair\n");
    }
    return kExitOk;
}

int Repair(const _AVI_NAME_FORMAT2& format, const std::vector<FolderPlan>& plans,
           const std::filesystem::path& logFolder, bool showProgress) {
    std::error_code error;
    std::filesystem::create_directories(logFolder, error);
    int repaired = 0;
    int wanted = 0;
    Progress progress("repairing", showProgress);
    for (const FolderPlan& plan : plans) {
        if (plan.unfinished.empty() && !plan.marker) {
            continue;
        }
        wanted += static_cast<int>(plan.unfinished.size());
        repaired += CRecoverAvi(format, logFolder.string()).RepairFolder(plan.folder, plan.mode);
        for (const std::string& name : plan.unfinished) {
            (void)name;
            progress.Step(0);
        }
        if (plan.marker) {
            std::printf("%s %s\n",
                        std::filesystem::exists(plan.folder / "system_run") ? "could not remove"
                                                                            : "removed",
                        (plan.folder / "system_run").c_str());
        }
    }
    progress.Finish();
    std::printf("repaired %d of %d unfinished recording(s); recovery log in %s\n", repaired, wanted,
                logFolder.c_str());
    if (repaired < wanted) {
        std::fprintf(stderr,
                     "tachy repair: %d file(s) could not be repaired (see the recovery log)\n",
                     wanted - repaired);
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

int RunRepair(const std::vector<std::string>& words) {
    Prepared prepared = Prepare("repair", words, Arguments({"--log"}, {"--dry-run"}), 1, 1);
    if (!prepared.arguments) {
        return prepared.exitCode;
    }
    const Arguments& arguments = *prepared.arguments;
    const auto options = OptionFolderFor("repair", arguments);
    if (!options) {
        return kExitFailure;
    }
    const std::filesystem::path card = arguments.Positional()[0];
    _AVI_NAME_FORMAT2 format{};
    if (!std::filesystem::is_directory(card)) {
        return Fail("repair", card.string() + " is not a folder", kExitFailure);
    }
    if (!ChooseRule(card, *options, format)) {
        return Fail("repair", "no naming rule in " + *options, kExitFailure);
    }
    CArchiveAvi reader;
    CStreamCatalogue catalogue(reader);
    std::vector<FolderPlan> plans;
    Collect(format, catalogue, card, format.nSearchDepth, plans);
    if (arguments.Has("--dry-run")) {
        return DryRun(plans);
    }
    const std::filesystem::path logFolder =
        arguments.Value("--log")
            ? std::filesystem::path(*arguments.Value("--log"))
            : SpecialFolder::path(SpecialFolder::Kind::ApplicationData) / "tachy" / "log";
    return Repair(format, plans, logFolder, arguments.Has("--progress"));
}

} // namespace tachy::cli
