#!/usr/bin/env bash
# Generates the pacing benchmark's clips into the folder given as $1: 62 s of a moving test pattern at
# each frame rate the benchmark measures, small and quick to decode so the clock, not the decoder, is timed.
set -euo pipefail
out=$1
mkdir -p "$out"
for rate in 24000/1001 25 30000/1001 50 60; do
    name=pace_$(echo "$rate" | tr '/' '_').mp4
    ffmpeg -nostdin -hide_banner -loglevel error -y -threads 1 -f lavfi -i "testsrc=s=320x240:r=$rate:d=62" \
        -c:v mpeg4 -q:v 5 -an -fflags +bitexact -flags:v +bitexact "$out/$name"
done
