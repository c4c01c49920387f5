#!/usr/bin/env bash
# Writes tiny seed inputs for nrx-fuzz-open-read into the folder $1: one short clip per container, each
# prefixed with the byte that makes the fuzzer give the file that container's extension.
set -euo pipefail
out=${1:?usage: make-seeds.sh OUTPUT-FOLDER}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
video=(-f lavfi -i "testsrc2=s=64x48:r=10:d=1")
audio=(-f lavfi -i "sine=frequency=440:sample_rate=8000:duration=1")

# index extension encoder arguments... (index is the extension's place in the fuzzer's list)
seed() {
    local index=$1 ext=$2; shift 2
    ff "$@" -shortest "$work/seed.$ext"
    { printf "\\x$(printf %02x "$index")"; cat "$work/seed.$ext"; } > "$out/seed-$ext"
}
seed 0 mp4 "${video[@]}" "${audio[@]}" -c:v libx264 -g 4 -pix_fmt yuv420p -c:a aac
seed 1 mkv "${video[@]}" "${audio[@]}" -c:v mpeg4 -g 4 -c:a libmp3lame
seed 2 avi "${video[@]}" "${audio[@]}" -c:v mjpeg -c:a pcm_s16le
seed 3 mov "${video[@]}" -c:v libx264 -g 4 -bf 2 -pix_fmt yuv420p -an
seed 4 webm "${video[@]}" "${audio[@]}" -c:v libvpx -g 4 -c:a libopus -ar 48000
seed 5 ts "${video[@]}" "${audio[@]}" -c:v mpeg2video -g 4 -c:a mp2
seed 6 flv "${video[@]}" -c:v flv1 -an
seed 7 mp3 "${audio[@]}" -c:a libmp3lame
seed 8 wav "${audio[@]}" -c:a pcm_s16le
seed 9 ogg "${video[@]}" "${audio[@]}" -c:v libtheora -c:a libvorbis
ls -l "$out"
