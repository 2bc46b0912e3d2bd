#!/usr/bin/env bash
# Takes docs/setup-dialog.png: the setup dialog under Wine on a private X server, inside a Wine
# virtual desktop (which draws the caption bar), with a sample setup folder, cropped to the dialog.
# usage: scripts/screenshot-setup.sh [WINDOWS_BUILD_DIR]   (default build/setup-win64)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --inside ]; then
  build=$(realpath "${1:-build/setup-win64}")
  [ -f "$build/bin/Lobrine.exe" ] || { echo "no $build/bin/Lobrine.exe: build it first" >&2; exit 1; }
  for tool in import xwininfo xvfb-run; do
    command -v $tool >/dev/null || apt-get install -y -qq imagemagick x11-utils xvfb xauth >/dev/null
  done
  # A prefix of its own, so that no test's Wine session is touched.
  export WINEPREFIX=$build/wineprefix-screenshot
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  # Wine's own fonts draw the caption buttons; taken from the package, not installed system-wide.
  if [ ! -f "$WINEPREFIX/.fonts-ready" ]; then
    "$build/wine-run" cmd /c exit
    (cd "$scratch" && apt-get download -qq -o APT::Sandbox::User=root fonts-wine >/dev/null && dpkg-deb -x fonts-wine_*.deb fonts)
    cp "$scratch"/fonts/usr/share/wine/fonts/*.tt? "$WINEPREFIX/drive_c/windows/Fonts/"
    touch "$WINEPREFIX/.fonts-ready"
  fi
  setup=$scratch/setup
  mkdir -p "$setup"/{core,master,slave}
  cp "$build/bin/Lobrine.exe" "$setup/"
  touch "$setup"/core/{Varnick.exe,qelv.xml}
  touch "$setup"/master/{e-master.mq4,e-master.ex4,s-reset.mq4,qelv_d30or.dll}
  touch "$setup"/slave/{e-slave.mq4,e-slave.ex4,s-reset.mq4,qelv_r30uv.dll,symbols.txt}
  printf '<root><core><path>C:\\Dremont</path></core></root>' >"$setup/config.xml"
  status=0
  scripts/with-display.sh "$0" --inside "$build" "$setup" "$PWD/docs/setup-dialog.png" || status=$?
  exit $status
fi

build=$2 setup=$3 picture=$4
(cd "$setup" && "$build/wine-run" explorer /desktop=Lobrine,800x600 Lobrine.exe >/dev/null 2>&1) &
geometry=
for _ in $(seq 1 600); do
  geometry=$(xwininfo -root -tree | sed -n 's/.*"Dremont: Lobrine".* \([0-9]*x[0-9]*\)+[-0-9]*+[-0-9]* *+\([-0-9]*\)+\([-0-9]*\)$/\1+\2+\3/p')
  [ -n "$geometry" ] && break
  sleep 0.2
done
[ -n "$geometry" ] || { echo "the dialog did not appear" >&2; exit 1; }
sleep 3  # let the first paint finish
import -window root -crop "$geometry" +repage "$picture"
echo "wrote $picture ($geometry)"
