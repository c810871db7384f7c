#!/bin/sh
# Checks hvcal's outputs against figures known from published calendars: 2354 holidays over
# 1955-2099, September 2026 with 21, 22 and 23 marked, and the lunisolar calendar of 1948-2099:
# one line a day, 56 leap months, the leap 11th month of 2033.
set -eu
hvcal=$1
lines=$("$hvcal" --holidays 1955 2099 | wc -l)
[ "$lines" -eq 2354 ] || { echo "hvcal --holidays 1955 2099: $lines lines, expected 2354"; exit 1; }
"$hvcal" --holidays 2019 2019 | grep -qx '2019-05-01 天皇の即位の日' || { echo "2019-05-01 missing"; exit 1; }
marked=$("$hvcal" 2026 9 | grep -oE '\*[ 0-9][0-9]( |$)' | tr -d '* ' | tr '\n' ' ')
[ "$marked" = "21 22 23 " ] || { echo "hvcal 2026 9 marks: $marked"; exit 1; }
"$hvcal" 2026 13 >/dev/null 2>&1 && { echo "month 13 accepted"; exit 1; }
"$hvcal" --holidays 2000 1999 >/dev/null 2>&1 && { echo "reversed span accepted"; exit 1; }
lunar=$("$hvcal" --lunar 1948 2099)
[ "$(echo "$lunar" | wc -l)" -eq 55518 ] || { echo "hvcal --lunar 1948 2099: not one line a day"; exit 1; }
leaps=$(echo "$lunar" | grep -c '旧閏[0-9]*月1日 ')
[ "$leaps" -eq 56 ] || { echo "hvcal --lunar 1948 2099: $leaps leap months, expected 56"; exit 1; }
echo "$lunar" | grep -qx '2033-12-22 旧閏11月1日 大安' || { echo "2033-12-22 is not 旧閏11月1日 大安"; exit 1; }
"$hvcal" --lunar 1899 1900 >/dev/null 2>&1 && { echo "1899 accepted"; exit 1; }
echo "hvcal: 2354 lines for 1955-2099, September 2026 marks 21 22 23, 56 leap months in 1948-2099"
