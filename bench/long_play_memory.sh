#!/usr/bin/env bash
# Long play: tachy-play plays a long card period after period and prints, every minute, its
# resident memory and how far the playback clock is from the wall clock times the speed. This
# script keeps those lines and prints the memory's slope (least squares over the minutes after
# the first, KiB per minute of wall time) and the clock lag's range.
#   bench/long_play_memory.sh TACHY-PLAY CARD SPEED SECONDS [LOG [TACHY-PLAY OPTION...]]
# (for example --sound, with SDL_AUDIODRIVER=dummy on a machine without a sound card)
# Make the card with mkcard, e.g. three hours of three cameras:
#   mkcard --rule data/_option/FileNameRule_A.ini --out /tmp/long --channels 3 --seconds 10800 --size 160x120
set -euo pipefail

if [[ $# -lt 4 ]]; then
    echo "usage: $0 TACHY-PLAY CARD SPEED SECONDS [LOG [TACHY-PLAY OPTION...]]" >&2
    exit 2
fi
play=$1
card=$2
speed=$3
seconds=$4
# MEMORY_EVERY (seconds between lines, default 60) shortens the interval for a quick check.
log=${5:-long-play-$(date +%Y%m%d-%H%M%S).log}
shift $(($# < 5 ? $# : 5))

"$play" "$card" --speed "$speed" --seconds "$seconds" --memory-every "${MEMORY_EVERY:-60}" "$@" 2>&1 | tee "$log"

# "memory: wall W s, resident R KiB, recording played P s, clock lag L s, pictures N"
awk '
/^memory: / {
    wall = $3; resident = $6; lag = $14; sub(",", "", lag)
    n += 1
    if (n == 1) { first = resident; minLag = lag; maxLag = lag }
    if (lag < minLag) minLag = lag
    if (lag > maxLag) maxLag = lag
    last = resident
    # the first minute holds the start-up (decoders, queues): the slope is fitted after it
    if (n > 1) { m += 1; x = wall / 60; sx += x; sy += resident; sxx += x * x; sxy += x * resident }
}
END {
    if (m < 2) { print "long-play: too few memory lines for a slope"; exit 1 }
    slope = (m * sxy - sx * sy) / (m * sxx - sx * sx)
    printf "long_play_minutes: %d\n", n
    printf "long_play_resident_first_last: %d KiB, %d KiB\n", first, last
    printf "long_play_memory_slope: %.1f KiB/min\n", slope
    printf "long_play_clock_lag_range: %.3f s to %.3f s\n", minLag, maxLag
}' "$log"
