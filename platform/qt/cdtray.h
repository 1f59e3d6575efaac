// Moving a CD drive's tray through the kernel's CD-ROM interface.
#pragma once

#include <QStringList>

// The drive nodes tried in order: the distribution's link to the first drive, then the
// first SCSI/SATA optical drive itself.
inline const QStringList kCdDevices = {"/dev/cdrom", "/dev/sr0"};

// Opens (true) or closes (false) the tray of the first of `devices` that is a CD-ROM drive
// able to do so. Blocks while the drive moves (seconds); returns whether one moved. A path
// that is missing, not a drive, or a drive without a motorised tray is skipped at once.
bool moveCdTrayNow(const QStringList& devices, bool open);
