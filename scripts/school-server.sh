#!/usr/bin/env bash
# Sets up a school bank (学校题库) on a PostgreSQL server: makes the database
# when it is missing, then lets the program create the bank's tables and a
# first 元老级用户 in it.
#
#   scripts/school-server.sh [--host HOST] [--port PORT] [--user USER]
#                            [--database NAME] [--schema NAME]
#                            --elder NAME [--program PATH]
#
# Without --host the server of this machine is used through its local socket
# (as the Debian package installs it), and the database is made by the
# account postgres with USER (made when missing) as its owner. The server's
# password comes from PGPASSWORD (or ~/.pgpass); the 元老级用户's password is
# asked for (or taken from ZS_ELDER_PASSWORD).
set -euo pipefail

host="" port=5432 user="${USER:-teacher}" database="tiku" schema="" elder="" program=""
while [ $# -gt 0 ]; do
  case "$1" in
    --host) host="$2"; shift 2 ;;
    --port) port="$2"; shift 2 ;;
    --user) user="$2"; shift 2 ;;
    --database) database="$2"; shift 2 ;;
    --schema) schema="$2"; shift 2 ;;
    --elder) elder="$2"; shift 2 ;;
    --program) program="$2"; shift 2 ;;
    -h|--help) sed -n '2,16p' "$0"; exit 0 ;;
    *) echo "未知的参数：$1" >&2; exit 2 ;;
  esac
done
if [ -z "$elder" ]; then
  echo "请用 --elder 给出第一位元老级用户的实名用户名。" >&2
  exit 2
fi
if [ -z "$program" ]; then
  here="$(cd "$(dirname "$0")/.." && pwd)"
  for candidate in "$here/build/zhuoshi-tiku" "$(command -v zhuoshi-tiku || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then program="$candidate"; break; fi
  done
fi
if [ -z "$program" ] || [ ! -x "$program" ]; then
  echo "找不到程序 zhuoshi-tiku：请先构建它，或用 --program 指出它。" >&2
  exit 2
fi

bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
psql="${bin:+$bin/}psql"
command -v "$psql" >/dev/null 2>&1 || psql=psql

as_admin() {
  # The local server's own account makes roles and databases; a given server
  # is asked as USER, who must be allowed to.
  if [ -z "$host" ] && [ "$(id -un)" != postgres ] && id postgres >/dev/null 2>&1; then
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else sudo -u postgres "$@"; fi
  else
    "$@"
  fi
}

connection=(-p "$port")
if [ -n "$host" ]; then connection+=(-h "$host" -U "$user"); fi
# Identifiers are passed to the server as variables, quoted there.
exists=$(as_admin "$psql" "${connection[@]}" -d postgres -XAtq -v ON_ERROR_STOP=1 -v name="$database" <<'SQL'
SELECT 1 FROM pg_database WHERE datname = :'name';
SQL
)
if [ -z "$host" ]; then
  as_admin "$psql" "${connection[@]}" -d postgres -Xq -v ON_ERROR_STOP=1 -v role="$user" <<'SQL'
SELECT format('CREATE ROLE %I LOGIN', :'role') WHERE NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = :'role') \gexec
SQL
fi
if [ "$exists" != 1 ]; then
  as_admin "$psql" "${connection[@]}" -d postgres -Xq -v ON_ERROR_STOP=1 -v name="$database" -v role="$user" <<'SQL'
SELECT format('CREATE DATABASE %I OWNER %I ENCODING ''UTF8'' TEMPLATE template0', :'name', :'role') \gexec
SQL
  echo "已建立数据库：$database"
fi
if [ -n "$schema" ]; then
  as_admin "$psql" "${connection[@]}" -d "$database" -Xq -v ON_ERROR_STOP=1 -v name="$schema" -v role="$user" <<'SQL'
SELECT format('CREATE SCHEMA IF NOT EXISTS %I AUTHORIZATION %I', :'name', :'role') \gexec
SQL
fi

# The location text the program reads (and the login screen's boxes name).
urlencode() { python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe=""))' "$1"; }
socket=""
if [ -z "$host" ]; then
  socket="${PGHOST:-/var/run/postgresql}"
elif [ "${host#/}" != "$host" ]; then
  socket="$host"  # a folder: the server's local socket
fi
if [ -z "$socket" ]; then
  location="postgresql://$(urlencode "$user")@${host}:${port}/$(urlencode "$database")"
  query=""
else
  location="postgresql://$(urlencode "$user")@/$(urlencode "$database")"
  query="?host=$(urlencode "$socket")&port=$port"
fi
if [ -n "$schema" ]; then
  query="${query:+$query&}schema=$(urlencode "$schema")"
  case "$query" in \?*) ;; *) query="?$query" ;; esac
fi
location="$location$query"

if [ -z "${ZS_ELDER_PASSWORD:-}" ]; then
  read -r -s -p "元老级用户 $elder 的密码：" first; echo
  read -r -s -p "再输入一次密码：" second; echo
  if [ "$first" != "$second" ]; then echo "两次密码输入不相同。" >&2; exit 1; fi
  ZS_ELDER_PASSWORD="$first"
fi
# The local socket's server knows USER by the account that connects: as root,
# connect as that account.
run_program() {
  if [ -z "$host" ] && [ "$(id -u)" -eq 0 ] && [ "$user" != root ] && id "$user" >/dev/null 2>&1; then
    runuser -u "$user" -- env ZS_ELDER_PASSWORD="$ZS_ELDER_PASSWORD" "$program" "$@"
  else
    ZS_ELDER_PASSWORD="$ZS_ELDER_PASSWORD" "$program" "$@"
  fi
}
run_program --create-school-bank "$location" --elder "$elder"
echo "在登录界面点“连接学校题库…”，填写：服务器 ${host:-$socket}，端口 $port，数据库 $database，用户名 $user。"
echo "（位置：$location）"
