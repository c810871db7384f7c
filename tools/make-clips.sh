#!/usr/bin/env bash
# Regenerates the 20 voice clips of hvplus.dll (hvplus/clips/ID.wav) from espeak-ng's
# Japanese voice: resampled to 11025 Hz mono, silence trimmed at both ends, every clip
# normalised to the same peak, written as 8-bit unsigned PCM with a plain 44-byte
# RIFF header (fmt + data, nothing else). The .wav files are committed, so a build
# needs neither espeak-ng nor sox; run this only to change the voice.
set -eu
out=$(cd "$(dirname "$0")/../hvplus/clips" && pwd)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

# id reading
clips="10 です
12 ふん
14 ご
16 ごご
18 ごぜん
20 はち
22 いち
24 いっぷん
26 じ
28 じゅう
30 じゅっぷん
32 く
34 しち
36 に
38 きゅう
40 れい
42 ろく
44 さん
46 よ
48 よん"

rate=${HV_VOICE_RATE:-230}   # words per minute of espeak-ng
echo "$clips" | while read -r id text; do
  espeak-ng -v ja -s "$rate" -w "$tmp/$id.raw.wav" "$text"
  # Trim leading and trailing silence (below 1% for 5 ms), then normalise to -1 dBFS,
  # with a 3 ms fade at each end so cut edges do not click.
  sox "$tmp/$id.raw.wav" "$tmp/$id.trim.wav" silence 1 0.005 1% reverse silence 1 0.005 1% reverse
  sox "$tmp/$id.trim.wav" -r 11025 -c 1 -b 8 -e unsigned-integer -t raw "$tmp/$id.pcm" \
    rate -v 11025 fade t 0.003 -0 0.003 norm -1
  python3 - "$tmp/$id.pcm" "$out/$id.wav" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
rate = 11025
header = b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVE'
header += b'fmt ' + struct.pack('<IHHIIHH', 16, 1, 1, rate, rate, 1, 8)
header += b'data' + struct.pack('<I', len(data))
open(sys.argv[2], 'wb').write(header + data)
PY
  printf '%s %-6s %5d ms\n' "$id" "$text" $(( ($(stat -c %s "$out/$id.wav") - 44) * 1000 / 11025 ))
done
