#!/usr/bin/env bash
# Makes the media that the tests and benchmarks play: short tagged clips of
# every format the player opens, and broken inputs that it must refuse
# quietly. Everything is generated, so no binary media sits in the repository.
#
#   make_test_media.sh OUTPUT_FOLDER
#
# Layout of OUTPUT_FOLDER:
#   tone.mp3 tone.wma     0.5 s, 440 Hz, with title and artist tags
#   tone.wav clip.wmv     0.5 s (the WMV also holds a picture stream)
#   tune.mid              0.5 s of General MIDI piano
#   long.mp3              30 s, for seeking and speed
#   level.wav             20 s of a steady sine at half scale, for measuring
#                         what reaches the sound output
#   odd names/            tone.mp3 under names that break naive file URIs
#   broken/               inputs that must not play (see make_broken)
#   mislabelled/ cut/     inputs that may play a part or nothing (make_damaged)
#
# Each file is written beside its final name and renamed into place, so a
# reader never sees half a file. To add a case, add one line to the lists at
# the bottom.
set -euo pipefail

out=${1:?usage: make_test_media.sh OUTPUT_FOLDER}
mkdir -p "$out" "$out/odd names" "$out/broken"

launch() { gst-launch-1.0 -q "$@" >/dev/null; }

# Lengths are in tenths of a second.

# A stereo 440 Hz sine of TENTHS tenths of a second as raw audio, ready for
# an encoder.
sine() {
  local tenths=$1 volume=${2:-0.8}
  echo "audiotestsrc num-buffers=$tenths samplesperbuffer=4410 volume=$volume" \
       "! audio/x-raw,rate=44100,channels=2 ! audioconvert"
}

