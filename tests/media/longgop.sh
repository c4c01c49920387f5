#!/usr/bin/env bash
# Generates into the folder given as $1 a frame-numbered clip whose only key frames are 300 frames apart and
# whose every frame is a reference, so an exact seek near the end of the first GOP decodes ~300 frames: long
# enough for other calls to be made while it runs. 640x360 (busy picture under the number), 25 fps, 12 s.
set -euo pipefail
out=$1
mkdir -p "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y -threads 1 "$@" -fflags +bitexact -flags:v +bitexact -flags:a +bitexact; }

# The number as in engine.sh: bit i a 32x32 white square at x = 32*i, here on a black strip over the picture.
bits="drawbox=x=0:y=0:w=320:h=32:color=black:t=fill"
for i in $(seq 0 9); do
  bits="$bits,drawbox=x=$((32*i)):y=0:w=32:h=32:color=white:t=fill:enable='mod(floor(n/$((1<<i))),2)'"
done
ff -f lavfi -i "testsrc2=s=640x360:r=25:d=12" -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=12" \
   -vf "$bits" -c:v libx264 -preset veryfast -bf 0 -g 300 -keyint_min 300 -sc_threshold 0 -pix_fmt yuv420p \
   -c:a aac -ac 2 -b:a 64k -shortest -movflags +faststart "$out/numbered_longgop_640x360.mp4"
