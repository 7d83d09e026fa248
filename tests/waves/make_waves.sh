#!/usr/bin/env bash
# Remakes the wave files beside this script: a short tone in every layout sox writes for 8- and 16-bit
# samples and in some it writes for others, and sox's plain PCM files put in the extensible wrapper the
# way other writers emit even 8- and 16-bit mono and stereo (sox itself uses that wrapper only beyond two
# channels or 16 bits). tests/sdl/audio_device_test.cpp reads, creates and plays them all.
# Usage: tests/waves/make_waves.sh   (needs sox; the files are kept in the repository)
set -euo pipefail
cd "$(dirname "$0")"
rm -f ./*.wav

tone() { sox -n -r 22050 "$@" synth 0.01 sine 440 vol 0.5; }

# Plain PCM, as sox writes it by default and with -t wavpcm alike for one or two channels.
tone -c 1 -b 8 pcm8-mono.wav
tone -c 2 -b 8 pcm8-stereo.wav
tone -c 1 -b 16 pcm16-mono.wav
tone -c 2 -b 16 -t wavpcm pcm16-stereo.wav
# Layouts the mixer cannot play: sox's extensible record (with a fact chunk) for three channels or 24
# bits, three plain channels with -t wavpcm, and compressed or float samples with a fact chunk.
tone -c 3 -b 16 ext16-3ch.wav
tone -c 3 -b 16 -t wavpcm pcm16-3ch.wav
tone -c 2 -b 24 ext24-stereo.wav
tone -c 1 -e a-law alaw-mono.wav
tone -c 2 -b 32 -e floating-point float-stereo.wav
tone -c 1 -e ima-adpcm ima-adpcm-mono.wav 2>/dev/null

# Little-endian numbers and raw bytes as printf escapes.
hex() { local value=$1 bytes=$2 i out=""; for ((i = 0; i < bytes; i++)); do out+=$(printf '\\x%02x' $(((value >> (8 * i)) & 255))); done; printf '%s' "$out"; }
field() { od -An -tu"$3" -j "$2" -N "$3" "$1" | tr -d ' '; }

# Rewraps sox's plain file $1 as $2: the extensible format record with sub-format GUID $3 (its first four
# bytes as a number; the rest is the one every such GUID shares), a fact chunk, and a LIST chunk too
# when $4 is "list".
extensible() {
  local from=$1 to=$2 kind=$3 list=${4:-} channels bits align at data frames mask riff
  channels=$(field "$from" 22 2)
  bits=$(field "$from" 34 2)
  align=$(field "$from" 32 2)
  at=$(grep -obUa data "$from" | head -1 | cut -d: -f1) # sox puts a fact chunk before a-law data
  data=$(field "$from" $((at + 4)) 4)
  frames=$((data / align))
  mask=$((channels == 1 ? 4 : 3))
  local info=""
  [ "$list" = list ] && info='LIST\x12\x00\x00\x00INFOISFT\x06\x00\x00\x00Vems\x00\x00'
  riff=$((4 + 48 + 12 + 8 + data + (data & 1) + (${#list} > 0 ? 26 : 0)))
  {
    printf "RIFF$(hex $riff 4)WAVEfmt $(hex 40 4)$(hex 0xFFFE 2)"
    dd if="$from" bs=1 skip=22 count=14 status=none
    printf "$(hex 22 2)$(hex "$bits" 2)$(hex $mask 4)$(hex "$kind" 4)"
    printf '\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71'
    printf "fact$(hex 4 4)$(hex $frames 4)$info"
    tail -c +$((at + 1)) "$from"
  } >"$to"
}

extensible pcm8-mono.wav ext8-mono.wav 1
extensible pcm8-stereo.wav ext8-stereo.wav 1 list
extensible pcm16-mono.wav ext16-mono.wav 1 list
extensible pcm16-stereo.wav ext16-stereo.wav 1
# The same wrapper round a-law bytes: 8 bits, one channel, but no PCM.
extensible alaw-mono.wav ext-alaw-mono.wav 6
ls -l ./*.wav
