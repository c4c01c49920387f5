#!/usr/bin/env bash
# Generates into the folder given as $1 a clip long enough to be resumed: 160x120, 5 fps, 90 s, no sound,
# a key frame every 5 s, so a jump into it costs little.
set -euo pipefail
out=$1
mkdir -p "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y -threads 1 "$@" -fflags +bitexact -flags:v +bitexact; }

ff -f lavfi -i "testsrc2=s=160x120:r=5:d=90" -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 25 -an \
   "$out/long_160x120_90s.mp4"
