#!/usr/bin/env bash
# Starts or stops the Firebird server on 127.0.0.1 for the tests.
#   fbserver.sh start FOLDER   sets SYSDBA's password, starts the server, makes FOLDER
#                              (owned by the server's account) for server-side databases
#   fbserver.sh stop           stops the server this script started
# The server runs in Debian's default mode (Super): it holds its files, the security
# database among them, for itself, so tests never share a file between it and the embedded
# engine.
set -euo pipefail

password=pantrykey
conf=/etc/firebird/3.0/firebird.conf
pidfile=/run/firebird3.0/kzm-test-fbguard.pid
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

server_up() { (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null; }

case "${1:-}" in
start)
    folder=${2:?folder for server databases}
    if server_up && [ ! -f "$pidfile" ]; then
        # A server started some other way (the package's own start, say) runs with other
        # settings and another password: replace it with one set up for the tests.
        echo "Zatrzymanie serwera Firebird uruchomionego poza testami"
        "${sudo_cmd[@]}" pkill -x fbguard || true
        "${sudo_cmd[@]}" pkill -x firebird || true
        for _ in $(seq 1 50); do
            server_up || break
            sleep 0.1
        done
    fi
    if server_up; then
        echo "Serwer Firebird testów już działa na 127.0.0.1:3050"
    else
        # An earlier set-up ran the server as SuperClassic; its engines crash at exit when
        # several processes share the lock manager, so that setting is taken back.
        "${sudo_cmd[@]}" sed -i '/^ServerMode *= *SuperClassic/d' "$conf"
        echo "create or alter user sysdba password '$password';" |
            "${sudo_cmd[@]}" isql-fb -q -user sysdba /var/lib/firebird/3.0/system/security3.fdb
        "${sudo_cmd[@]}" chown firebird:firebird /var/lib/firebird/3.0/system/security3.fdb
        "${sudo_cmd[@]}" mkdir -p /run/firebird3.0 /tmp/firebird
        "${sudo_cmd[@]}" chown firebird:firebird /run/firebird3.0 /tmp/firebird
        "${sudo_cmd[@]}" su -s /bin/sh firebird -c \
            "/usr/sbin/fbguard -daemon -forever -pidfile $pidfile"
        for _ in $(seq 1 100); do
            server_up && break
            sleep 0.1
        done
        server_up || { echo "Serwer Firebird nie wystartował" >&2; exit 1; }
    fi
    "${sudo_cmd[@]}" mkdir -p "$folder"
    "${sudo_cmd[@]}" chown firebird:firebird "$folder"
    "${sudo_cmd[@]}" chmod 777 "$folder"
    ;;
stop)
    if [ -f "$pidfile" ]; then
        "${sudo_cmd[@]}" kill "$(cat "$pidfile")" 2>/dev/null || true
        for _ in $(seq 1 50); do
            server_up || break
            sleep 0.1
        done
        # A server still busy with its attachments after five seconds is ended outright, so
        # that "stop" means stopped when the script returns.
        if server_up; then
            "${sudo_cmd[@]}" pkill -9 -x fbguard || true
            "${sudo_cmd[@]}" pkill -9 -x firebird || true
            for _ in $(seq 1 50); do
                server_up || break
                sleep 0.1
            done
        fi
        "${sudo_cmd[@]}" rm -f "$pidfile"
    fi
    ;;
*)
    echo "użycie: $0 start FOLDER | stop" >&2
    exit 2
    ;;
esac
