#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and starts the program on the
# demo application folder ./app (made on the first run, kept afterwards).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target zhuoshi-tiku zhuoshi-demo
APP_DIR="${APP_DIR:-$PWD/app}"
if [ ! -f "$APP_DIR/试题库.mdb" ]; then
  if [ -x build/tools/zhuoshi-demo ]; then
    build/tools/zhuoshi-demo "$APP_DIR"
  else
    build/zhuoshi-tiku --app-dir "$APP_DIR" --prepare
  fi
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "没有图形显示，使用 xvfb-run 在虚拟显示上启动。"
  exec xvfb-run -a -s "-screen 0 1600x1000x24" build/zhuoshi-tiku --app-dir "$APP_DIR"
fi
exec build/zhuoshi-tiku --app-dir "$APP_DIR"
