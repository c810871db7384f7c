#!/usr/bin/env bash
# Regenerates the voice clips of hvplus.dll (hvplus/clips/ID.wav) with Open JTalk and the
# HTS voice nitech-jp-atr503-m001 (CC BY 3.0; see THIRD-PARTY-NOTICES.txt), and the timer's
# chime with sox. What each clip says is listed in hvplus/clips/clips.txt.
#
# Each reading is synthesised on its own and checked phoneme by phoneme against the
# synthesiser's own trace (a mismatch stops the script). Then: leading and trailing
# silence trimmed, every clip brought to the same perceived loudness (a K-weighted,
# gated RMS), resampled with sox's very-high-quality filter to 11025 Hz, reduced to
# 8-bit unsigned mono (TPDF dither where the sound is quiet) and written with a plain
# 44-byte RIFF header (fmt + data, nothing else). The dither is seeded alike on every
# run, so the same tools give the same files.
#
# The .wav files are committed: a build needs none of these tools; run this only to
# change the voice. Missing tools are installed (as root); the voice package lives in
# Debian's contrib component, which is added to apt's sources when apt cannot find it
# (and taken out again if apt then fails).
#   HV_VOICE_SPEED  speed of speech (1.0 = the voice's own; default below)
# Sourced rather than run, it only defines its functions: with APT_CONFIG pointing at a
# copy of apt's configuration, `add_contrib` can be tried without touching the machine's.
set -eu -o pipefail
out=$(cd "$(dirname "${BASH_SOURCE[0]}")/../hvplus/clips" && pwd)

voice_pkg=hts-voice-nitech-jp-atr503-m001
voice=/usr/share/hts-voice/nitech-jp-atr503-m001/nitech_jp_atr503_m001.htsvoice
dict=/var/lib/mecab/dic/open-jtalk/naist-jdic

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
# grep reads all of it: a grep -q that stops early would fail the pipe (pipefail, SIGPIPE).
candidate() { apt-cache policy "$1" 2>/dev/null | grep 'Candidate: [0-9]' >/dev/null; }

# Adds the contrib component of this machine's Debian suite beside the source that apt
# already uses for its main component, in the same form (a deb822 stanza in a .sources
# file, or a one-line entry in a .list file) and with the same options: apt refuses every
# source when two entries for one mirror and suite disagree on Signed-By. The addition is
# checked with apt-get update and taken out again when that fails, so that the machine's
# package sources are never left broken; the script then says what to do by hand.
add_contrib() {
  local suite uri entry file index parts added
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  read -r uri entry < <(apt-get indextargets --no-release-info \
    --format '$(TARGET_OF) $(RELEASE) $(COMPONENT) $(REPO_URI) $(SOURCESENTRY)' |
    awk -v s="$suite" '$1 == "deb" && $2 == s && $3 == "main" { print $4, $5; exit }') || true
  [ -n "${entry:-}" ] || { echo "no Debian '$suite' main source in apt's sources to add contrib beside" >&2; exit 1; }
  file=${entry%:*} index=${entry##*:}
  eval "$(apt-config shell parts Dir::Etc::sourceparts/d)"
  case $file in
    *.sources)
      added=${parts%/}/debian-contrib.sources
      [ ! -e "$added" ] || { echo "$added exists already: add contrib to apt's sources by hand" >&2; exit 1; }
      {
        printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: contrib\n' "$uri" "$suite"
        # The other fields of the same stanza (Signed-By, also when it holds the key itself).
        awk -v n="$index" '
          /^#/ { next }
          /^[ \t]*$/ { inside = 0; next }
          !inside { inside = 1; ++k }
          k != n { next }
          /^[ \t]/ { if (keep) print; next }
          { f = tolower($0); sub(/[ \t]*:.*/, "", f) }
          { keep = f !~ /^(types|uris|suites|components|enabled)$/; if (keep) print }
        ' "$file"
      } >"$added" ;;
    *)
      added=${parts%/}/debian-contrib.list
      [ ! -e "$added" ] || { echo "$added exists already: add contrib to apt's sources by hand" >&2; exit 1; }
      # The same options in brackets, if the entry has any.
      sed -n "${index}p" "$file" | sed -n 's/^[ \t]*deb[ \t]*\(\[[^]]*\]\).*/\1/p' |
        awk -v u="$uri" -v s="$suite" '{ o = $0 } END { print "deb " (o == "" ? "" : o " ") u " " s " contrib" }' \
        >"$added" ;;
  esac
  echo "Adding Debian's contrib component ($uri $suite) to apt's sources: $added"
  trap 'rm -f "$added"; exit 130' INT TERM
  if apt-get update -qq && candidate "$voice_pkg"; then
    trap - INT TERM
    return 0
  fi
  rm -f "$added"
  trap - INT TERM
  apt-get update -qq || true
  echo "Adding contrib did not work (see apt's messages above), and $added has been removed again." >&2
  echo "By hand: add 'contrib' to the components of the Debian source in $file, run apt-get update," >&2
  echo "install $voice_pkg, then run this script again." >&2
  exit 1
}

