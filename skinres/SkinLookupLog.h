#pragma once
// The names the running programs look up in the skin (images, bitmaps, icons, positions) and
// in the language (texts), kept while recording is on. The window tests switch it on and then
// check that every name asked for exists in the skin and in every language, which a search of
// the sources for string literals cannot do for names put together at run time.

#include <QString>

#include <set>
#include <utility>

class SkinLookupLog {
public:
    enum class Kind { Image, Bitmap, Icon, Position, Text };
    using Entry = std::pair<Kind, QString>;

    // Off by default; a look-up then costs one relaxed atomic load.
    static void SetRecording(bool on);
    static void Record(Kind kind, const QString& name);
    static std::set<Entry> Recorded();
};
