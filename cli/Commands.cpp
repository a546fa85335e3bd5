#include "cli/Command.h"

namespace tachy::cli {
namespace {

constexpr const char* kCommon = R"(
Common options:
  --data DIR     the program folder that holds _option/ (naming rules, option.ini);
                 default: beside the program, then ../share/tachy
  --progress     show progress on stderr even when it is not a terminal
  -h, --help     this help
Exit codes: 0 done, 1 failed, 2 wrong command line, 128 + N stopped by signal N
(130 Ctrl-C, 143 SIGTERM; clip and export).
)";

const std::string kListHelp = std::string(R"(Usage: tachy list CARD [--json]
Lists the recordings of a card or folder per record mode (normal, event, parking, manual):
start (UTC), length, channels, video codec, size on the card and the front camera's file.
  --json         one JSON document instead of the table
)") + kCommon;

const std::string kInfoHelp = std::string(R"(Usage: tachy info FILE [--json]
Describes one recording file: its streams (type, codec, size, rate, samples, key frames),
its figures (duration, frames, start time) and the kinds and counts of its driving data.
  --json         one JSON document instead of the text
)") + kCommon;

const std::string kTrackHelp =
    std::string(R"(Usage: tachy track CARD|FILE --format gpx|kml|csv|geojson [-o OUT]
Writes the route of a card's recordings (or of one file) with time, position, speed and
G-forces. GPX and KML hold the samples that have a position; CSV and GeoJSON every sample.
  --format F     gpx, kml, csv or geojson
  -o, --output OUT   the file to write (default: stdout)
)") +
    kCommon;

const std::string kEventsHelp =
    std::string(R"(Usage: tachy events CARD|FILE [--brake G] [--impact G] [--turn G] [--json]
Finds incidents in the G-sensor data: hard braking (deceleration above --brake, default 0.4 g),
impacts (a jolt whose size apart from gravity is above --impact, default 0.6 g) and sharp
turns (sideways force above --turn, default 0.2 g). One line per incident: its start (UTC),
kind, peak in g, duration and the file it lies in.
  --json         one JSON document instead of the lines
)") +
    kCommon;

const std::string kRepairHelp = std::string(R"(Usage: tachy repair CARD [--dry-run]
Repairs the recordings a power cut left unfinished, as the viewer does when it opens a card:
their index is rebuilt, the file renamed by the naming rule, the recorder's "system_run"
marker removed; each step is written to the recovery log. Exit 1 when a file could not
be repaired.
  --dry-run      only list what would be repaired or removed; nothing on the card changes
  --log DIR      the folder of the recovery log vlYYYYMMDD.log (default ~/.config/tachy/log)
)") + kCommon;

const std::string kSettingsHelp =
    std::string(R"(Usage: tachy settings show|check|set FILE [OFFSET=VALUE ...] [--force]
The recorder's settings file (FILE is the file itself, or a card whose settings file is found
as option.ini says). The page and the model, maker and structure version the file must carry
come from option.ini.
  show           the text fields and every setting byte of the page with its choices
  check          whether the file is valid (size, checksum, maker, model); exit 1 when not
  set            stores OFFSET=VALUE settings (a choice of the page), updates the checksum and
                 writes the file safely (temporary file, read back, rename)
  --force        set: also a change that the recorder only takes on a freshly formatted card
  --code-page N  the ANSI code page of the text fields (1252 or 949; default 1252)
)") +
    kCommon;

const std::string kTimesetHelp = std::string(R"(Usage: tachy timeset CARD [TIME]
Writes the recorder's clock file (timeset.txt in the card's settings folder) so that the
recorder sets its clock to TIME ("YYYY-MM-DD HH:MM:SS") when it next starts; without TIME,
this computer's local time now.
)") + kCommon;

const std::string kFormatImageHelp =
    std::string(R"(Usage: tachy format-image IMAGE [--cluster N] [--label L]
Writes a fresh FAT32 file system onto a card image file (at least 32 MB, 512-byte sectors).
  --cluster N    sectors per cluster (1, 2, 4, ... 128); default: chosen from the size
  --label L      the volume label (at most 11 characters; default NO NAME)
)") +
    kCommon;

const std::string kClipHelp =
    std::string(R"(Usage: tachy clip CARD --from TIME --to TIME OUT.avi [--channel N]
Copies a span of one camera's recordings into one AVI file without re-encoding: from the
last key frame at or before --from up to --to (times YYYY-MM-DD HH:MM:SS, UTC, as list
shows them), across recordings, with the sound and the driving data of the frames copied.
  --channel N    the camera: 1 front (default), 2 and 3 the others
OUT.avi appears only when it is complete. Ctrl-C (SIGINT) or SIGTERM stops the copy: OUT.avi
is not written (an existing one stays as it was) and the exit code is 130 (143 for SIGTERM).
)") +
    kCommon;

const std::string kExportHelp =
    std::string(
        R"(Usage: tachy export CARD --from TIME --to TIME OUT.mp4 [--layout L] [--height N] [--overlay]
Combines the cameras of a span into one H.264 MP4 with the front camera's sound as AAC,
re-encoded, in the span's real time: one picture per front camera picture, each other
camera showing its picture of that moment. Where the front camera has no sound (a recording
without it, a missing file, sound shorter than its pictures) the sound track holds silence,
so that the sound after it stays in step with the pictures. OUT.mp4 appears only when it is
complete. Ctrl-C (SIGINT) or SIGTERM stops the export: OUT.mp4 is not written (an existing
one stays as it was) and the exit code is 130 (143 for SIGTERM).
  --layout L     front (the front camera alone, default), side-by-side, grid (2x2) or pip
                 (the rear camera small in the front's bottom right corner)
  --height N     the height of each camera's place in pixels (default: the front camera's)
  --overlay      the time (UTC), speed and position of the driving data along the bottom edge
)") +
    kCommon;

} // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"list", "the recordings of a card per record mode", kListHelp.c_str(), &RunList},
        {"info", "streams, figures and driving data of one recording", kInfoHelp.c_str(), &RunInfo},
        {"track", "the route as GPX, KML, CSV or GeoJSON", kTrackHelp.c_str(), &RunTrack},
        {"events", "hard braking, impacts and sharp turns in the G-sensor data",
         kEventsHelp.c_str(), &RunEvents},
        {"repair", "repair recordings a power cut left unfinished", kRepairHelp.c_str(),
         &RunRepair},
        {"settings", "show, check or change the recorder's settings file", kSettingsHelp.c_str(),
         &RunSettings},
        {"timeset", "set the recorder's clock through its clock file", kTimesetHelp.c_str(),
         &RunTimeset},
        {"format-image", "write a FAT32 file system onto a card image", kFormatImageHelp.c_str(),
         &RunFormatImage},
        {"clip", "copy a span of recordings into one AVI without re-encoding", kClipHelp.c_str(),
         &RunClip},
        {"export", "combine the cameras of a span into one H.264/AAC MP4", kExportHelp.c_str(),
         &RunExport},
    };
    return commands;
}

} // namespace tachy::cli