ensure_tools() {
  local p missing=()
  for p in open-jtalk open-jtalk-mecab-naist-jdic "$voice_pkg" sox; do
    installed "$p" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  [ "$(id -u)" -eq 0 ] || { echo "missing packages (install them as root): ${missing[*]}" >&2; exit 1; }
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  candidate "$voice_pkg" || add_contrib
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

[ "${BASH_SOURCE[0]}" = "$0" ] || return 0

ensure_tools
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

# id, text given to the synthesiser, the phonemes its trace must show (see clips.txt).
clips=$(grep -v -e '^#' -e '^[[:space:]]*$' "$out/clips.txt")

# The speed of speech: the synthesiser's frame period shortened by this factor (its own
# speed option mostly shortens the pauses around a word, not the word), pitch unchanged.
speed=${HV_VOICE_SPEED:-1.2}
period=$(awk -v s="$speed" 'BEGIN { printf "%d", 240 / s + 0.5 }')   # samples at 48 kHz
level=-1     # dBFS: the loudest peak of all clips after the loudness matching
lead=0.002   # seconds kept (and faded in) before the first sound of a clip
tail=0.003   # seconds kept (and faded out) after its last

# The phonemes of a trace's output labels (each "p1^p2-PHONEME+n1=n2/A:..."), pauses left out.
phonemes() {
  awk '/^\[Output label\]/ { on = 1; next } /^\[/ { on = 0 }
       on && NF >= 3 { sub(/^[^-]*-/, "", $3); sub(/\+.*/, "", $3); if ($3 != "sil" && $3 != "pau") print $3 }' "$1" |
    paste -sd' '
}

# Loudness in dB: K-weighting (a high shelf of +4 dB above about 1.7 kHz, low cut at 38 Hz)
# and the mean power of the 10 ms frames within 20 dB of the loudest frame, so that the
# pauses and quiet consonants do not lower the figure. Printed with the peak in dBFS.
loudness() {
  local peak
  peak=$(sox "$1" -n stats 2>&1 | awk '/^Pk lev dB/ { print $4 }')
  sox "$1" -t dat - highpass 38 treble 4 1700 |
    awk -v rate="$(soxi -r "$1")" -v peak="$peak" '
      NR > 2 { p += $2 * $2; if (++n == int(rate / 100)) { f[++k] = p / n; p = n = 0 } }
      END {
        for (i = 1; i <= k; ++i) if (f[i] > top) top = f[i]
        for (i = 1; i <= k; ++i) if (f[i] >= top / 100) { s += f[i]; ++m }
        printf "%.2f %s\n", 10 * log(s / m) / log(10), peak
      }'
}

echo "Open JTalk at speed $speed (frame period $period samples at 48 kHz)"
failed=0
while read -r id text expected; do
  printf '%s' "$text" >"$tmp/$id.txt"
  open_jtalk -x "$dict" -m "$voice" -p "$period" -ow "$tmp/$id.48k.wav" -ot "$tmp/$id.trace" "$tmp/$id.txt"
  got=$(phonemes "$tmp/$id.trace")
  if [ "$got" != "$expected" ]; then
    echo "$id $text: the synthesiser reads \"$got\", expected \"$expected\"" >&2
    failed=1
    continue
  fi
  # A low cut below the voice's pitch takes out the offset that the synthesiser's
  # lopsided voiced waveform carries. The resampler's output stays in floating point
  # until the last step.
  sox "$tmp/$id.48k.wav" -e floating-point -b 32 "$tmp/$id.f.wav" highpass 60 rate -v 11025
  echo "$id $(loudness "$tmp/$id.f.wav")" >>"$tmp/levels"
done <<<"$clips"
[ $failed -eq 0 ] || { echo "phoneme check failed: no clip written" >&2; exit 1; }

# One target loudness for all: as loud as the time clip (ids below 100) with the highest peak
# over its loudness allows without going above the peak level. The time clips alone set it,
# so that clips added later leave them exactly as they were; a later clip whose peak would
# go above the level at that loudness is made only as loud as the level allows.
target=$(awk -v level="$level" '$1 < 100 { c = level - ($3 - $2); if (!n++ || c < t) t = c } END { print t }' "$tmp/levels")
echo "loudness target $target dB (K-weighted, gated), peaks at most $level dBFS"
# Writes clip ID from $tmp/ID.f.wav (floating point, 11025 Hz) with GAIN dB; LABEL for the log.
finish() {
  local id=$1 gain=$2 label=$3 span from to v
  sox "$tmp/$id.f.wav" "$tmp/$id.g.wav" gain "$gain"
  # Sound is where the RMS of a 2 ms frame reaches one step of the 8-bit output (1/128 of
  # full scale); the clip keeps `lead` before the first such frame and `tail` after the
  # last, and an even sample count (a WAVE data chunk of odd length would take a pad byte).
  span=$(sox "$tmp/$id.g.wav" -t dat - | awk -v r=11025 -v lead="$lead" -v tail="$tail" '
    BEGIN { w = int(r / 500) }
    NR > 2 { p += $2 * $2; ++n
             if (n % w == 0) { if (p / w >= 1 / 128 ^ 2) { if (!first) first = n - w + 1; last = n }; p = 0 } }
    END {
      a = first - 1 - int(lead * r); if (a < 0) a = 0
      b = last + int(tail * r); if (b > n) b = n
      if ((b - a) % 2) --b
      print a, b
    }')
  read -r from to <<<"$span"
  # Fades over the kept margins, so the cut edges do not click.
  sox "$tmp/$id.g.wav" "$tmp/$id.t.wav" trim "${from}s" "=${to}s" fade t "$lead" -0 "$tail"
  # The clips beyond the time's (ids 100 and up) are 4-bit IMA ADPCM, half the bytes of
  # 8-bit PCM at a lower noise floor, without dither (the encoder's own steps follow the
  # level); the time's stay 8-bit PCM as they always were.
  if [ "$id" -ge 100 ]; then
    sox -D "$tmp/$id.t.wav" -e ima-adpcm "$out/$id.wav"
    printf '%s %6.1f ms  gain %+5.1f dB  %s (ADPCM)\n' "$id" \
      "$(echo "$from $to" | awk '{ print ($2 - $1) * 1000 / 11025 }')" "$gain" "$label"
    return
  fi
  # 8 bits with and without TPDF dither (-R seeds it alike on every run; no noise
  # shaping, which at 11025 Hz would only move the noise into the band where hearing is
  # keenest), then each sample from one of the two by the level around it (RMS over 5 ms):
  # dithered where the sound is quiet but there (decays, closures, weak consonants), as
  # there the plain rounding turns into a buzz or cuts in and out; plain where it is loud,
  # as there the rounding error is already noise that the voice masks and dither would
  # only add 5 dB to it; plain, so silent, where the level stays under half a step.
  sox -R "$tmp/$id.t.wav" -b 8 -e unsigned-integer "$tmp/$id.d.wav"
  sox -D "$tmp/$id.t.wav" -b 8 -e unsigned-integer "$tmp/$id.u.wav"
  for v in t d u; do sox "$tmp/$id.$v.wav" -t dat - | awk 'NR > 2 { print $2 }' >"$tmp/$id.$v.dat"; done
  paste "$tmp/$id.t.dat" "$tmp/$id.d.dat" "$tmp/$id.u.dat" |
    awk -v w=27 -v quiet=0.5 -v loud=8 '
      { x[NR] = $1 * 128; d[NR] = $2; u[NR] = $3 }
      END {
        print "; Sample Rate 11025"; print "; Channels 1"
        for (i = 1; i <= NR; ++i) {
          p = 0; k = 0
          for (j = i - w; j <= i + w; ++j) if (j >= 1 && j <= NR) { p += x[j] * x[j]; ++k }
          rms = sqrt(p / k)
          print 0, (rms >= quiet && rms < loud) ? d[i] : u[i]
        }
      }' >"$tmp/$id.8.dat"
  sox -t dat "$tmp/$id.8.dat" -D -b 8 -e unsigned-integer "$out/$id.wav"
  printf '%s %6.1f ms  gain %+5.1f dB  %s\n' "$id" "$(echo "$from $to" | awk '{ print ($2 - $1) * 1000 / 11025 }')" \
    "$gain" "$label"
}

while read -r id text expected; do
  finish "$id" "$(awk -v id="$id" -v t="$target" -v level="$level" \
    '$1 == id { g = t - $2; if (g > level - $3) g = level - $3; print g }' "$tmp/levels")" "$text"
done <<<"$clips"

# The timer's chime, clip 403: two struck bell notes, E6 and then C6 a third of a second
# later, each a sine and its octave dying away over about a second; its peak
# 6 dB under the voice's, so that it calls without startling.
chime=403
sox -n -r 11025 -c 1 -e floating-point -b 32 "$tmp/e6.wav" synth 0.9 sine 1318.5 synth 0.9 sine mix 2637 \
  remix 1 fade l 0.004 0.9 0.85 gain -3
sox -n -r 11025 -c 1 -e floating-point -b 32 "$tmp/c6.wav" synth 1.2 sine 1046.5 synth 1.2 sine mix 2093 \
  remix 1 fade l 0.004 1.2 1.15 gain -3 pad 0.33
sox -m "$tmp/e6.wav" "$tmp/c6.wav" -e floating-point -b 32 "$tmp/$chime.f.wav"
peak=$(sox "$tmp/$chime.f.wav" -n stats 2>&1 | awk '/^Pk lev dB/ { print $4 }')
finish "$chime" "$(awk -v p="$peak" -v level="$level" 'BEGIN { print level - 6 - p }')" chime
