#!/bin/sh
# Gives the tests' Wine prefix a CD-ROM drive letter K: (an empty folder as its contents, /dev/null
# as its raw device), as Wine shows a real drive: GetDriveTypeA says DRIVE_CDROM and "\\.\K:"
# opens, but its SCSI ioctls fail. Wine's mount manager reads the drive list when its server
# starts, so the server is restarted.
#   wine-cdrom-letter.sh WINE-RUN
set -eu
run="$1"
"$run" cmd /c exit 0
prefix="$("$run" --prefix)"
mkdir -p "$prefix/krellvane-cdrom"
ln -sfn "$prefix/krellvane-cdrom" "$prefix/dosdevices/k:"
ln -sfn /dev/null "$prefix/dosdevices/k::"
"$run" reg add 'HKLM\Software\Wine\Drives' /v k: /d cdrom /f >/dev/null
WINEPREFIX="$prefix" wineserver -k || true
WINEPREFIX="$prefix" wineserver -w
"$run" cmd /c exit 0
