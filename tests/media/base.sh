#!/usr/bin/env bash
# Generates the basic test clips and the demo clip into the folder given as $1.
# Every clip is small and deterministic (fixed sources, single-threaded encoders, no timestamps).
set -euo pipefail
out=$1
mkdir -p "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y -threads 1 "$@" -fflags +bitexact -flags:v +bitexact -flags:a +bitexact; }

# 640x360 25 fps H.264 + AAC stereo, 6 s.
ff -f lavfi -i "testsrc2=s=640x360:r=25:d=6" -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=6" \
   -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 50 -c:a aac -ac 2 -b:a 96k -shortest "$out/h264_aac_640x360_25.mp4"

# 320x240 29.97 fps MPEG-4 Part 2 in AVI with MP3 sound, 4 s.
ff -f lavfi -i "testsrc=s=320x240:r=30000/1001:d=4" -f lavfi -i "sine=frequency=660:sample_rate=44100:duration=4" \
   -c:v mpeg4 -q:v 4 -c:a libmp3lame -ac 2 -b:a 96k -shortest "$out/mpeg4_mp3_320x240_2997.avi"

# 1280x720 60 fps H.264 without sound, 3 s.
ff -f lavfi -i "testsrc2=s=1280x720:r=60:d=3" -c:v libx264 -preset veryfast -pix_fmt yuv420p -an \
   "$out/h264_1280x720_60_noaudio.mp4"

# Orientation clip: pure red top half, pure blue bottom half, 320x240, 25 fps, 2 s.
ff -f lavfi -i "color=c=red:s=320x120:r=25:d=2" -f lavfi -i "color=c=blue:s=320x120:r=25:d=2" \
   -filter_complex "[0][1]vstack" -c:v libx264 -preset veryfast -pix_fmt yuv420p -an "$out/orientation_red_top.mp4"

# Broken inputs: random bytes named like a video, and an empty AVI.
head -c 65536 /dev/urandom > "$out/random_bytes.mp4"
: > "$out/zero_bytes.avi"

# Demo clip: 20 s 1280x720, frame counter and clock; once a second a white flash and a short beep
# start on the same frame, so the eye and ear can check sound and picture stay together.
ff -f lavfi -i "color=c=0x1a2a3a:s=1280x720:r=25:d=20" -f lavfi -i "sine=frequency=880:sample_rate=48000:duration=20" \
   -filter_complex "[0:v]drawtext=text='frame %{frame_num}':fontsize=72:fontcolor=white:x=60:y=60,\
drawtext=text='%{pts\:hms}':fontsize=72:fontcolor=0xffd040:x=60:y=160,\
drawbox=enable='lt(mod(t\,1)\,0.08)':color=white:t=fill[v];\
[1:a]volume=volume='if(lt(mod(t\,1)\,0.08)\,1\,0)':eval=frame[a]" \
   -map "[v]" -map "[a]" -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 "$out/nrx-demo.mp4"
