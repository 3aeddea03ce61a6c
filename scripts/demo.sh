#!/usr/bin/env bash
# A working canteen to look at: a generated database of 300 persons with the plan of the last
# month up to today, one simulated TQ200 on COM 1 issuing meals to their cards, and the program
# started as a registration workstation on it. The program folder is kzm-demo/ beside the
# script's parent (made anew on every run); extra arguments go to the program.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

home=$top/kzm-demo
line=/tmp/kzm-demo-com1
rm -rf "$home"
mkdir -p "$home/Baza" "$home/Pomoc"
cp -n "$top"/help/*.html "$home/Pomoc/" || true
db=$home/Baza/BazaOxle.GDB

first=$(date -d '30 days ago' +%d.%m.%Y)
"$top/build/tools/seed/kzm-seed" "$db" --persons 300 --units 10 --days 31 --from "$first"
echo

# One active TQ200 on COM 1 (RS-232), and the cards of persons who have a lunch planned today.
cards=$(isql-fb -q -user SYSDBA -password pantrykey "$db" <<'SQL' | awk 'NF { print $1 }' | paste -sd, -
set heading off;
insert into KZM_COMDEF (nazwa, port, speed, aktywny, timeout_r, timeout_w, numinst, alarm,
                        base_alarm, numscan, rs485, tq700, NumInst3Zn)
values ('Wydawka', 1, 9600, 1, 100, 200, 0, 1, 32, 1, 0, 0, 0);
commit;
select first 40 trim(nr_ident) from kzm_dane where data = current_date and ob = 1 order by nr_oper;
SQL
)
printf '[IbPths]\r\nPth0=%s\r\n[Porty]\r\nCOM1=%s\r\n' "$db" "$line" >"$home/KZM.ini"

# The terminal stores a reading of one of the cards every few seconds, and keeps running
# while the program does.
"$top/build/tools/tqsim/tqsim" --link "$line" --terminal tq200 --cards "$cards" --rate 12 \
    --quiet >"$home/tqsim.log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM
for _ in $(seq 1 50); do
    [ -e "$line" ] && break
    sleep 0.1
done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    export QT_QPA_PLATFORM=offscreen
fi
"$top/build/src/app/pelto_kzm" --home "$home" --rejestrator "$@"