# gst-launch tag syntax: blanks in values are escaped.
tags() {
  local title=${1// /\\ } artist=${2// /\\ }
  echo "taginject tags=title=(string)\"$title\",artist=(string)\"$artist\""
}

# make_mp3 FILE TENTHS [TITLE ARTIST]
make_mp3() {
  local file=$1 tenths=$2 tagger="identity"
  [ $# -ge 4 ] && tagger=$(tags "$3" "$4")
  # shellcheck disable=SC2046
  launch $(sine "$tenths") ! $tagger ! lamemp3enc target=bitrate cbr=true bitrate=128 ! id3v2mux ! filesink location="$file.part"
  mv "$file.part" "$file"
}

# make_wma FILE TENTHS [TITLE ARTIST]
make_wma() {
  local file=$1 tenths=$2 tagger="identity"
  [ $# -ge 4 ] && tagger=$(tags "$3" "$4")
  # shellcheck disable=SC2046
  launch $(sine "$tenths") ! $tagger ! avenc_wmav2 ! asfmux ! filesink location="$file.part"
  mv "$file.part" "$file"
}

# make_wav FILE TENTHS [VOLUME]
make_wav() {
  local file=$1 tenths=$2 volume=${3:-0.8}
  # shellcheck disable=SC2046
  launch $(sine "$tenths" "$volume") ! audio/x-raw,format=S16LE ! wavenc ! filesink location="$file.part"
  mv "$file.part" "$file"
}

# make_wmv FILE TENTHS: sound and a small picture stream in one ASF file.
make_wmv() {
  local file=$1 tenths=$2
  # shellcheck disable=SC2046
  launch asfmux name=mux ! filesink location="$file.part" \
    $(sine "$tenths") ! avenc_wmav2 ! mux. \
    videotestsrc num-buffers="$tenths" ! video/x-raw,width=160,height=120,framerate=10/1 \
    ! videoconvert ! avenc_wmv2 ! mux.
  mv "$file.part" "$file"
}

# make_mid FILE: a Standard MIDI File (format 0, 96 ticks a quarter note,
# 120 beats a minute) playing A4 and C5 for a quarter second each on piano.
make_mid() {
  local file=$1
  local track='\x00\xff\x51\x03\x07\xa1\x20'     # tempo: 500000 us a quarter note
  track+='\x00\xc0\x00'                          # program: acoustic grand piano
  track+='\x00\x90\x45\x64\x30\x80\x45\x40'     # A4 for 48 ticks
  track+='\x00\x90\x48\x64\x30\x80\x48\x40'     # C5 for 48 ticks
  track+='\x00\xff\x2f\x00'                      # end of track
  local length
  length=$(printf "$track" | wc -c)
  {
    printf 'MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60'
    printf 'MTrk'
    printf "\\x$(printf %02x $((length >> 24 & 255)))\\x$(printf %02x $((length >> 16 & 255)))"
    printf "\\x$(printf %02x $((length >> 8 & 255)))\\x$(printf %02x $((length & 255)))"
    printf "$track"
  } >"$file.part"
  mv "$file.part" "$file"
}

# random_bytes FILE COUNT SEED: the same bytes on every run, so a failure
# can be reproduced.
random_bytes() {
  local file=$1 count=$2 i byte escaped=""
  RANDOM=$3
  for ((i = 0; i < count; i++)); do
    printf -v byte '\\x%02x' $((RANDOM & 255))
    escaped+=$byte
  done
  printf "$escaped" >"$file.part"
  mv "$file.part" "$file"
}

# truncated SOURCE FILE BYTES: the first BYTES bytes of SOURCE.
truncated() {
  head -c "$3" "$1" >"$2.part"
  mv "$2.part" "$2"
}

empty() { : >"$1"; }

text_file() {
  printf 'This is a text file, not a sound.\nIt only carries a media name.\n' >"$1.part"
  mv "$1.part" "$1"
}

# --- playable clips -----------------------------------------------------------
make_mp3 "$out/tone.mp3" 5 "Tone Title" "Tone Artist"
make_mp3 "$out/long.mp3" 300 "Long Title" "Long Artist"
make_wma "$out/tone.wma" 5 "Wma Title" "Wma Artist"
make_wav "$out/tone.wav" 5
make_wav "$out/level.wav" 200 0.5
make_wmv "$out/clip.wmv" 5
make_mid "$out/tune.mid"

# --- names that a file URI must escape ----------------------------------------
for name in "with spaces.mp3" "hash #1.mp3" "what?.mp3" "percent %41%20.mp3" "ünïcödé ñame.mp3"; do
  cp "$out/tone.mp3" "$out/odd names/$name.part"
  mv "$out/odd names/$name.part" "$out/odd names/$name"
done

# --- inputs that must not play ------------------------------------------------
make_broken() {
  local b=$out/broken
  mkdir -p "$b/folder.mp3"
  empty "$b/empty.mp3"
  random_bytes "$b/random.mp3" 4096 1
  random_bytes "$b/random.wma" 4096 2
  random_bytes "$b/random.mid" 4096 3
  # Cut inside the ID3 tag: not one whole audio frame remains.
  truncated "$out/tone.mp3" "$b/truncated.mp3" 600
  text_file "$b/text.wav"
  # A reader of a named pipe waits for a writer that never comes.
  rm -f "$b/pipe.mp3"
  mkfifo "$b/pipe.mp3"
  # The same kinds for every format the player lists.
  local f
  for f in wav wma wmv mid; do empty "$b/empty.$f"; done
  random_bytes "$b/random.wav" 4096 4
  random_bytes "$b/random.wmv" 4096 5
  for f in mp3 wma wmv mid; do text_file "$b/text.$f"; done
  # Cut inside the header, before anything decodable.
  truncated "$out/tone.wav" "$b/truncated.wav" 20
  truncated "$out/tone.wma" "$b/truncated.wma" 200
  truncated "$out/clip.wmv" "$b/truncated.wmv" 200
  truncated "$out/tune.mid" "$b/truncated.mid" 10
}
make_broken

# --- inputs that may play a little, or not at all -----------------------------
# mislabelled/: each file holds another format than its name says.
# cut/: each clip cut off in the middle of its sound.
mislabelled() {
  cp "$1" "$2.part"
  mv "$2.part" "$2"
}

make_damaged() {
  local m=$out/mislabelled c=$out/cut source size
  mkdir -p "$m" "$c"
  mislabelled "$out/tone.wav" "$m/tone.mp3"
  mislabelled "$out/tone.mp3" "$m/tone.wav"
  mislabelled "$out/tune.mid" "$m/tone.wma"
  mislabelled "$out/tone.wma" "$m/tone.wmv"
  mislabelled "$out/clip.wmv" "$m/tone.mid"
  for source in tone.mp3 tone.wav tone.wma clip.wmv tune.mid; do
    size=$(stat -c %s "$out/$source")
    truncated "$out/$source" "$c/tone.${source##*.}" $((size / 2))
  done
}
make_damaged
