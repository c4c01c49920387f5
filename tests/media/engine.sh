#!/usr/bin/env bash
# Generates the engine's test clips into the folder given as $1: a frame-numbered clip for seek and step
# accuracy, common frame rates, an anamorphic and a rotated clip, 10-bit, audio-only MP3 (with and
# without cover art), a variable-frame-rate MKV, a clip whose timestamps start late, small pictures whose
# widths are not a multiple of the converter's pixel blocks, and a slow clip of a frame every two seconds.
set -euo pipefail
out=$1
mkdir -p "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y -threads 1 "$@" -fflags +bitexact -flags:v +bitexact -flags:a +bitexact; }

# Frame number n drawn as 10 bits, bit i a 32x32 white square at x = 32*i on a black picture
# (the source's own frame counter, so it survives encoding). 320x240, 25 fps, 10 s, B-frames,
# 50-frame GOPs, with sound, so exact seeks have to decode across keyframes.
bits=""
for i in $(seq 0 9); do
  bits="$bits,drawbox=x=$((32*i)):y=0:w=32:h=32:color=white:t=fill:enable='mod(floor(n/$((1<<i))),2)'"
done
ff -f lavfi -i "color=c=black:s=320x240:r=25:d=10" -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=10" \
   -vf "null$bits" -c:v libx264 -preset veryfast -bf 3 -g 50 -keyint_min 50 -sc_threshold 0 -pix_fmt yuv420p \
   -c:a aac -ac 2 -b:a 64k -shortest -movflags +faststart "$out/numbered_320x240_25.mp4"
# The same picture in a clip without sound (the monotonic clock paces it).
ff -f lavfi -i "color=c=black:s=320x240:r=25:d=10" -vf "null$bits" -c:v libx264 -preset veryfast -bf 3 -g 50 \
   -keyint_min 50 -sc_threshold 0 -pix_fmt yuv420p -an "$out/numbered_320x240_25_noaudio.mp4"

# Common broadcast rates, 2 s each.
for rate in 24000/1001:23976 30000/1001:2997 50:50 60000/1001:5994; do
  ff -f lavfi -i "testsrc2=s=320x180:r=${rate%%:*}:d=2" -c:v libx264 -preset veryfast -pix_fmt yuv420p -an \
     "$out/rate_${rate##*:}.mp4"
done

# Anamorphic: 720x480 stored pixels shown at 16:9.
ff -f lavfi -i "testsrc2=s=720x480:r=25:d=1" -vf "setsar=32/27" -c:v libx264 -preset veryfast -pix_fmt yuv420p -an \
   "$out/anamorphic_720x480_169.mp4"

# Rotation metadata of 90 degrees (written by a stream copy, which carries it into the display matrix) on a
# 320x240 picture whose top half is red and bottom half blue.
ff -f lavfi -i "color=c=red:s=320x120:r=25:d=1" -f lavfi -i "color=c=blue:s=320x120:r=25:d=1" \
   -filter_complex "[0][1]vstack" -c:v libx264 -preset veryfast -pix_fmt yuv420p -an "$out/.unrotated.mp4"
ff -i "$out/.unrotated.mp4" -c copy -metadata:s:v:0 rotate=90 "$out/rotated_90.mp4"
rm -f "$out/.unrotated.mp4"

# 10-bit H.264.
ff -f lavfi -i "testsrc2=s=320x240:r=25:d=1" -c:v libx264 -preset veryfast -pix_fmt yuv420p10le -an "$out/h264_10bit.mkv"

# Audio only: MP3 without and with a cover picture (green 200x200 PNG).
ff -f lavfi -i "sine=frequency=330:sample_rate=44100:duration=3" -c:a libmp3lame -b:a 64k "$out/audio_only.mp3"
ff -f lavfi -i "color=c=green:s=200x200:d=1" -frames:v 1 "$out/.cover.png"
ff -f lavfi -i "sine=frequency=330:sample_rate=44100:duration=3" -i "$out/.cover.png" -map 0:a -map 1:v \
   -c:a libmp3lame -b:a 64k -c:v png -disposition:v attached_pic -id3v2_version 3 "$out/audio_cover.mp3"
rm -f "$out/.cover.png"

# Variable frame rate: 2 s at 25 fps followed by 2 s at 50 fps.
ff -f lavfi -i "testsrc2=s=320x240:r=50:d=4" -vf "select='gte(t,2)+not(mod(n,2))',setpts='N/(if(lt(N,50),25,50)*TB)+if(gte(N,50),2-50/50,0)/TB'" \
   -fps_mode vfr -c:v libx264 -preset veryfast -pix_fmt yuv420p -an "$out/vfr.mkv" 2>/dev/null \
 || ff -f lavfi -i "testsrc2=s=320x240:r=50:d=4" -vf "select='gte(t,2)+not(mod(n,2))'" -fps_mode vfr \
   -c:v libx264 -preset veryfast -pix_fmt yuv420p -an "$out/vfr.mkv"

# Timestamps starting at 10 s (transport stream), frame-numbered as above, 4 s.
ff -f lavfi -i "color=c=black:s=320x240:r=25:d=4" -vf "null$bits" -c:v libx264 -preset veryfast -g 25 -pix_fmt yuv420p \
   -an -output_ts_offset 10 "$out/start_10s.ts"

# Damaged files: the numbered clip cut in half, and one with garbage over a stretch in the middle.
head -c $(( $(stat -c %s "$out/numbered_320x240_25.mp4") / 2 )) "$out/numbered_320x240_25.mp4" > "$out/truncated.mp4"
ff -f lavfi -i "testsrc2=s=320x240:r=25:d=4" -c:v libx264 -preset veryfast -pix_fmt yuv420p -an -f mpegts "$out/.clean.ts"
python3 - "$out/.clean.ts" "$out/broken_middle.ts" <<'PY'
import sys, random
data = bytearray(open(sys.argv[1], 'rb').read())
rnd = random.Random(7)
mid = len(data) // 2
for i in range(mid, min(len(data), mid + 20000)):
    data[i] = rnd.randrange(256)
open(sys.argv[2], 'wb').write(data)
PY
rm -f "$out/.clean.ts"

# Small 4:2:0 pictures: 426x240 for 3 s, the tiny ones for 1 s.
for size in 426x240:3 120x90:1 30x30:1 14x14:1 2x2:1; do
  ff -f lavfi -i "testsrc2=s=${size%%:*}:r=25:d=${size##*:}" -c:v libx264 -preset veryfast -pix_fmt yuv420p -an \
     "$out/small_${size%%:*}.mp4"
done

# A frame every two seconds for 10 s: five frames, the last one shown from 8 s to 10 s.
ff -f lavfi -i "testsrc2=s=64x48:r=1/2:d=10" -c:v libx264 -preset veryfast -pix_fmt yuv420p -an "$out/slow_05fps.mp4"
