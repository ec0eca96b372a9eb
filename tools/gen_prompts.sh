#!/usr/bin/env bash
# Makes the spoken prompts of voice navigation, one WAV file per prompt name,
# into data/ (or the folder given): espeak-ng speaks the words, and the
# result is made 16 kHz, 16-bit mono PCM to keep the files small.
#
#   tools/gen_prompts.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-data}
mkdir -p "$out"

command -v espeak-ng >/dev/null || { echo "espeak-ng is needed" >&2; exit 1; }
py=$(command -v python3 || true)
[ -n "$py" ] || { echo "python3 is needed" >&2; exit 1; }

# Prompt name and the words it says.
prompts=(
    "NavEn|Navigation enabled"
    "NavDis|Navigation disabled"
    "Call|Call"
    "Country|Country"
    "Points|Points"
    "Prefix|Prefix"
    "RstRcvd|Received report"
    "RstSnt|Sent report"
    "SerNum|Serial number"
    "Dupe|Dupe"
)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for entry in "${prompts[@]}"; do
    name=${entry%%|*}
    words=${entry#*|}
    espeak-ng -v en-us -s 165 -w "$tmp/$name.wav" "$words"
    # espeak-ng writes 22050 Hz mono; trim the silence, resample to 16 kHz by
    # linear interpolation and write a plain 44-byte-header PCM file.
    "$py" - "$tmp/$name.wav" "$out/$name.wav" <<'PY'
import struct, sys, wave
src, dst = sys.argv[1], sys.argv[2]
with wave.open(src, "rb") as w:
    assert w.getnchannels() == 1 and w.getsampwidth() == 2
    rate = w.getframerate()
    raw = w.readframes(w.getnframes())
samples = struct.unpack("<%dh" % (len(raw) // 2), raw)
# Silence at either end is cut, keeping 30 ms, so a prompt speaks at once.
loud = [i for i, s in enumerate(samples) if abs(s) > 300]
if loud:
    keep = rate * 30 // 1000
    samples = samples[max(0, loud[0] - keep):min(len(samples), loud[-1] + keep)]
target = 16000
count = len(samples) * target // rate
out = []
for i in range(count):
    pos = i * rate / target
    j = int(pos)
    frac = pos - j
    a = samples[j]
    b = samples[j + 1] if j + 1 < len(samples) else a
    out.append(max(-32768, min(32767, int(round(a + (b - a) * frac)))))
with wave.open(dst, "wb") as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(target)
    w.writeframes(struct.pack("<%dh" % len(out), *out))
PY
    echo "made $out/$name.wav ($words)"
done
