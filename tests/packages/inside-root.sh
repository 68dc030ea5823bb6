#!/bin/bash
# Run by scripts/check-packages inside a fresh Debian 12 root: installs the
# packages with apt-get (which must find every dependency in Debian) and uses
# them as a host's developer and a technician would. The host comes first, with
# the library's packages alone: what it needs must be in them.
set -euo pipefail
step() { echo "inside the root: $*"; }
install() {
  apt-get install -y -q --no-install-recommends "$@" > /check/apt.log 2>&1 || { tail -20 /check/apt.log; exit 1; }
}
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 XDG_RUNTIME_DIR=/tmp/runtime
mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
cd /check/debs
apt-get update -q > /dev/null

step "a host built with find_package(TavrinIoCtl COMPONENTS KwpSession) from /usr, the library's packages alone"
install ./libtavrinioctl-dev_*.deb ./libtavrinioctl1_*.deb ./tavrin-ioctl-data_*.deb cmake g++ make
cmake -S /check/consumer -B /tmp/consumer > /dev/null
cmake --build /tmp/consumer > /dev/null
/tmp/consumer/consumer | grep -q "package ok"

step "apt-get install ./*.deb"
install ./*.deb
for p in ./*.deb; do
  name=$(dpkg-deb -f "$p" Package)
  dpkg-query -W -f='${Status}\n' "$name" | grep -q "install ok installed" || { echo "$name is not installed"; exit 1; }
done
cd /tmp
step "tavrin-demo --screenshot, without a display"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM tavrin-demo --latency 0 --screenshot /tmp/demo.png > /dev/null
test -s /tmp/demo.png
step "ioctl-script on the installed examples"
examples=/usr/share/doc/tavrin-ioctl/examples
for example in temporary-tester-present example-vehicle uds-security-access; do
  ioctl-script "$examples/$example.ioc" > /dev/null || { echo "ioctl-script $example.ioc failed"; exit 1; }
done
step "vehicle-info --check on the installed demo vehicle"
vehicle-info --check > /dev/null
step "the manual pages and the desktop entry's icon"
test -s /usr/share/man/man1/tavrin-demo.1.gz && test -s /usr/share/icons/hicolor/48x48/apps/org.tavrin.TavrinDemo.png
