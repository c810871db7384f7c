# Sourced by every script that runs a Windows binary: one private Wine prefix, audio
# server and display per checkout, all under build/wine. Never touches ~/.wine.
HV_SOURCE_DIR=${HV_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
HV_BUILD_ROOT=${HV_BUILD_ROOT:-$HV_SOURCE_DIR/build}
HV_WINE_DIR=$HV_BUILD_ROOT/wine
export WINEPREFIX=$HV_WINE_DIR/prefix
export WINEDEBUG=${HV_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# Japanese locale made privately (the machine has none generated); the prefix must be
# created and always used under it, or menu bars keep the wrong charset.
export LOCPATH=$HV_WINE_DIR/locale
export LANG=ja_JP.UTF-8
unset LC_ALL
# Private PulseAudio with a null sink: a real-time device that tests can record.
export PULSE_SERVER=unix:$HV_WINE_DIR/pulse/native
export PULSE_RUNTIME_PATH=$HV_WINE_DIR/pulse/run
export PULSE_COOKIE=$HV_WINE_DIR/pulse/cookie
export PULSE_LATENCY_MSEC=${PULSE_LATENCY_MSEC:-60}
if [ -z "${DISPLAY:-}" ] && [ -s "$HV_WINE_DIR/display" ]; then
  export DISPLAY=$(cat "$HV_WINE_DIR/display")
fi
