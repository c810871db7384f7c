#!/bin/sh
# Checks hvcal's two outputs against figures known from published calendars:
# 2354 holidays over 1955-2099, and September 2026 with 21, 22 and 23 marked.
set -eu
hvcal=$1
lines=$("$hvcal" --holidays 1955 2099 | wc -l)
[ "$lines" -eq 2354 ] || { echo "hvcal --holidays 1955 2099: $lines lines, expected 2354"; exit 1; }
"$hvcal" --holidays 2019 2019 | grep -qx '2019-05-01 天皇の即位の日' || { echo "2019-05-01 missing"; exit 1; }
marked=$("$hvcal" 2026 9 | grep -oE '\*[ 0-9][0-9]( |$)' | tr -d '* ' | tr '\n' ' ')
[ "$marked" = "21 22 23 " ] || { echo "hvcal 2026 9 marks: $marked"; exit 1; }
"$hvcal" 2026 13 >/dev/null 2>&1 && { echo "month 13 accepted"; exit 1; }
"$hvcal" --holidays 2000 1999 >/dev/null 2>&1 && { echo "reversed span accepted"; exit 1; }
echo "hvcal: 2354 lines for 1955-2099, September 2026 marks 21 22 23"
