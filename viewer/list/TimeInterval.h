#pragma once
// How two time-list entries lie against each other in time. Each entry is the interval from
// its first channel's start to its end, in milliseconds; the list is ordered by these
// relations.

#include <cstdint>

class CTimeList;

namespace tachy::viewer {

struct TimeInterval {
    std::int64_t start = 0;  // milliseconds
    std::int64_t end = 0;    // milliseconds

    static TimeInterval of(const CTimeList& entry);
};

// Relation codes of `self` against `other`.
enum IntervalRelation : int {
    kIntervalEqual = 0,
    kIntervalStartsBeforeEndsTogether = 1,   // starts earlier, same end
    kIntervalSameStartEndsEarlier = 2,
    kIntervalOverlaps = 3,                   // starts earlier, ends inside the other
    kIntervalTouches = 4,                    // ends where the other starts
    kIntervalBefore = 5,                     // ends before the other starts
    kIntervalContains = 6,                   // starts earlier, ends later
    kIntervalSameStartEndsLater = -1,
};

// 0 equal; same start: 2 when self ends earlier, -1 when later; self starting earlier: 1 same
// end, 6 contains, 3 overlaps, 4 touches, 5 wholly before; self starting later: the negated
// code of other against self.
int RelateIntervals(const TimeInterval& self, const TimeInterval& other);

// True when `self` starts strictly earlier than `other` (codes 1, 3, 4, 5 and 6).
bool StartsEarlier(const TimeInterval& self, const TimeInterval& other);

} // namespace tachy::viewer
