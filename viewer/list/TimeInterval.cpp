#include "viewer/list/TimeInterval.h"

#include "engine/CTimeList.h"

namespace tachy::viewer {

TimeInterval TimeInterval::of(const CTimeList& entry) {
    // Seconds and milliseconds are combined here rather than taken from the combined fields,
    // so that an entry whose start is only given in seconds and milliseconds still orders.
    return {entry.m_llStartSecond[0] * 1000 + entry.m_nStartMillisecond[0],
            entry.m_llEndSecond[0] * 1000 + entry.m_nEndMillisecond[0]};
}

namespace {

// self.start < other.start here.
int relateStartingEarlier(const TimeInterval& self, const TimeInterval& other) {
    if (self.end == other.end) {
        return kIntervalStartsBeforeEndsTogether;
    }
    if (self.end > other.end) {
        return kIntervalContains;
    }
    if (self.end > other.start) {
        return kIntervalOverlaps;
    }
    return self.end == other.start ? kIntervalTouches : kIntervalBefore;
}

} // namespace

int RelateIntervals(const TimeInterval& self, const TimeInterval& other) {
    if (self.start == other.start) {
        if (self.end == other.end) {
            return kIntervalEqual;
        }
        return self.end < other.end ? kIntervalSameStartEndsEarlier : kIntervalSameStartEndsLater;
    }
    if (self.start < other.start) {
        return relateStartingEarlier(self, other);
    }
    return -relateStartingEarlier(other, self);
}

bool StartsEarlier(const TimeInterval& self, const TimeInterval& other) {
    switch (RelateIntervals(self, other)) {
    case kIntervalStartsBeforeEndsTogether:
    case kIntervalOverlaps:
    case kIntervalTouches:
    case kIntervalBefore:
    case kIntervalContains:
        return true;
    default:
        return false;
    }
}

} // namespace tachy::viewer
