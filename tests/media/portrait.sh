#!/usr/bin/env bash
# Generates the portrait clips into the folder given as $1: a 360x640 picture stored upright, and the same
# picture stored 640x360 with rotation metadata of 90 degrees. Both show, upright, a green picture with a
# red band along the top and a blue band along the bottom (16 rows each), 25 fps, 2 s, no sound.
set -euo pipefail
out=$1
mkdir -p "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y -threads 1 "$@" -fflags +bitexact -flags:v +bitexact -flags:a +bitexact; }

ff -f lavfi -i "color=c=0x00ff00:s=360x640:r=25:d=2" \
   -vf "drawbox=x=0:y=0:w=360:h=16:color=0xff0000:t=fill,drawbox=x=0:y=624:w=360:h=16:color=0x0000ff:t=fill" \
   -c:v libx264 -preset veryfast -pix_fmt yuv420p -an "$out/portrait_360x640.mp4"

# Stored turned a quarter clockwise; the metadata turns it a quarter anticlockwise for showing (as the
# ffmpeg tool shows it), which brings the red band back to the top.
ff -i "$out/portrait_360x640.mp4" -vf "transpose=1" -c:v libx264 -preset veryfast -pix_fmt yuv420p -an \
   "$out/.portrait_stored_640x360.mp4"
ff -i "$out/.portrait_stored_640x360.mp4" -c copy -metadata:s:v:0 rotate=90 "$out/portrait_rotated_640x360.mp4"
rm -f "$out/.portrait_stored_640x360.mp4"
